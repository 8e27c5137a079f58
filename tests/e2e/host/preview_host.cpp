// Stands in for the display settings: a window with the little monitor's
// client area (152 x 112) that starts the saver with its handle, watches
// what the saver puts up, then destroys its window and waits for the saver
// to end. Writes what it saw as key=value lines.
//
//   preview_host [--scr PATH] [--args TEXT] [--title TEXT] [--report FILE]
//                [--life MS] [--stop-file FILE] [--until-exit] [--wait-exit MS]
//                [--tick MS]
//
// --args defaults to "/p {hwnd}"; {hwnd} becomes the window's handle in
// decimal. Without --scr the window just stays for --life milliseconds or
// until the stop file appears; without either it waits in GetMessage, an
// idle baseline for measurements (--tick adds a timer that does nothing).
// Closing the window by hand ends the run early.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kClientWidth = 152;
constexpr int kClientHeight = 112;

struct Options {
    std::wstring scr;
    std::wstring args = L"/p {hwnd}";
    std::wstring title = L"Veloma Preview Host";
    std::wstring report;
    std::wstring stopFile;
    DWORD lifeMs = 3000;
    DWORD tickMs = 0;
    DWORD waitExitMs = 5000;
    bool untilExit = false;
};

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle()
    {
        if (m_h)
            CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return m_h; }
    void Reset(HANDLE h)
    {
        if (m_h)
            CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool ParseOptions(int argc, wchar_t** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == L"--until-exit") {
            o.untilExit = true;
        } else if (!hasValue) {
            return false;
        } else if (a == L"--scr") {
            o.scr = argv[++i];
        } else if (a == L"--args") {
            o.args = argv[++i];
        } else if (a == L"--title") {
            o.title = argv[++i];
        } else if (a == L"--report") {
            o.report = argv[++i];
        } else if (a == L"--stop-file") {
            o.stopFile = argv[++i];
        } else if (a == L"--life") {
            o.lifeMs = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (a == L"--tick") {
            o.tickMs = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (a == L"--wait-exit") {
            o.waitExitMs = static_cast<DWORD>(_wtoi(argv[++i]));
        } else {
            return false;
        }
    }
    return true;
}

struct Seen {
    DWORD pid = 0;
    int childWindows = 0;   // most children of the host that belong to the saver at once
    int topWindows = 0;     // most visible top-level windows of the saver at once
    bool haveChild = false;
    RECT childRect{};
    LONG_PTR childStyle = 0;
    bool childVisible = false;
    std::wstring childClass;
};

struct Count {
    const Seen* seen;
    HWND host;
    int n;
    HWND first;
};

BOOL CALLBACK CountChildren(HWND hwnd, LPARAM lp)
{
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->seen->pid && GetParent(hwnd) == c->host) {
        if (!c->first)
            c->first = hwnd;
        ++c->n;
    }
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp)
{
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->seen->pid && IsWindowVisible(hwnd))
        ++c->n;
    return TRUE;
}

void Look(HWND host, Seen& seen)
{
    if (!seen.pid)
        return;
    if (host && IsWindow(host)) {
        Count children{&seen, host, 0, nullptr};
        EnumChildWindows(host, CountChildren, reinterpret_cast<LPARAM>(&children));
        if (children.n > seen.childWindows)
            seen.childWindows = children.n;
        // The last look before the window goes: creation is over by then.
        if (children.first) {
            seen.haveChild = true;
            GetWindowRect(children.first, &seen.childRect);
            MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&seen.childRect), 2);
            seen.childStyle = GetWindowLongPtrW(children.first, GWL_STYLE);
            seen.childVisible = IsWindowVisible(children.first) != FALSE;
            wchar_t cls[256] = {};
            GetClassNameW(children.first, cls, 256);
            seen.childClass = cls;
        }
    }
    Count top{&seen, nullptr, 0, nullptr};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&top));
    if (top.n > seen.topWindows)
        seen.topWindows = top.n;
}

// Waits up to ms for the handle (or just the time when null), dispatching
// messages and looking around every few milliseconds.
bool PumpWait(HANDLE process, DWORD ms, HWND host, Seen& seen, const std::wstring& stopFile)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Look(host, seen);
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return true;
        if (!stopFile.empty() && GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            return false;
        if (host && GetWindowLongPtrW(host, GWLP_USERDATA) != 0)
            return false;
        if (GetTickCount() - start >= ms)
            return false;
        DWORD count = process ? 1 : 0;
        HANDLE handles[1] = {process};
        MsgWaitForMultipleObjects(count, handles, FALSE, 10, QS_ALLINPUT);
    }
}

