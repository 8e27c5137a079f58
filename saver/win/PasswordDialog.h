#pragma once
#include "platform/Dialog.h"

#include <string>

// Asks for the saver's password before it closes. Gives up as cancelled
// after a while without typing, so an unattended saver goes on playing.
class PasswordDialog : public Dialog {
public:
    static constexpr UINT kIdleTimer = 3;
    static constexpr UINT kIdleLimitMs = 8000;

    explicit PasswordDialog(HWND owner = nullptr);

    // Tests shorten the wait; the saver keeps kIdleLimitMs.
    void SetIdleLimit(UINT milliseconds) { m_nIdleLimit = milliseconds; }

    std::string m_strPassword;  // the entered text after OK

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void RestartIdleTimer();

    UINT m_nIdleLimit = kIdleLimitMs;
};
