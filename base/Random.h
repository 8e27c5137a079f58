#pragma once
#include <cstdint>

// Every random choice draws from one 15-bit source (0..32767), injected so
// that tests and the simulator can replay a game from a seed.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int Next15() = 0;
};

// The Windows C runtime's recurrence, so a seed gives the same game
// on every machine and in the real saver.
class MsvcRandom : public RandomSource {
public:
    explicit MsvcRandom(std::uint32_t seed) : m_state(seed) {}
    int Next15() override;

private:
    std::uint32_t m_state;
};

// An integer from 0 to n - 1 as floor(r * n / 32768); 0 when n <= 0.
int Random(RandomSource& source, int n);
