#include "platform/Dialog.h"

#include "platform/Text.h"

#include <commctrl.h>

namespace {

// A dialog moved to a monitor of another DPI takes the rectangle the
// system suggests, which keeps its place and its size to the eye.
void FollowDpiChange(HWND hwnd, LPARAM suggested)
{
    if (!suggested)
        return;
    const RECT& r = *reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // What we draw in pixels is drawn again at the new size.
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace

INT_PTR ModalDialog::Run(HWND owner)
{
    const HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), top, Procedure,
                           reinterpret_cast<LPARAM>(this));
}

void ModalDialog::End(INT_PTR result)
{
    if (m_hWnd)
        EndDialog(m_hWnd, result);
}

ModalDialog* ModalDialog::Bound(HWND hwnd)
{
    // Only our procedure puts a dialog of ours into DWLP_USER.
    if (!IsWindow(hwnd) || GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&Procedure))
        return nullptr;
    return reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        reinterpret_cast<ModalDialog*>(lParam)->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    const INT_PTR result = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR ModalDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        return Init();
    if (msg != WM_COMMAND)
        return Message(msg, wParam, lParam);
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (Command(id, code))
        return TRUE;
    // Code 0 is a click or a menu, 1 an accelerator; Enter and Escape
    // arrive as IDOK and IDCANCEL.
    if (code > 1 || (id != IDOK && id != IDCANCEL))
        return FALSE;
    End(id);
    return TRUE;
}

INT_PTR ModalDialog::Message(UINT msg, WPARAM, LPARAM lParam)
{
    switch (msg) {
    case WM_NOTIFY:
        if (!AnswerToolTip(reinterpret_cast<NMHDR*>(lParam)))
            return FALSE;
        // A dialog answers a notification through DWLP_MSGRESULT.
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_DPICHANGED:
        FollowDpiChange(m_hWnd, lParam);
        // The dialog manager goes on to scale the controls and the font.
        return FALSE;
    default:
        return FALSE;
    }
}

void ModalDialog::EnableToolTips(int firstId, int lastId)
{
    m_tipFirst = firstId;
    m_tipLast = lastId;
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tip)
        return;
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id < firstId || id > lastId)
            continue;
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(child);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

bool ModalDialog::AnswerToolTip(NMHDR* header)
{
    if (!header || header->code != TTN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (!(info->uFlags & TTF_IDISHWND))
        return false;
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    if (id == 0 || id < m_tipFirst || id > m_tipLast)
        return false;
    m_toolTipText = ResourceString(static_cast<UINT>(id));
    info->lpszText = &m_toolTipText[0];
    info->hinst = nullptr;
    return true;
}

std::string GetDlgItemUtf8(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return std::string();
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(item, &text[0], static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return Narrow(text);
}

void ShowMessage(HWND owner, const std::string& text, const std::wstring& caption)
{
    MessageBoxW(owner, Widen(text).c_str(), caption.c_str(), MB_OK);
}

std::wstring ProgramName()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.erase(dot);
    return name;
}
