#include "platform/CrtRandom.h"

#include <cstdlib>

void CrtRandom::Seed(unsigned seed)
{
    std::srand(seed);
}

int CrtRandom::Next15()
{
    return std::rand() & 0x7FFF;
}
