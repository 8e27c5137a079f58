#pragma once
#include "platform/App.h"

#include <string>
#include <vector>

// The screen saver's start-up: reads the switch the display settings pass
// and creates the one thing this run shows.
class SaverApp : public App {
public:
    // The arguments without the program name, UTF-8.
    explicit SaverApp(std::vector<std::string> args) : m_args(std::move(args)) {}

    bool InitInstance() override;
    void RunSettingsDialog();

private:
    bool RunPreview(long handle, bool hasHandle);
    bool RunFullScreen();
    void RunChangePassword();

    std::vector<std::string> m_args;
};

// Titles by which a second run finds the first.
extern const wchar_t kSettingsTitle[];  // settings and password dialogs
extern const wchar_t kSaverTitle[];     // the full-screen window
