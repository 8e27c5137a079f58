#include "saver/Monitors.h"

#include <algorithm>
#include <cstdlib>

std::vector<ScreenArea> BoardAreas(std::vector<ScreenArea> monitors, ScreenArea fallback)
{
    monitors.erase(std::remove_if(monitors.begin(), monitors.end(),
                                  [](const ScreenArea& m) { return m.right <= m.left || m.bottom <= m.top; }),
                   monitors.end());
    // One primary only: the first one flagged, else the one at the origin,
    // else the first one.
    auto primary = std::find_if(monitors.begin(), monitors.end(), [](const ScreenArea& m) { return m.primary; });
    if (primary == monitors.end())
        primary = std::find_if(monitors.begin(), monitors.end(),
                               [](const ScreenArea& m) { return m.left == 0 && m.top == 0; });
    if (primary == monitors.end())
        primary = monitors.begin();
    if (primary == monitors.end()) {
        fallback.primary = true;
        return {fallback};
    }
    std::vector<ScreenArea> areas{*primary};
    areas[0].primary = true;
    monitors.erase(primary);

    std::sort(monitors.begin(), monitors.end(), [](const ScreenArea& a, const ScreenArea& b) {
        return a.left != b.left ? a.left < b.left : a.top < b.top;
    });
    for (ScreenArea m : monitors) {
        if (std::any_of(areas.begin(), areas.end(), [&](const ScreenArea& a) { return SameRect(a, m); }))
            continue;
        m.primary = false;
        areas.push_back(m);
    }
    return areas;
}

namespace {

bool Within(std::uint32_t now, std::optional<std::uint32_t> since, std::uint32_t span)
{
    return since && now - *since < span;
}

// On a monitor's first or last row or column, or just beyond it.
bool OnAnEdge(const ScreenArea& a, ScreenPoint p)
{
    const bool acrossX = p.x >= a.left - 1 && p.x <= a.right;
    const bool acrossY = p.y >= a.top - 1 && p.y <= a.bottom;
    const bool edgeX = p.x <= a.left || p.x >= a.right - 1;
    const bool edgeY = p.y <= a.top || p.y >= a.bottom - 1;
    return acrossX && acrossY && (edgeX || edgeY);
}

bool Inside(const ScreenArea& a, ScreenPoint p)
{
    return p.x >= a.left && p.x < a.right && p.y >= a.top && p.y < a.bottom;
}

}  // namespace

MoveVerdict JudgeMove(const MoveFacts& f)
{
    if (f.monitorsChanged)
        return MoveVerdict::Layout;
    if (Within(f.now, f.layoutChangedAt, kLayoutQuietMs) || Within(f.now, f.displayNoticeAt, kLayoutQuietMs))
        return MoveVerdict::Settle;
    const bool jump = std::abs(f.to.x - f.from.x) > kMoveJumpPixels || std::abs(f.to.y - f.from.y) > kMoveJumpPixels;
    const bool onScreen = std::any_of(f.areas.begin(), f.areas.end(), [&](const ScreenArea& a) { return Inside(a, f.to); });
    const bool onEdge = std::any_of(f.areas.begin(), f.areas.end(), [&](const ScreenArea& a) { return OnAnEdge(a, f.to); });
    return jump || onEdge || !onScreen ? MoveVerdict::Settle : MoveVerdict::Check;
}

bool SettledMoveIsTheUsers(std::uint32_t now, std::optional<std::uint32_t> layoutChangedAt,
                           std::optional<std::uint32_t> displayNoticeAt)
{
    return !Within(now, layoutChangedAt, kLayoutQuietMs) && !Within(now, displayNoticeAt, kLayoutQuietMs);
}
