#include "platform/CrtRandom.h"

#include <gtest/gtest.h>

// The saver's generator must replay exactly what the simulator replays.
TEST(CrtRandomTest, MatchesTheInjectableRecurrence)
{
    for (unsigned seed : {1u, 12345u, 0xFFFFFFFFu}) {
        CrtRandom::Seed(seed);
        CrtRandom crt;
        MsvcRandom reference(seed);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(crt.Next15(), reference.Next15()) << "seed " << seed << " draw " << i;
    }
}
