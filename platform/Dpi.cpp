#include "platform/Dpi.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
// shcore's GetDpiForMonitor; 0 asks for the effective DPI.
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <class Function>
Function Lookup(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    // Through a plain function pointer: the compiler warns of casts between
    // unrelated function types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using WindowDpiContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using SetThreadDpiContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// Windows 10 from 1607 on.
SetThreadDpiContext ThreadContextSetter()
{
    static const SetThreadDpiContext set =
        Lookup<SetThreadDpiContext>(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext");
    return set;
}

}  // namespace

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return USER_DEFAULT_SCREEN_DPI;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND hwnd)
{
    if (!hwnd)
        return SystemDpi();
    // Windows 10 from 1607 on.
    static const DpiForWindow forWindow = Lookup<DpiForWindow>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (forWindow) {
        if (const UINT dpi = forWindow(hwnd))
            return static_cast<int>(dpi);
    }
    // Windows 8.1 scales per monitor without the window call; shcore is
    // loaded here, not linked, so that older systems still run the saver.
    static const DpiForMonitor forMonitor = Lookup<DpiForMonitor>(LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor");
    if (forMonitor) {
        UINT x = 0, y = 0;
        if (SUCCEEDED(forMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && x > 0)
            return static_cast<int>(x);
    }
    return SystemDpi();
}

ThreadDpiLikeWindow::ThreadDpiLikeWindow(HWND window)
{
    static const WindowDpiContext ofWindow =
        Lookup<WindowDpiContext>(GetModuleHandleW(L"user32.dll"), "GetWindowDpiAwarenessContext");
    const SetThreadDpiContext set = ThreadContextSetter();
    if (!ofWindow || !set || !window)
        return;
    if (const DPI_AWARENESS_CONTEXT context = ofWindow(window))
        m_previous = set(context);
}

ThreadDpiLikeWindow::~ThreadDpiLikeWindow()
{
    if (m_previous)
        ThreadContextSetter()(m_previous);
}
