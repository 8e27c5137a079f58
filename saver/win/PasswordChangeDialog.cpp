#include "saver/win/PasswordChangeDialog.h"

#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "saver/SaverRules.h"
#include "settings/SettingsStore.h"
#include "platform/Registry.h"

namespace {

const wchar_t kMismatchText[] =
    L"新しいﾊﾟｽﾜｰﾄﾞと再入力したﾊﾟｽﾜｰﾄﾞが一致しません。もう一度新しいﾊﾟｽﾜｰﾄﾞを確認してから入力して下さい。";
const wchar_t kMismatchCaption[] = L"Veloma SS";

}  // namespace

PasswordChangeDialog::PasswordChangeDialog(HWND parent, RegistryRoot* registry)
    : Dialog(IDD_PASSWORD_CHANGE, parent), m_pRegistry(registry)
{
}

BOOL PasswordChangeDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    // No longer than the store reads back.
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_CONFIRM})
        SendDlgItemMessageW(Handle(), id, EM_LIMITTEXT, kMaxStoredTextChars, 0);
    SetFocus(GetDlgItem(IDC_PASSWORD));
    return FALSE;
}

std::string PasswordChangeDialog::ItemText(int id) const
{
    HWND item = GetDlgItem(id);
    if (!item)
        return std::string();
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(item, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return Narrow(text);
}

void PasswordChangeDialog::FocusItem(int id)
{
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(id)), TRUE);
}

void PasswordChangeDialog::OnOK()
{
    HWND ok = GetDlgItem(IDOK);
    const std::string newPassword = ItemText(IDC_PASSWORD);
    const std::string confirmation = ItemText(IDC_PASSWORD_CONFIRM);
    switch (DecidePasswordChange(ok && GetFocus() == ok, newPassword, confirmation)) {
    case PasswordChangeAction::NextControl:
        SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
        return;
    case PasswordChangeAction::FocusConfirmation:
        FocusItem(IDC_PASSWORD_CONFIRM);
        return;
    case PasswordChangeAction::Store:
        // A key that cannot be written is not worth a message: the dialog
        // ends all the same.
        if (m_pRegistry)
            SavePassword(*m_pRegistry, newPassword);
        else
            SavePasswordToRegistry(newPassword);
        EndDialog(IDOK);
        return;
    case PasswordChangeAction::Mismatch:
        MessageBoxW(Handle(), kMismatchText, kMismatchCaption, MB_OK);
        FocusItem(IDC_PASSWORD);
        return;
    }
}
