#pragma once
#include <windows.h>

#include <string>

// Registers a window class for the given look once per process and returns
// its name; later calls with the same look get the same name back.
std::wstring RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);

// Base of our windows. The object is bound to its window from WM_NCCREATE
// to WM_NCDESTROY and sees every message in between in WindowProc. The
// owner of the object destroys the window first; an object that goes first
// takes its window along.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hWnd; }

    // False when the window could not be created.
    bool CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                  DWORD style, int x, int y, int width, int height, HWND parent, UINT id);

    friend std::wstring RegisterWindowClass(UINT, HCURSOR, HBRUSH, HICON);

protected:
    // One switch from message to handler; what a class does not handle goes
    // on to its base, and here to the system's default.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
};
