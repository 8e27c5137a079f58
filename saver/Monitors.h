#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A monitor's rectangle in virtual-screen coordinates: monitors left of or
// above the primary one have negative coordinates.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool primary = false;
};

inline bool SameRect(const ScreenArea& a, const ScreenArea& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool SameAreas(const std::vector<ScreenArea>& a, const std::vector<ScreenArea>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameRect(a[i], b[i]) || a[i].primary != b[i].primary)
            return false;
    return true;
}

// The areas the boards of a full-screen run cover, one per monitor. The
// primary comes first: its board alone sounds and asks for the password.
// The others follow left to right, then top to bottom, so a layout that did
// not change gives the same order again. Empty areas and repeats (mirrored
// monitors) are left out; a monitor too small for a single cell still gets
// its board, a black one. Without any monitor left, `fallback` is the one.
std::vector<ScreenArea> BoardAreas(std::vector<ScreenArea> monitors, ScreenArea fallback);

// A point in virtual-screen coordinates.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// A new monitor layout moves the pointer in screen coordinates without the
// user, often a little before the system reports the layout: a few tens of
// milliseconds when the move looks like a hand's, up to a few hundred when
// it jumps or lands on a monitor's edge. So a move that would end the run is
// looked at again after that long, and counts unless the monitors changed.
constexpr std::uint32_t kMoveCheckMs = 50;
constexpr std::uint32_t kMoveSettleMs = 500;
// A move within this time of a new layout, or of the system's notice of a
// display change, is taken for the layout's.
constexpr std::uint32_t kLayoutQuietMs = 1000;
// Farther than this in one step is a jump, not a hand on the mouse.
constexpr int kMoveJumpPixels = 64;

// What is known when a move would end the run. Ticks are milliseconds that
// may wrap.
struct MoveFacts {
    std::uint32_t now = 0;
    std::optional<std::uint32_t> layoutChangedAt;  // the boards last followed a new layout
    std::optional<std::uint32_t> displayNoticeAt;  // the system last told of a display change
    bool monitorsChanged = false;                  // the monitors reported now are not the boards'
    ScreenPoint from;                              // where the pointer was
    ScreenPoint to;                                // where it is now
    std::vector<ScreenArea> areas;                 // what the boards cover
};

enum class MoveVerdict {
    Check,   // a hand's, by the look of it: judged again after kMoveCheckMs
    Settle,  // may well be the monitors' doing: judged again after kMoveSettleMs
    Layout,  // the monitors' doing: the pointer's position is taken anew
};

MoveVerdict JudgeMove(const MoveFacts& facts);

// A move judged again counts unless a new layout or a display-change notice
// came within the quiet time before.
bool SettledMoveIsTheUsers(std::uint32_t now, std::optional<std::uint32_t> layoutChangedAt,
                           std::optional<std::uint32_t> displayNoticeAt);