// The idle baseline sleeps in GetMessage like any idle program, so that its
// CPU time and memory are those of a bare window under Wine.
// With tickMs it also takes a timer message that does nothing every tickMs:
// the floor of what any animation at that rate costs under Wine.
void WaitIdle(HWND host, DWORD ms, DWORD tickMs)
{
    const UINT_PTR timer = SetTimer(host, 1, ms, nullptr);
    if (tickMs)
        SetTimer(host, 2, tickMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == host && msg.wParam == timer)
            break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (GetWindowLongPtrW(host, GWLP_USERDATA) != 0)
            break;
    }
    KillTimer(host, timer);
    if (tickMs)
        KillTimer(host, 2);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        // Closing by hand ends the run early; the window goes in wmain.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: preview_host [--scr PATH] [--args TEXT] [--title TEXT] [--report FILE] "
                             "[--life MS] [--stop-file FILE] [--until-exit] [--wait-exit MS] [--tick MS]\n");
        return 2;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"VelomaPreviewHost";
    RegisterClassW(&wc);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&r, style, FALSE);
    HWND host = CreateWindowExW(0, wc.lpszClassName, o.title.c_str(), style, 100, 100, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!host)
        return 3;
    RECT client{};
    GetClientRect(host, &client);

    Seen seen;
    Handle process;
    bool started = false;
    const DWORD t0 = GetTickCount();
    if (!o.scr.empty()) {
        std::wstring args = o.args;
        const std::wstring hwndText = std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host)));
        for (size_t at; (at = args.find(L"{hwnd}")) != std::wstring::npos;)
            args.replace(at, 6, hwndText);
        std::wstring commandLine = L"\"" + o.scr + L"\"";
        if (!args.empty())
            commandLine += L" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        started = CreateProcessW(o.scr.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
        if (started) {
            CloseHandle(pi.hThread);
            process.Reset(pi.hProcess);
            seen.pid = pi.dwProcessId;
        }
    }

    bool endedEarly = false;
    if (o.scr.empty() && o.stopFile.empty())
        WaitIdle(host, o.lifeMs, o.tickMs);
    else
        endedEarly = PumpWait(o.untilExit ? process.Get() : nullptr, o.lifeMs, host, seen, o.stopFile) ||
                     (process.Get() && WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0);
    const DWORD endedEarlyMs = GetTickCount() - t0;

    const DWORD destroyedAt = GetTickCount();
    DestroyWindow(host);
    bool ended = endedEarly;
    DWORD exitMs = endedEarly ? endedEarlyMs : 0;
    if (process.Get() && !endedEarly) {
        ended = PumpWait(process.Get(), o.waitExitMs, nullptr, seen, std::wstring());
        exitMs = GetTickCount() - destroyedAt;
    }
    DWORD exitCode = 0;
    if (process.Get()) {
        if (!ended)
            TerminateProcess(process.Get(), 1);
        GetExitCodeProcess(process.Get(), &exitCode);
    }

    std::string text;
    auto put = [&text](const char* key, const std::string& value) { text += std::string(key) + "=" + value + "\n"; };
    put("host_client", std::to_string(client.right) + "x" + std::to_string(client.bottom));
    put("child_started", started ? "1" : "0");
    put("child_windows", std::to_string(seen.childWindows));
    put("top_windows", std::to_string(seen.topWindows));
    if (seen.haveChild) {
        put("child_rect", std::to_string(seen.childRect.left) + "," + std::to_string(seen.childRect.top) + "," +
                              std::to_string(seen.childRect.right) + "," + std::to_string(seen.childRect.bottom));
        char hex[32];
        std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(seen.childStyle));
        put("child_style", hex);
        put("child_visible", seen.childVisible ? "1" : "0");
        put("child_class", Utf8(seen.childClass));
    }
    put("child_ended_before_destroy", endedEarly ? "1" : "0");
    put("child_ended", ended ? "1" : "0");
    put("child_exit_ms", std::to_string(exitMs));
    put("child_exit_code", std::to_string(exitCode));

    if (o.report.empty()) {
        std::fputs(text.c_str(), stdout);
    } else {
        FILE* f = _wfopen(o.report.c_str(), L"wb");
        if (!f)
            return 4;
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
    return 0;
}
