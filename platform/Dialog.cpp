#include "platform/Dialog.h"

#include "platform/App.h"
#include "platform/Text.h"

#include <commctrl.h>

int ScrollBar::GetScrollPos() const
{
    return ::GetScrollPos(m_hWnd, SB_CTL);
}

void ScrollBar::SetScrollPos(int pos, bool redraw)
{
    ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw);
}

void ScrollBar::SetScrollRange(int minPos, int maxPos, bool redraw)
{
    ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw);
}

void ScrollBar::GetScrollRange(int& minPos, int& maxPos) const
{
    minPos = maxPos = 0;
    ::GetScrollRange(m_hWnd, SB_CTL, &minPos, &maxPos);
}

HWND DataExchange::Item(int id) const
{
    return m_dialog.GetDlgItem(id);
}

void DataExchange::Control(int id, ScrollBar& bar)
{
    if (!bar.Handle())
        bar.Attach(Item(id));
}

void DataExchange::Text(int id, std::string& value)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (m_bSaveAndValidate) {
        const int length = GetWindowTextLengthW(item);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int got = GetWindowTextW(item, &text[0], length + 1);
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        value = Narrow(text);
    } else {
        SetWindowTextW(item, Widen(value).c_str());
    }
}

void DataExchange::Check(int id, int& value)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageW(item, BM_GETCHECK, 0, 0));
    } else {
        // Anything but 0 and the third state shows as checked.
        const WPARAM state = value == BST_INDETERMINATE ? BST_INDETERMINATE : value ? BST_CHECKED : BST_UNCHECKED;
        SendMessageW(item, BM_SETCHECK, state, 0);
    }
}

void DataExchange::Scroll(int id, int& value)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (m_bSaveAndValidate)
        value = ::GetScrollPos(item, SB_CTL);
    else
        ::SetScrollPos(item, SB_CTL, value, TRUE);
}

INT_PTR Dialog::DoModal()
{
    HWND owner = m_hParent;
    if (!owner) {
        App* app = App::Current();
        Window* main = app ? app->MainWindow() : nullptr;
        if (main && main != this)
            owner = main->Handle();
    }
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                           StaticDialogProc, reinterpret_cast<LPARAM>(this));
    m_hToolTip = nullptr;
    return result;
}

void Dialog::EndDialog(INT_PTR result)
{
    if (Handle())
        ::EndDialog(Handle(), result);
}

HWND Dialog::GetDlgItem(int id) const
{
    return Handle() ? ::GetDlgItem(Handle(), id) : nullptr;
}

bool Dialog::UpdateData(bool saveAndValidate)
{
    if (!Handle())
        return false;
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::EnableToolTips(bool enable)
{
    m_bToolTips = enable;
    if (enable && Handle() && !m_hToolTip)
        CreateToolTips();
}

void Dialog::CreateToolTips()
{
    m_hToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!m_hToolTip)
        return;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = Handle();
        info.uId = reinterpret_cast<UINT_PTR>(child);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG)
        return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->Subclass(hwnd);
    if (self->m_bToolTips)
        self->CreateToolTips();
    return self->OnInitDialog();
}

BOOL Dialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM)
{
    // Code 0 is a click or a menu, 1 an accelerator; Enter and Escape
    // arrive as IDOK and IDCANCEL.
    if (HIWORD(wParam) > 1)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

bool Dialog::GetToolTipText(HWND tool, std::wstring& text)
{
    const int id = GetDlgCtrlID(tool);
    if (id == 0)
        return false;
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&resource), 0);
    text.assign(resource && length > 0 ? resource : L"", length > 0 ? static_cast<size_t>(length) : 0);
    return true;
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        return Default();
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if ((info->uFlags & TTF_IDISHWND) &&
                GetToolTipText(reinterpret_cast<HWND>(header->idFrom), m_toolTipText)) {
                info->lpszText = &m_toolTipText[0];
                info->hinst = nullptr;
                return TRUE;
            }
        }
        return Default();
    }
    default:
        return Window::WindowProc(msg, wParam, lParam);
    }
}
