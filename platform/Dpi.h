#pragma once
#include <windows.h>

// The DPI a window is drawn at: its monitor's where the system scales per
// monitor, the system's otherwise. The per-monitor calls are looked up at
// run time, so the saver still starts on a Windows without them.
int WindowDpi(HWND hwnd);

// The screen's DPI as every Windows reports it.
int SystemDpi();
