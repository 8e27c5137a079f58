#include "platform/Window.h"

#include "platform/App.h"

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
    App* app = App::Current();
    const bool wasMain = app && app->MainWindow() == this;
    if (wasMain)
        app->SetMainWindow(nullptr);
    if (m_hWnd) {
        // Unbind first: the derived parts are gone and must not see the
        // messages of the destruction.
        HWND hwnd = m_hWnd;
        const bool subclassed = m_oldProc != nullptr;
        Detach();
        ::DestroyWindow(hwnd);
        // The main window is gone all the same: the run ends.
        if (wasMain && !subclassed)
            PostQuitMessage(0);
    }
}

bool Window::CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                      DWORD style, int x, int y, int width, int height, HWND parent, UINT id)
{
    if (m_hWnd || className.empty())
        return false;
    m_creating = true;
    HWND hwnd = CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, x, y, width, height,
                                parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), this);
    m_creating = false;
    return hwnd != nullptr;
}

void Window::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

Window* Window::FromHandle(HWND hwnd)
{
    if (!hwnd || !IsWindow(hwnd))
        return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId())
        return nullptr;
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (proc != StaticWindowProc && proc != SubclassProc)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::Attach(HWND hwnd)
{
    m_hWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Detach()
{
    if (!m_hWnd)
        return;
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    if (m_oldProc) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        m_oldProc = nullptr;
    }
    m_hWnd = nullptr;
}

void Window::Subclass(HWND hwnd)
{
    Attach(hwnd);
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self)
            self->Attach(hwnd);
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return Route(self, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return Route(self, hwnd, msg, wParam, lParam);
}

LRESULT Window::Route(Window* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Handlers may run nested message loops (modal dialogs), so the message
    // that Default() refers to is kept per call.
    const CurrentMessage saved = self->m_current;
    self->m_current = {msg, wParam, lParam};
    ++self->m_nDispatchDepth;
    const LRESULT result = self->WindowProc(msg, wParam, lParam);
    --self->m_nDispatchDepth;
    self->m_current = saved;

    if (msg == WM_NCDESTROY && self->m_hWnd == hwnd) {
        const bool subclassed = self->m_oldProc != nullptr;
        self->Detach();
        if (App* app = App::Current(); app && app->MainWindow() == self) {
            app->SetMainWindow(nullptr);
            // A modal dialog ends its own loop; a main window ends the run.
            if (!subclassed)
                PostQuitMessage(0);
        }
        // A window that failed to be created stays with its creator.
        if (!self->m_creating)
            self->m_bPostNcDestroyPending = true;
    }
    if (self->m_bPostNcDestroyPending && self->m_nDispatchDepth == 0) {
        self->m_bPostNcDestroyPending = false;
        self->PostNcDestroy();
    }
    return result;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return Default();
    }
}

LRESULT Window::Default()
{
    return DefWindowProc(m_current.msg, m_current.wParam, m_current.lParam);
}

LRESULT Window::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_oldProc)
        return CallWindowProcW(m_oldProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}
