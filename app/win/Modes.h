#pragma once
#include <windows.h>

#include "app/CommandLine.h"

#include <memory>

class BoardWnd;

// What one run of the screen saver shows, as the display settings ask for
// it with a switch.
void RunMode(const StartRequest& request);

// The settings dialog; OK saves what it holds.
void RunSettingsDialog();
// The preview board inside the display settings' little monitor, until the
// monitor takes its window away.
void RunPreview(HWND parent);
// The full-screen saver until it closes.
void RunFullScreen();
// The change-password dialog, without an owner.
void RunChangePassword();

// The preview board made and started inside the parent's client area; null
// when the parent is no window or the board's window cannot be made. Its
// window's end posts WM_QUIT, which ends the preview's run.
std::unique_ptr<BoardWnd> StartPreview(HWND parent);
