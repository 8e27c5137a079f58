// Tells the end-to-end tests whether a top-level window shows, where its
// controls are on the screen, so that they can click them with the mouse,
// and what the controls say. Writes UTF-8 lines to stdout:
//
//   windows=N                           top-level windows with the title
//   window visible=0|1
//   control id=ID class=NAME rect=L,T,R,B text=TEXT
//
//   dialog_probe --title TEXT
//
// Only the first window with the title is described.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    // One line per control.
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = '|';
    return out;
}

// Edit controls keep their text to themselves: another process has to ask.
std::wstring ControlText(HWND hwnd)
{
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000, &got);
    return text;
}

struct Search {
    std::wstring title;
    unsigned count = 0;
    HWND first = nullptr;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<Search*>(lParam);
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    if (s->title == text && s->count++ == 0)
        s->first = hwnd;
    return TRUE;
}

std::string RectText(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    char text[80];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

BOOL CALLBACK Describe(HWND child, LPARAM)
{
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    std::printf("control id=%d class=%s rect=%s text=%s\n", GetDlgCtrlID(child), Utf8(className).c_str(),
                RectText(child).c_str(), Utf8(ControlText(child)).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Search search;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--title")
            search.title = argv[++i];
    }
    if (search.title.empty()) {
        std::fprintf(stderr, "usage: dialog_probe --title TEXT\n");
        return 2;
    }
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    std::printf("windows=%u\n", search.count);
    if (search.first) {
        std::printf("window visible=%d\n", IsWindowVisible(search.first) ? 1 : 0);
        EnumChildWindows(search.first, Describe, 0);
    }
    std::fflush(stdout);
    return 0;
}
