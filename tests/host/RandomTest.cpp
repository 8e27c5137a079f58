#include "base/Random.h"

#include <gtest/gtest.h>

namespace {

// The recurrence itself is held against the real runtime under Wine and by
// the simulator's traces.
TEST(RandomTest, ScalesIntoRangeAndTreatsEmptyRangeAsZero)
{
    struct Fixed : RandomSource {
        int value = 0;
        int Next15() override { return value; }
    } source;
    const struct { int r, n, want; } cases[] = {
        {0, 5, 0}, {32767, 5, 4}, {6553, 5, 0}, {6554, 5, 1}, {32767, 0, 0}, {32767, -3, 0},
        {32767, 2000000000, 1999938964},  // no integer overflow
    };
    for (const auto& c : cases) {
        source.value = c.r;
        EXPECT_EQ(Random(source, c.n), c.want) << "r=" << c.r << " n=" << c.n;
    }
}

} // namespace
