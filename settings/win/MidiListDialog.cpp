#include "settings/win/MidiListDialog.h"

#include "platform/Dialog.h"
#include "res/SettingsIds.h"

namespace {

class MidiListDialog : public Dialog {
public:
    MidiListDialog(HWND owner, int randomPlay) : Dialog(IDD_MIDI_LIST, owner), randomPlay(randomPlay) {}

    // Only a click changes it: OK alone keeps an odd stored value.
    int randomPlay;

private:
    BOOL OnInitDialog() override
    {
        CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM,
                         randomPlay ? IDC_LIST_AT_RANDOM : IDC_LIST_IN_ORDER);
        return TRUE;
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == BN_CLICKED && (id == IDC_LIST_IN_ORDER || id == IDC_LIST_AT_RANDOM)) {
            CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM, id);
            randomPlay = id == IDC_LIST_AT_RANDOM ? 1 : 0;
            return TRUE;
        }
        return Dialog::OnCommand(wParam, lParam);
    }
};

}  // namespace

int RunMidiListDialog(HWND owner, int randomPlay)
{
    MidiListDialog dialog(owner, randomPlay);
    return dialog.DoModal() == IDOK ? dialog.randomPlay : randomPlay;
}
