#include "saver/Monitors.h"

#include <algorithm>

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
