// Stands in for the display settings: a window with the little monitor's
// client area (152 x 112) that starts the saver with its handle, watches
// what the saver puts up, then destroys its window and waits for the saver
// to end. Writes what it saw as key=value lines.
//
//   preview_host SCR ARGS LIFE_MS [--until-exit]
//
// {hwnd} in ARGS becomes the window's handle in decimal. --until-exit
// destroys the window early when the saver ends.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kClientWidth = 152;
constexpr int kClientHeight = 112;
// How long the window's end gives the preview to follow it.
constexpr DWORD kWaitExitMs = 2000;

struct Seen {
    DWORD pid = 0;
    HWND host = nullptr;
    int childWindows = 0;  // most children of the host that belong to the saver at once
    int topWindows = 0;    // most visible top-level windows of the saver at once
    RECT childRect{};  // the last look before the window goes: creation is over by then
    LONG_PTR childStyle = 0;
};

// How many windows under `parent` (top-level ones for null) belong to the
// process and pass `look`.
template <class Look>
int CountOf(HWND parent, DWORD pid, Look look)
{
    int count = 0;
    for (HWND w = FindWindowExW(parent, nullptr, nullptr, nullptr); w; w = FindWindowExW(parent, w, nullptr, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        count += owner == pid && look(w);
    }
    return count;
}

void Look(Seen& seen)
{
    if (!seen.pid)
        return;
    seen.childWindows = std::max(seen.childWindows, CountOf(seen.host, seen.pid, [&seen](HWND child) {
        GetWindowRect(child, &seen.childRect);
        MapWindowPoints(nullptr, seen.host, reinterpret_cast<POINT*>(&seen.childRect), 2);
        seen.childStyle = GetWindowLongPtrW(child, GWL_STYLE);
        return true;
    }));
    seen.topWindows = std::max(seen.topWindows, CountOf(nullptr, seen.pid, [](HWND w) { return IsWindowVisible(w); }));
}

// Waits up to ms for the process (or just the time when null), dispatching
// messages and looking around every few milliseconds; true when it ended.
bool PumpWait(HANDLE process, DWORD ms, Seen& seen)
{
    for (const DWORD start = GetTickCount();;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Look(seen);
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        MsgWaitForMultipleObjects(process ? 1 : 0, &process, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: preview_host SCR ARGS LIFE_MS [--until-exit]\n");
        return 2;
    }
    const std::wstring scr = argv[1];
    std::wstring args = argv[2];
    const auto lifeMs = static_cast<DWORD>(_wtoi(argv[3]));
    const bool untilExit = argc > 4 && std::wstring(argv[4]) == L"--until-exit";

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"VelomaPreviewHost";
    RegisterClassW(&wc);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&r, style, FALSE);
    Seen seen;
    seen.host = CreateWindowExW(0, wc.lpszClassName, L"Veloma Preview Host", style, 100, 100, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!seen.host)
        return 3;

    const std::wstring hwndText = std::to_wstring(reinterpret_cast<UINT_PTR>(seen.host));
    for (size_t at; (at = args.find(L"{hwnd}")) != std::wstring::npos;)
        args.replace(at, 6, hwndText);
    std::wstring commandLine = L"\"" + scr + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    HANDLE process = nullptr;
    if (CreateProcessW(scr.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        process = pi.hProcess;
        seen.pid = pi.dwProcessId;
    }

    const bool endedEarly = PumpWait(untilExit ? process : nullptr, lifeMs, seen) ||
                            (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0);
    DestroyWindow(seen.host);
    const bool ended = endedEarly || (process && PumpWait(process, kWaitExitMs, seen));
    DWORD exitCode = 0;
    if (process) {
        if (!ended)
            TerminateProcess(process, 1);
        GetExitCodeProcess(process, &exitCode);
    }

    const RECT& c = seen.childRect;
    std::printf("child_windows=%d\ntop_windows=%d\nchild_rect=%ld,%ld,%ld,%ld\nchild_style=%lld\n"
                "child_ended_before_destroy=%d\nchild_ended=%d\nchild_exit_code=%lu\n",
                seen.childWindows, seen.topWindows, c.left, c.top, c.right, c.bottom,
                static_cast<long long>(seen.childStyle), endedEarly, ended, exitCode);
    return std::fflush(stdout) == 0 ? 0 : 4;
}
