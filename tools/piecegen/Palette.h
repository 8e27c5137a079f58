#pragma once
#include <cstdint>
#include <vector>

struct Colour8 {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour8& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator<(const Colour8& o) const
    {
        return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b;
    }
};

// Picks `count` colours that represent `pixels` well: median cut, then a few
// rounds of k-means. Deterministic for the same input.
std::vector<Colour8> ChooseColours(const std::vector<Colour8>& pixels, int count);

// Index of the entry of `palette` nearest to c (weighted RGB distance).
int Nearest(const std::vector<Colour8>& palette, Colour8 c);
