#pragma once
#include "platform/Dialog.h"

// Asks in which order a play list is played. The caller sets RandomPlay
// before running it and reads it after OK.
class MidiListDialog : public Dialog {
public:
    explicit MidiListDialog(HWND parent = nullptr);

    int RandomPlay;  // 0: the list's own order; 1: at random

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
