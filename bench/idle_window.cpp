// The idle reference of bench/measure-saver.py: a window with a 152 x 112
// grey client area at (100, 100) that sleeps in GetMessage like any idle
// program for --life milliseconds, so that its CPU time and memory are
// those of a bare window under Wine. --tick adds a timer that does nothing,
// the floor of what any animation at that rate costs.
//
//   idle_window [--life MS] [--title TEXT] [--tick MS]
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv)
{
    UINT lifeMs = 3000, tickMs = 0;
    const wchar_t* title = L"Veloma Idle Window";
    for (int i = 1; i < argc; i += 2) {
        const std::wstring arg = argv[i];
        if (i + 1 < argc && arg == L"--life")
            lifeMs = static_cast<UINT>(_wtoi(argv[i + 1]));
        else if (i + 1 < argc && arg == L"--tick")
            tickMs = static_cast<UINT>(_wtoi(argv[i + 1]));
        else if (i + 1 < argc && arg == L"--title")
            title = argv[i + 1];
        else
            return 2;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"VelomaIdleWindow";
    RegisterClassW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    RECT r{0, 0, 152, 112};
    AdjustWindowRect(&r, style, FALSE);
    const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title, style, 100, 100, r.right - r.left,
                                      r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    const UINT_PTR end = SetTimer(hwnd, 1, lifeMs, nullptr);
    if (tickMs)
        SetTimer(hwnd, 2, tickMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.message == WM_TIMER && msg.wParam == end))
        DispatchMessageW(&msg);
    return 0;
}
