#pragma once
#include <string>

// The rules of the saver's own password, kept with the settings it is one of.

// Exact, byte for byte: no case folding, no trimming.
bool PasswordMatches(const std::string& entered, const std::string& stored);

// What OK in the change-password dialog does.
enum class PasswordChangeAction {
    NextControl,        // the focus is not on OK: Enter moves on like Tab
    FocusConfirmation,  // a new password without its confirmation
    Store,              // equal entries (both empty removes the password)
    Mismatch,           // tell the user, focus back to the new password
};

PasswordChangeAction DecidePasswordChange(bool focusOnOk, const std::string& newPassword,
                                          const std::string& confirmation);
