// Tells the end-to-end tests whether a top-level window shows, where its
// controls are on the screen, so that they can click them with the mouse,
// and what the controls say. Writes UTF-8 lines to stdout: the number of
// top-level windows with the title and whether the first one is visible,
// then a line for each of its controls:
//
//   COUNT 0|1
//   ID <tab> CLASS <tab> LEFT,TOP,RIGHT,BOTTOM <tab> TEXT
//
//   dialog_probe --title TEXT
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// One field of UTF-8: a line break shows as |, a tab as a blank.
std::string Utf8(const wchar_t* text)
{
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    for (char* c = out; *c; ++c)
        *c = *c == '\r' || *c == '\n' ? '|' : *c == '\t' ? ' ' : *c;
    return out;
}

BOOL CALLBACK Describe(HWND child, LPARAM)
{
    // Edit controls keep their text to themselves: another process has to ask.
    wchar_t text[1024] = {}, className[64] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000, &got);
    GetClassNameW(child, className, 64);
    RECT r{};
    GetWindowRect(child, &r);
    std::printf("%d\t%s\t%ld,%ld,%ld,%ld\t%s\n", GetDlgCtrlID(child), Utf8(className).c_str(),
                static_cast<long>(r.left), static_cast<long>(r.top), static_cast<long>(r.right),
                static_cast<long>(r.bottom), Utf8(text).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || std::wstring(argv[1]) != L"--title" || !*argv[2]) {
        std::fprintf(stderr, "usage: dialog_probe --title TEXT\n");
        return 2;
    }
    const HWND first = FindWindowExW(nullptr, nullptr, nullptr, argv[2]);
    unsigned count = 0;
    for (HWND w = first; w; w = FindWindowExW(nullptr, w, nullptr, argv[2]))
        ++count;
    std::printf("%u %d\n", count, first && IsWindowVisible(first) ? 1 : 0);
    if (first)
        EnumChildWindows(first, Describe, 0);
    std::fflush(stdout);
    return 0;
}
