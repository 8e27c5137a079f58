#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "base/Settings.h"
#include "saver/Monitors.h"
#include "settings/Password.h"
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

// The first mouse position seen since the window came up or since the last
// refused close request. The first move only records it; any later move
// away from it asks to close.
class FirstMouse {
public:
    // True when this move is a close request.
    bool OnMove(int x, int y);
    void Forget() { m_seen = false; }
    ScreenPoint Position() const { return {m_x, m_y}; }

private:
    // A flag rather than a (-1, -1) mark: that position is real on a
    // monitor left of and above the primary one.
    bool m_seen = false;
    int m_x = -1;
    int m_y = -1;
};

// A close request, decided in two steps around the password question.
enum class CloseStart {
    Close,       // no password: close now
    Ask,         // ask for the password
    WakeAndAsk,  // end the black-out first, boards and music, so the question shows over the game
};
CloseStart StartCloseRequest(const std::string& password, bool blackedOut);

// With the answer (nothing when cancelled or timed out): close on the exact
// password; otherwise stay, forget the mouse so that the next move only
// records it, and count the black-out down from its full time again.
struct CloseAnswer {
    bool close = false;
    bool forgetMouse = false;
    bool restartBlackOut = false;
};
CloseAnswer AnswerCloseRequest(const std::optional<std::string>& entered, const std::string& password,
                               int blackOutTime);

// System commands the saver swallows: its own screen-saver start and close.
// The low four bits belong to the system and are ignored.
bool IsSwallowedSysCommand(unsigned command);
