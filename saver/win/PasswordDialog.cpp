#include "saver/win/PasswordDialog.h"

#include "platform/Dialog.h"
#include "res/PasswordDialogs.h"
#include "settings/SettingsStore.h"

namespace {

constexpr UINT_PTR kIdleTimer = 3;

class PasswordDialog : public ModalDialog {
public:
    explicit PasswordDialog(UINT idleLimitMs) : ModalDialog(IDD_PASSWORD), m_idleLimit(idleLimitMs) {}

    std::optional<std::string> Ask(HWND owner)
    {
        if (Run(owner) != IDOK)
            return std::nullopt;
        return m_entered;
    }

private:
    bool Init() override
    {
        // Room for any password the change dialog can store.
        SendDlgItemMessageW(Handle(), IDC_PASSWORD, EM_LIMITTEXT, kMaxStoredTextChars, 0);
        RestartIdleTimer();
        SetFocus(Item(IDC_PASSWORD));
        return false;
    }

    bool Command(int id, int code) override
    {
        if (id == IDC_PASSWORD && code == EN_CHANGE) {
            RestartIdleTimer();
            return true;
        }
        if (id != IDOK || code > 1)
            return false;
        KillTimer(Handle(), kIdleTimer);
        m_entered = GetDlgItemUtf8(Handle(), IDC_PASSWORD);
        End(IDOK);
        return true;
    }

    INT_PTR Message(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != WM_TIMER || wParam != kIdleTimer)
            return ModalDialog::Message(msg, wParam, lParam);
        KillTimer(Handle(), kIdleTimer);
        End(IDCANCEL);
        return TRUE;
    }

    void RestartIdleTimer()
    {
        KillTimer(Handle(), kIdleTimer);
        SetTimer(Handle(), kIdleTimer, m_idleLimit, nullptr);
    }

    UINT m_idleLimit;
    std::string m_entered;
};

}  // namespace

std::optional<std::string> AskPassword(HWND owner, UINT idleLimitMs)
{
    return PasswordDialog(idleLimitMs).Ask(owner);
}
