#include "saver/win/PasswordDialog.h"

#include "res/PasswordDialogs.h"
#include "settings/SettingsStore.h"

PasswordDialog::PasswordDialog(HWND owner) : Dialog(IDD_PASSWORD, owner) {}

BOOL PasswordDialog::OnInitDialog()
{
    // Room for any password the change dialog can store.
    SendDlgItemMessageW(Handle(), IDC_PASSWORD, EM_LIMITTEXT, kMaxStoredTextChars, 0);
    RestartIdleTimer();
    SetFocus(GetDlgItem(IDC_PASSWORD));
    return FALSE;
}

void PasswordDialog::RestartIdleTimer()
{
    KillTimer(Handle(), kIdleTimer);
    SetTimer(Handle(), kIdleTimer, m_nIdleLimit, nullptr);
}

BOOL PasswordDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_PASSWORD && HIWORD(wParam) == EN_CHANGE) {
        RestartIdleTimer();
        return TRUE;
    }
    return Dialog::OnCommand(wParam, lParam);
}

INT_PTR PasswordDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && wParam == kIdleTimer) {
        KillTimer(Handle(), kIdleTimer);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return Dialog::DialogProc(msg, wParam, lParam);
}

void PasswordDialog::OnOK()
{
    KillTimer(Handle(), kIdleTimer);
    m_strPassword = GetDlgItemUtf8(Handle(), IDC_PASSWORD);
    EndDialog(IDOK);
}
