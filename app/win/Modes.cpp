#include "app/win/Modes.h"

#include "app/PreviewSettings.h"
#include "board/win/BoardWnd.h"
#include "platform/Dpi.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "saver/win/SaverSession.h"
#include "settings/DialogValues.h"
#include "settings/SettingsStore.h"
#include "settings/win/PasswordChangeDialog.h"
#include "settings/win/SettingsDialog.h"

#include <cstdint>

namespace {

// Titles by which a second run finds the first.
const wchar_t kSettingsTitle[] = L"Veloma Screen Saver";  // settings and password dialogs
const wchar_t kSaverTitle[] = L"VelomaScreenSaver";       // every board of the full-screen run

// Brings a running instance forward; false when there is none.
bool ActivateExisting(const wchar_t* title)
{
    HWND existing = FindWindowW(nullptr, title);
    if (!existing)
        return false;
    SetForegroundWindow(existing);
    return true;
}

// Dispatches until the window is gone; its end posts WM_QUIT, which wakes
// the loop.
void RunUntilGone(const Window& window)
{
    MSG msg{};
    while (window.Handle() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// What every board plays with: the stored settings, the files they name checked.
Settings StoredSettings()
{
    Settings settings;
    WinRegistry registry;
    WinFileSystem files;
    ReadSettings(settings, registry, files);
    return settings;
}

}  // namespace

void RunMode(const StartRequest& request)
{
    switch (request.mode) {
    case SaverMode::Configure:
        RunSettingsDialog();
        break;
    case SaverMode::Preview:
        // Window handles fit in 32 bits; the sign extension matches what
        // the system does with a handle passed through a long.
        if (request.hasHandle)
            RunPreview(reinterpret_cast<HWND>(static_cast<std::intptr_t>(request.handle)));
        break;
    case SaverMode::FullScreen:
        RunFullScreen();
        break;
    case SaverMode::ChangePassword:
        // The handle the display settings pass is not used: no owner.
        RunChangePassword();
        break;
    case SaverMode::None:
        break;
    }
}

void RunSettingsDialog()
{
    // A second configuration run, or one while the saver asks for its
    // password (same title), only brings that window forward.
    if (ActivateExisting(kSettingsTitle))
        return;
    WinRegistry registry;
    Settings stored;
    std::string colourText;
    ReadDialogSettings(stored, colourText, registry);
    if (const std::optional<Settings> edited = EditSettings(nullptr, stored))
        SaveSettings(*edited, SavedColourText(colourText, stored.BCCol, edited->BCCol), registry);
}

std::unique_ptr<BoardWnd> StartPreview(HWND parent)
{
    if (!parent || !IsWindow(parent))
        return nullptr;
    auto board = std::make_unique<BoardWnd>();
    RECT rect{};
    GetClientRect(parent, &rect);
    // The display settings' window may be less DPI aware than we are, and a
    // child of another awareness is refused by default.
    {
        const ThreadDpiLikeWindow likeParent(parent);
        if (!board->Create(0, WS_CHILD | WS_VISIBLE, rect, parent, true))
            return nullptr;
    }
    Settings settings = StoredSettings();
    ApplyPreviewSettings(settings);
    board->View().Apply(settings);
    return board;
}

void RunPreview(HWND parent)
{
    if (const std::unique_ptr<BoardWnd> board = StartPreview(parent))
        RunUntilGone(*board);
}

void RunFullScreen()
{
    if (ActivateExisting(kSaverTitle))
        return;
    Settings settings = StoredSettings();
    WinRegistry registry;
    ApplyFullScreenRules(settings, ReadDesktopValues(registry));
    SaverSession session;
    if (session.Start(settings, kSaverTitle))
        RunUntilGone(*session.Primary());
}

void RunChangePassword()
{
    WinRegistry registry;
    ChangePassword(nullptr, registry);
}
