#include "base/Random.h"

#include <gtest/gtest.h>

namespace {

// A source that returns fixed values, to pin the scaling rule.
class FixedSource : public RandomSource {
public:
    explicit FixedSource(int value) : m_value(value) {}
    int Next15() override { return m_value; }

private:
    int m_value;
};

TEST(RandomTest, SeedOneGivesTheWindowsRuntimeSequence)
{
    MsvcRandom source(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int want : expected)
        EXPECT_EQ(source.Next15(), want);
}

TEST(RandomTest, ScalesIntoRangeAndTreatsEmptyRangeAsZero)
{
    struct Case { int r; int n; int want; };
    const Case cases[] = {
        {0, 5, 0}, {32767, 5, 4}, {6553, 5, 0}, {6554, 5, 1},
        {32767, 0, 0}, {32767, -3, 0}, {32767, 1, 0},
        {32767, 2000000000, 1999938964},  // no integer overflow
    };
    for (const Case& c : cases) {
        FixedSource source(c.r);
        EXPECT_EQ(Random(source, c.n), c.want) << "r=" << c.r << " n=" << c.n;
    }
}

} // namespace
