#pragma once
#include <cstdint>
#include <string>

#include "base/Settings.h"
#include "saver/Monitors.h"
#include "settings/SettingsStore.h"

// The rules of a full-screen run that need no window.

// Cells on a full screen stay between these sizes.
constexpr int kMinFullScreenCellSize = 32;
constexpr int kMaxFullScreenCellSize = 128;

int BoundCellSize(int cellSize);

// Black-out comes no later than the display's own power saving. A negative
// black-out time is taken as none.
int FullScreenBlackOutTime(int blackOutTime, long lowPowerMinutes);

// The largest interval a window timer takes.
constexpr std::uint32_t kMaxTimerInterval = 0x7FFFFFFF;

// Milliseconds of the black-out timer for a number of minutes: 0 (no
// black-out) for 0 or less, never more than the timer takes.
std::uint32_t BlackOutInterval(int minutes, std::uint32_t msPerMinute = 60000);

// What the full-screen window does to its copy of the settings after reading
// them: the password only counts when the desktop asks for one, the
// low-power limit, the cell size bound. Nothing is written back.
void ApplyFullScreenRules(Settings& settings, const DesktopSaverValues& desktop);

// Exact, byte for byte: no case folding, no trimming.
bool PasswordMatches(const std::string& entered, const std::string& stored);

// The first mouse position seen since the window came up or since the last
// refused close request. The first move only records it; any later move
// away from it asks to close.
class FirstMouse {
public:
    // True when this move is a close request.
    bool OnMove(int x, int y);
    void Forget() { m_bSeen = false; }
    ScreenPoint Position() const { return {m_x, m_y}; }

private:
    // A flag rather than a (-1, -1) mark: that position is real on a
    // monitor left of and above the primary one.
    bool m_bSeen = false;
    int m_x = -1;
    int m_y = -1;
};

// What the saver window needs for a close request.
class CloseRequestHost {
public:
    virtual ~CloseRequestHost() = default;
    virtual bool IsBlackedOut() = 0;
    // Lays the board out anew (ending the black-out) and brings the music back.
    virtual void WakeFromBlackOut() = 0;
    // Runs the password dialog; true with the entered text on OK.
    virtual bool AskPassword(std::string& entered) = 0;
    // The black-out countdown from its full time again.
    virtual void RestartBlackOutTimer() = 0;
};

// True when the saver may close now. Without a password it closes at once;
// with one, a blacked-out board comes back behind the question, and a
// refusal starts the black-out countdown again and forgets the mouse.
bool ConfirmCloseRequest(const std::string& password, int blackOutTime, FirstMouse& firstMouse,
                         CloseRequestHost& host);

// What OK in the change-password dialog does.
enum class PasswordChangeAction {
    NextControl,        // the focus is not on OK: Enter moves on like Tab
    FocusConfirmation,  // a new password without its confirmation
    Store,              // equal entries (both empty removes the password)
    Mismatch,           // tell the user, focus back to the new password
};

PasswordChangeAction DecidePasswordChange(bool focusOnOk, const std::string& newPassword,
                                          const std::string& confirmation);

// System commands the saver swallows: its own screen-saver start and close.
// The low four bits belong to the system and are ignored.
bool IsSwallowedSysCommand(unsigned command);
