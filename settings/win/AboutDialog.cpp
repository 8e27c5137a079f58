#include "settings/win/AboutDialog.h"

#include "platform/Dialog.h"
#include "res/SettingsIds.h"

void ShowAboutDialog(HWND owner)
{
    Dialog(IDD_ABOUT, owner).DoModal();
}
