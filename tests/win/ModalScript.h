#pragma once
// Acting on modal dialogs from inside their own message loops, as a user's
// clicks would arrive there.
#include <windows.h>
#include <commctrl.h>

#include "platform/Dialog.h"
#include "platform/Text.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace modal_script {

inline std::map<UINT_PTR, std::function<void()>> pending;

inline void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto it = pending.find(id);
    if (it == pending.end())
        return;
    std::function<void()> step = std::move(it->second);
    pending.erase(it);
    step();
}

struct Search { std::wstring name; bool byClass; std::vector<HWND> found; };

inline BOOL CALLBACK Match(HWND hwnd, LPARAM lParam)
{
    auto& s = *reinterpret_cast<Search*>(lParam);
    wchar_t text[256] = {};
    s.byClass ? GetClassNameW(hwnd, text, 256) : GetWindowTextW(hwnd, text, 256);
    if (IsWindowVisible(hwnd) && s.name == text)
        s.found.push_back(hwnd);
    return TRUE;
}

}  // namespace modal_script

// Runs `step` from whichever message loop of this thread runs next: the
// dialog that is about to open, or one opened from it.
inline void Later(std::function<void()> step, UINT delayMs = 20)
{
    if (const UINT_PTR id = SetTimer(nullptr, 0, delayMs, modal_script::RunStep))
        modal_script::pending[id] = std::move(step);
}

// Forgets steps that never ran (a dialog that did not open).
inline void DropPendingSteps()
{
    for (auto& entry : modal_script::pending)
        KillTimer(nullptr, entry.first);
    modal_script::pending.clear();
}

// The visible top-level windows of this thread with this title (or class).
inline std::vector<HWND> ThreadWindows(const std::wstring& name, bool byClass = false)
{
    modal_script::Search s{name, byClass, {}};
    EnumThreadWindows(GetCurrentThreadId(), modal_script::Match, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Runs `act` from the next message loops on the visible top-level window of
// this thread with this title (or class), once it is up; gives up after
// `tries` turns of about 20 ms.
inline void WhenShown(const std::wstring& name, std::function<void(HWND)> act, bool byClass = false, int tries = 250)
{
    Later([=] {
        const std::vector<HWND> found = ThreadWindows(name, byClass);
        if (!found.empty())
            act(found.front());
        else if (tries > 0)
            WhenShown(name, act, byClass, tries - 1);
    });
}

// The dialog of ours that is open on this thread, if any.
inline HWND OpenDialog()
{
    for (HWND h : ThreadWindows(L"#32770", true))
        if (ModalDialog::Bound(h))
            return h;
    return nullptr;
}

// Runs `script` on the dialog that `open` runs, from inside its modal loop,
// once the dialog is on screen (the loop shows it when its queue first runs
// empty); returns what `open` returns. A script that stops early does not
// leave the dialog open.
template <class Open>
auto RunModal(Open open, std::function<void(HWND)> script) -> decltype(open())
{
    WhenShown(L"#32770", [&](HWND) {
        const HWND h = OpenDialog();
        script(h);
        Later([h] {
            if (IsWindow(h))
                EndDialog(h, IDCANCEL);
        }, 2000);
    }, true, 150);
    auto result = open();
    DropPendingSteps();
    return result;
}

// A button click as the control reports it to its dialog.
inline void ClickItem(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A click on an auto check box or radio button: its state changes first,
// as the control does it, then the dialog hears of it.
inline void ToggleItem(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

inline void Scroll(HWND dialog, int barId, int code, int thumb = 0)
{
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(GetDlgItem(dialog, barId)));
}

inline int BarPos(HWND dialog, int barId) { return GetScrollPos(GetDlgItem(dialog, barId), SB_CTL); }

inline std::string ItemText(HWND dialog, int id)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return Narrow(text);
}

inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// What the dialog answers when a tooltip asks for the control's text.
inline std::string ToolTipAnswer(HWND dialog, int id)
{
    NMTTDISPINFOW info{};
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = TTF_IDISHWND;
    if (!SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)))
        return "(unhandled)";
    return info.lpszText ? Narrow(info.lpszText) : "(no text)";
}
