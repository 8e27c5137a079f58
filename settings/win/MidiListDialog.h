#pragma once
#include <windows.h>

// Asks in which order a play list is played: 0 in the list's own order, 1
// at random. Returns the answer after OK and randomPlay after Cancel.
int RunMidiListDialog(HWND owner, int randomPlay);
