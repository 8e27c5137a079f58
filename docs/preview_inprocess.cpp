// The display settings' little monitor with the saver's preview run inside
// this same process, for pictures of the preview: Wine does not draw a child
// window that belongs to another process, so preview_host's board never shows
// on a screenshot. The preview starts exactly as the "p" switch starts it.
//
//   preview_inprocess [--life MS] [--title TEXT]
//
// Prints "client=LEFT,TOP,WIDTH,HEIGHT", the screen rectangle of the board,
// once the board runs; ends after --life milliseconds (default 10000).
#include "app/win/Modes.h"
#include "board/win/BoardWnd.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kClientWidth = 152;
constexpr int kClientHeight = 112;
constexpr UINT_PTR kLifeTimer = 1;

LRESULT CALLBACK MonitorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    DWORD lifeMs = 10000;
    std::wstring title = L"Veloma Little Monitor";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring a = argv[i];
        if (a == L"--life")
            lifeMs = static_cast<DWORD>(_wtoi(argv[i + 1]));
        else if (a == L"--title")
            title = argv[i + 1];
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"VelomaLittleMonitor";
    RegisterClassW(&wc);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&r, style, FALSE);
    HWND monitor = CreateWindowExW(0, wc.lpszClassName, title.c_str(), style, 100, 100, r.right - r.left,
                                   r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!monitor)
        return 3;

    const std::unique_ptr<BoardWnd> board = StartPreview(monitor);
    if (!board)
        return 4;

    POINT origin{0, 0};
    ClientToScreen(monitor, &origin);
    std::printf("client=%ld,%ld,%d,%d\n", origin.x, origin.y, kClientWidth, kClientHeight);
    std::fflush(stdout);

    SetTimer(monitor, kLifeTimer, lifeMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == monitor && msg.wParam == kLifeTimer)
            break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The board's window goes with the monitor, before the board.
    DestroyWindow(monitor);
    return 0;
}
