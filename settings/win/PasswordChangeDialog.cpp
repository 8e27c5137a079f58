#include "settings/win/PasswordChangeDialog.h"

#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "res/StringIds.h"
#include "settings/Password.h"
#include "settings/SettingsStore.h"
#include "platform/Registry.h"

PasswordChangeDialog::PasswordChangeDialog(HWND owner, RegistryRoot* registry)
    : Dialog(IDD_PASSWORD_CHANGE, owner), m_pRegistry(registry)
{
}

BOOL PasswordChangeDialog::OnInitDialog()
{
    // No longer than the store reads back.
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_CONFIRM})
        SendDlgItemMessageW(Handle(), id, EM_LIMITTEXT, kMaxStoredTextChars, 0);
    SetFocus(GetDlgItem(IDC_PASSWORD));
    return FALSE;
}

void PasswordChangeDialog::FocusItem(int id)
{
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(id)), TRUE);
}

void PasswordChangeDialog::OnOK()
{
    HWND ok = GetDlgItem(IDOK);
    const std::string newPassword = GetDlgItemUtf8(Handle(), IDC_PASSWORD);
    const std::string confirmation = GetDlgItemUtf8(Handle(), IDC_PASSWORD_CONFIRM);
    switch (DecidePasswordChange(ok && GetFocus() == ok, newPassword, confirmation)) {
    case PasswordChangeAction::NextControl:
        SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
        return;
    case PasswordChangeAction::FocusConfirmation:
        FocusItem(IDC_PASSWORD_CONFIRM);
        return;
    case PasswordChangeAction::Store: {
        // A key that cannot be written is not worth a message: the dialog
        // ends all the same.
        WinRegistry system;
        SavePassword(m_pRegistry ? *m_pRegistry : system, newPassword);
        EndDialog(IDOK);
        return;
    }
    case PasswordChangeAction::Mismatch:
        ShowMessage(Handle(), Narrow(ResourceString(IDS_PASSWORD_MISMATCH)), L"Veloma SS");
        FocusItem(IDC_PASSWORD);
        return;
    }
}
