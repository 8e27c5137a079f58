#pragma once
#include <windows.h>

#include "base/Settings.h"
#include "image/ImageRefusal.h"

#include <optional>
#include <string>

class BoardWnd;

// The system boxes the settings dialog opens. Tests answer them without a
// screen by overriding these.
class SettingsPrompts {
public:
    virtual ~SettingsPrompts() = default;
    // The open-file dialog with the must-exist flags and a help button: the
    // full path on OK.
    virtual std::optional<std::string> OpenFile(HWND owner, const std::string& defaultExt,
                                                const std::string& fileName, const std::string& filter);
    // An OK-only box captioned with the program's name.
    virtual void Message(HWND owner, const std::string& text);
};

// The message for a piece image that cannot be used: what happened, then
// the reason in one line, in the program's language.
std::string ImageRefusalMessage(const ImageRefusal& refusal);

// The configuration window: every setting but the password, starting from
// `start`, with a live preview board that plays with the values being
// edited. The edited settings after OK, nothing otherwise. Reading and
// saving them is the caller's; only the change-password button stores what
// its own dialog sets. Null prompts are the system's.
std::optional<Settings> EditSettings(HWND owner, const Settings& start, SettingsPrompts* prompts = nullptr);

// The preview board of an open settings dialog; null for any other window.
const BoardWnd* SettingsPreview(HWND dialog);
