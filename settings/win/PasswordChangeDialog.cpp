#include "settings/win/PasswordChangeDialog.h"

#include "platform/Dialog.h"
#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "res/StringIds.h"
#include "settings/Password.h"
#include "settings/SettingsStore.h"

namespace {

class PasswordChangeDialog : public ModalDialog {
public:
    explicit PasswordChangeDialog(RegistryRoot& registry) : ModalDialog(IDD_PASSWORD_CHANGE), m_registry(registry) {}
    using ModalDialog::Run;

private:
    bool Init() override
    {
        // No longer than the store reads back.
        for (int id : {IDC_PASSWORD, IDC_PASSWORD_CONFIRM})
            SendDlgItemMessageW(Handle(), id, EM_LIMITTEXT, kMaxStoredTextChars, 0);
        SetFocus(Item(IDC_PASSWORD));
        return false;
    }

    bool Command(int id, int code) override
    {
        if (id != IDOK || code > 1)
            return false;
        const HWND ok = Item(IDOK);
        const std::string newPassword = GetDlgItemUtf8(Handle(), IDC_PASSWORD);
        switch (DecidePasswordChange(ok && GetFocus() == ok, newPassword,
                                     GetDlgItemUtf8(Handle(), IDC_PASSWORD_CONFIRM))) {
        case PasswordChangeAction::NextControl:
            SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
            break;
        case PasswordChangeAction::FocusConfirmation:
            Focus(IDC_PASSWORD_CONFIRM);
            break;
        case PasswordChangeAction::Store:
            // A key that cannot be written is not worth a message: the
            // dialog ends all the same.
            SavePassword(m_registry, newPassword);
            End(IDOK);
            break;
        case PasswordChangeAction::Mismatch:
            ShowMessage(Handle(), Narrow(ResourceString(IDS_PASSWORD_MISMATCH)), L"Veloma SS");
            Focus(IDC_PASSWORD);
            break;
        }
        return true;
    }

    void Focus(int id) { SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }

    RegistryRoot& m_registry;
};

}  // namespace

void ChangePassword(HWND owner, RegistryRoot& registry)
{
    PasswordChangeDialog(registry).Run(owner);
}
