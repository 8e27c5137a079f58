#include "saver/win/PasswordDialog.h"

#include "res/PasswordDialogs.h"
#include "settings/SettingsStore.h"

PasswordDialog::PasswordDialog(HWND parent) : Dialog(IDD_PASSWORD, parent) {}

void PasswordDialog::DoDataExchange(DataExchange& dx)
{
    dx.Text(IDC_PASSWORD, m_strPassword);
}

BOOL PasswordDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
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

void PasswordDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kIdleTimer) {
        KillTimer(Handle(), kIdleTimer);
        EndDialog(IDCANCEL);
    }
    Default();
}

void PasswordDialog::OnOK()
{
    KillTimer(Handle(), kIdleTimer);
    Dialog::OnOK();
}
