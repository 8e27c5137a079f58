#include "platform/Window.h"

#include <cwchar>

std::wstring RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    wchar_t name[96];
    std::swprintf(name, sizeof name / sizeof name[0], L"Veloma:%p:%x:%p:%p:%p",
                  static_cast<void*>(instance), classStyle, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name, &wc))
        return name;

    wc.style = classStyle;
    wc.lpfnWndProc = Window::StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc))
        return std::wstring();
    return name;
}

Window::~Window()
{
    if (m_hWnd) {
        // Unbind first: the derived parts are gone and must not see the
        // messages of the destruction.
        HWND hwnd = m_hWnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

bool Window::CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                      DWORD style, int x, int y, int width, int height, HWND parent, UINT id)
{
    if (m_hWnd || className.empty())
        return false;
    return CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                           this) != nullptr;
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->m_hWnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);

    const LRESULT result = self->WindowProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}
