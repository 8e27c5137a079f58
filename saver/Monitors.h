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

// A new monitor layout moves the pointer in screen coordinates without the
// user, a little before or up to a few hundred milliseconds after the
// system reports the layout. So a move that would end the run is looked at
// again once it has settled, and does not count when a new layout came
// within the quiet time before: the pointer's position is taken anew.
constexpr std::uint32_t kMoveSettleMs = 250;
constexpr std::uint32_t kLayoutQuietMs = 1000;

// `now` and `layoutChangedAt` are millisecond ticks that may wrap.
inline bool MoveIsTheUsers(std::uint32_t now, std::optional<std::uint32_t> layoutChangedAt)
{
    return !layoutChangedAt || now - *layoutChangedAt >= kLayoutQuietMs;
}
