#include "app/win/SaverApp.h"

#include "app/CommandLine.h"
#include "platform/CrtRandom.h"
#include "app/PreviewSettings.h"
#include "board/win/BoardWnd.h"
#include "saver/win/PasswordChangeDialog.h"
#include "saver/win/SaverWnd.h"
#include "settings/win/SettingsDialog.h"
#include "platform/Registry.h"

#include <cstdint>
#include <ctime>

const wchar_t kSettingsTitle[] = L"Veloma Screen Saver";
const wchar_t kSaverTitle[] = L"VelomaScreenSaver";

namespace {

// Brings a running instance forward; false when there is none.
bool ActivateExisting(const wchar_t* title)
{
    HWND existing = FindWindowW(nullptr, title);
    if (!existing)
        return false;
    SetForegroundWindow(existing);
    return true;
}

}  // namespace

bool SaverApp::InitInstance()
{
    CrtRandom::Seed(static_cast<unsigned>(std::time(nullptr)));

    const StartRequest request = ParseCommandLine(m_args);
    switch (request.mode) {
    case SaverMode::Configure:
        RunSettingsDialog();
        return false;
    case SaverMode::Preview:
        return RunPreview(request.handle, request.hasHandle);
    case SaverMode::FullScreen:
        return RunFullScreen();
    case SaverMode::ChangePassword:
        RunChangePassword();
        return false;
    case SaverMode::None:
        break;
    }
    return false;
}

void SaverApp::RunSettingsDialog()
{
    // A second configuration run, or one while the saver asks for its
    // password (same title), only brings that window forward.
    if (ActivateExisting(kSettingsTitle))
        return;
    SettingsDialog dialog;
    SetMainWindow(&dialog);
    const INT_PTR result = dialog.DoModal();
    SetMainWindow(nullptr);
    if (result == IDOK)
        SaveSettingsToRegistry(dialog.Values(), dialog.BCColText);
}

bool SaverApp::RunPreview(long handle, bool hasHandle)
{
    // Window handles fit in 32 bits; the sign extension matches what the
    // system does with a handle passed through a long.
    HWND parent = reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
    if (!hasHandle || !parent || !IsWindow(parent))
        return false;

    auto* board = new BoardWnd;
    RECT rect{};
    GetClientRect(parent, &rect);
    if (!board->Create(0, WS_CHILD | WS_VISIBLE, rect, parent)) {
        // Nothing would ever end the loop for a window that does not exist.
        delete board;
        return false;
    }
    SetMainWindow(board);

    Settings settings;
    ReadSettingsFromRegistry(settings);
    ApplyPreviewSettings(settings);
    board->Apply(settings);
    return true;
}

bool SaverApp::RunFullScreen()
{
    if (ActivateExisting(kSaverTitle))
        return true;  // no main window: the loop ends at once

    Settings settings;
    ReadSettingsFromRegistry(settings);
    ApplyFullScreenRules(settings, ReadDesktopValuesFromRegistry());
    auto* saver = new SaverWnd;
    if (!saver->CreateFullScreen(settings)) {
        // Nothing would ever end the loop for a window that does not exist.
        delete saver;
        return false;
    }
    SetWindowTextW(saver->Handle(), kSaverTitle);
    SetMainWindow(saver);
    return true;
}

void SaverApp::RunChangePassword()
{
    // The handle the display settings pass is not used: no owner.
    PasswordChangeDialog dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
}
