#include "settings/win/AboutDialog.h"

#include "platform/Dialog.h"
#include "res/SettingsIds.h"

namespace {

// The template says it all; OK and Cancel end it.
class AboutDialog : public ModalDialog {
public:
    AboutDialog() : ModalDialog(IDD_ABOUT) {}
    using ModalDialog::Run;
};

}  // namespace

void ShowAboutDialog(HWND owner)
{
    AboutDialog().Run(owner);
}
