#include "settings/win/AboutDialog.h"

#include "res/SettingsIds.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}
