#include "settings/win/MidiListDialog.h"

#include "res/SettingsIds.h"

// RandomPlay is the caller's to set.
MidiListDialog::MidiListDialog(HWND parent) : Dialog(IDD_MIDI_LIST, parent), RandomPlay(0) {}

BOOL MidiListDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM,
                     RandomPlay ? IDC_LIST_AT_RANDOM : IDC_LIST_IN_ORDER);
    return TRUE;
}

BOOL MidiListDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_LIST_IN_ORDER:
            CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM, IDC_LIST_IN_ORDER);
            RandomPlay = 0;
            return TRUE;
        case IDC_LIST_AT_RANDOM:
            CheckRadioButton(Handle(), IDC_LIST_IN_ORDER, IDC_LIST_AT_RANDOM, IDC_LIST_AT_RANDOM);
            RandomPlay = 1;
            return TRUE;
        default:
            break;
        }
    }
    return Dialog::OnCommand(wParam, lParam);
}
