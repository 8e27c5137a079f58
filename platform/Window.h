#pragma once
#include <windows.h>

#include <string>

// Registers a window class for the given look once per process and returns
// its name; later calls with the same look get the same name back.
std::wstring RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);

// Base of our windows and dialogs. The object is bound to its window from
// WM_NCCREATE (WM_INITDIALOG for dialogs) to WM_NCDESTROY; every message in
// between goes through WindowProc to one named handler. A handler that
// wants default processing calls Default().
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hWnd; }

    // False when the window could not be created. The object then stays
    // alive and belongs to the caller, even when PostNcDestroy would delete it.
    bool CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                  DWORD style, int x, int y, int width, int height, HWND parent, UINT id);
    void DestroyWindow();

    // The object bound to a window of ours, or null.
    static Window* FromHandle(HWND hwnd);

    friend std::wstring RegisterWindowClass(UINT, HCURSOR, HBRUSH, HICON);

protected:
    // One switch from message to handler; derived classes add cases and
    // pass the rest on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Default processing of the message being handled.
    LRESULT Default();

    // Sees every message that reaches default processing.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Runs after the window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

    virtual void OnPaint() { Default(); }
    virtual void OnTimer(UINT_PTR /*id*/) { Default(); }
    virtual void OnDestroy() { Default(); }

    // Binds an existing window (a dialog) and routes its messages through
    // WindowProc, keeping its own procedure for default processing.
    void Subclass(HWND hwnd);

private:
    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(Window* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

    HWND m_hWnd = nullptr;
    WNDPROC m_oldProc = nullptr;  // set for subclassed windows
    CurrentMessage m_current{};
    bool m_creating = false;
    // Handlers of this window running now; a window destroyed inside one
    // (from a nested message loop) runs PostNcDestroy when the outermost
    // has returned, so no handler goes on in a deleted object.
    int m_nDispatchDepth = 0;
    bool m_bPostNcDestroyPending = false;
};
