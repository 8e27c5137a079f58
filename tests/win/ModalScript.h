#pragma once
// Acting on modal dialogs from inside their own message loops, as a user's
// clicks would arrive there.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace modal_script {

inline std::map<UINT_PTR, std::function<void()>>& Pending()
{
    static std::map<UINT_PTR, std::function<void()>> steps;
    return steps;
}

inline void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto it = Pending().find(id);
    if (it == Pending().end())
        return;
    std::function<void()> step = std::move(it->second);
    Pending().erase(it);
    step();
}

}  // namespace modal_script

// Runs `step` from whichever message loop of this thread runs next: the
// dialog that is about to open, or one opened from it.
inline void Later(std::function<void()> step, UINT delayMs = 20)
{
    const UINT_PTR id = SetTimer(nullptr, 0, delayMs, modal_script::RunStep);
    if (id)
        modal_script::Pending()[id] = std::move(step);
}

// Forgets steps that never ran (a dialog that did not open).
inline void DropPendingSteps()
{
    for (auto& entry : modal_script::Pending())
        KillTimer(nullptr, entry.first);
    modal_script::Pending().clear();
}

namespace modal_script {

struct TitleSearch {
    const std::wstring* title;
    HWND found;
    int count;
};

inline BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<TitleSearch*>(lParam);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (IsWindowVisible(hwnd) && *s->title == text) {
        if (!s->found)
            s->found = hwnd;
        ++s->count;
    }
    return TRUE;
}

inline TitleSearch SearchThread(const std::wstring& title)
{
    TitleSearch search{&title, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search;
}

}  // namespace modal_script

// A visible top-level window of this thread with the given title, or null.
inline HWND FindThreadDialog(const std::wstring& title)
{
    return modal_script::SearchThread(title).found;
}

// How many visible top-level windows of this thread bear the title.
inline int CountThreadWindows(const std::wstring& title)
{
    return modal_script::SearchThread(title).count;
}

// A button click as the control reports it to its dialog.
inline void ClickItem(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A click on an auto check box or radio button: its state changes first,
// as the control does it, then the dialog hears of it.
inline void ToggleItem(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

inline void Scroll(HWND dialog, int barId, int code, int thumb = 0)
{
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(GetDlgItem(dialog, barId)));
}

inline std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

inline bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
