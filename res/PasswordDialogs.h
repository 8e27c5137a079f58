#pragma once
// The password dialogs' resources; shared by res/PasswordDialogs.rc and the dialogs.
#define IDD_PASSWORD_CHANGE 134
#define IDD_PASSWORD 135
#define IDC_PASSWORD 1028          // the new password, or the password asked for
#define IDC_PASSWORD_CONFIRM 1029  // the new password once more
