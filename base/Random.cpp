#include "base/Random.h"

int MsvcRandom::Next15()
{
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFF);
}

int Random(RandomSource& source, int n)
{
    if (n <= 0)
        return 0;
    // In floating point: r * n overflows an int for large n.
    const double r = source.Next15();
    return static_cast<int>(r * n / 32768.0);
}
