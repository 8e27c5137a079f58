#pragma once
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

// The areas the boards of a full-screen run cover, one per monitor. The
// primary comes first: its board alone sounds and asks for the password.
// The others follow left to right, then top to bottom, so a layout that did
// not change gives the same order again. Empty areas and repeats (mirrored
// monitors) are left out; a monitor too small for a single cell still gets
// its board, a black one. Without any monitor left, `fallback` is the one.
std::vector<ScreenArea> BoardAreas(std::vector<ScreenArea> monitors, ScreenArea fallback);
