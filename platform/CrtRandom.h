#pragma once
#include "base/Random.h"

// The C runtime's rand(), seeded once at start-up.
class CrtRandom : public RandomSource {
public:
    static void Seed(unsigned seed);
    int Next15() override;
};
