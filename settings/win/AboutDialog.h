#pragma once
#include <windows.h>

// The program's icon, name and version; nothing to set or read.
void ShowAboutDialog(HWND owner);
