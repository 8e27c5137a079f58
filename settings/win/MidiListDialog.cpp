#include "settings/win/MidiListDialog.h"

#include "platform/Dialog.h"
#include "res/SettingsIds.h"

namespace {

class MidiListDialog : public ModalDialog {
public:
    explicit MidiListDialog(int randomPlay) : ModalDialog(IDD_MIDI_LIST), m_randomPlay(randomPlay) {}

    using ModalDialog::Run;
    int Choice() const { return m_randomPlay; }

private:
    bool Init() override
    {
        CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM,
                         m_randomPlay ? IDC_LIST_AT_RANDOM : IDC_LIST_IN_ORDER);
        return true;
    }

    bool Command(int id, int code) override
    {
        if (code != BN_CLICKED || (id != IDC_LIST_IN_ORDER && id != IDC_LIST_AT_RANDOM))
            return false;
        CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM, id);
        m_randomPlay = id == IDC_LIST_AT_RANDOM ? 1 : 0;
        return true;
    }

    // Only a click changes it: OK alone keeps an odd stored value.
    int m_randomPlay;
};

}  // namespace

int RunMidiListDialog(HWND owner, int randomPlay)
{
    MidiListDialog dialog(randomPlay);
    return dialog.Run(owner) == IDOK ? dialog.Choice() : randomPlay;
}
