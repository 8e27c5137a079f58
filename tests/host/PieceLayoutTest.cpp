#include "board/PieceLayout.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(PieceLayoutTest, FramesOfAnImageSize)
{
    const struct { int width, height, frames; } cases[] = {
        {256, 352, 8}, {128, 352, 4}, {32, 352, 1}, {96, 352, 3},
        {100, 352, 0}, {31, 352, 0}, {0, 352, 0}, {-32, 352, 0},  // not a positive multiple of 32
        {128, 320, 0}, {128, 353, 0},
        {128, -352, 0},  // top-down: the rows would come the wrong way up
        {0x7FFFFFE0, 352, 0x3FFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PieceImageFrames(c.width, c.height), c.frames) << c.width << " x " << c.height;
}

TEST(PieceLayoutTest, BlackOutIntervalNeverOverflows)
{
    const struct { int minutes; std::uint32_t perMinute, want; } cases[] = {
        {0, 60000, 0}, {-5, 60000, 0}, {1, 60000, 60000}, {15, 60000, 900000},
        {35791, 60000, 2147460000u},        // the last whole minute below the limit
        {35792, 60000, kMaxTimerInterval},  // 2147520000 would pass it
        {71583, 60000, kMaxTimerInterval},  // wraps to 12704 in 32 bits
        {2147483647, 60000, kMaxTimerInterval},
        {3, 100, 300},  // a shortened minute for tests
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlackOutInterval(c.minutes, c.perMinute), c.want) << c.minutes << " minutes of " << c.perMinute << " ms";
}
