#include "settings/Password.h"

bool PasswordMatches(const std::string& entered, const std::string& stored)
{
    return entered == stored;
}

PasswordChangeAction DecidePasswordChange(bool focusOnOk, const std::string& newPassword,
                                          const std::string& confirmation)
{
    if (!focusOnOk)
        return PasswordChangeAction::NextControl;
    if (!newPassword.empty() && confirmation.empty())
        return PasswordChangeAction::FocusConfirmation;
    if (PasswordMatches(newPassword, confirmation))
        return PasswordChangeAction::Store;
    return PasswordChangeAction::Mismatch;
}
