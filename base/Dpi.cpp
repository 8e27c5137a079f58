#include "base/Dpi.h"

#include <algorithm>
#include <climits>

int UsableDpi(int dpi)
{
    return dpi < kMinDpi || dpi > kMaxDpi ? kDefaultDpi : dpi;
}

int ScaleToDpi(int value, int dpi)
{
    const long long scaled = static_cast<long long>(value) * UsableDpi(dpi);
    const long long half = kDefaultDpi / 2;
    const long long rounded = (scaled >= 0 ? scaled + half : scaled - half) / kDefaultDpi;
    return static_cast<int>(std::clamp<long long>(rounded, INT_MIN, INT_MAX));
}
