#include "Palette.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct Weighted {
    Colour8 c;
    long long n;
};

// The eye tells greens apart best and blues worst.
long long Distance(Colour8 a, Colour8 b)
{
    long long dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Channel(Colour8 c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

struct Box {
    std::vector<Weighted> items;
    long long count = 0;
    int axis = 0;
    int range = 0;
    void Measure()
    {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        count = 0;
        for (const Weighted& w : items) {
            count += w.n;
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], Channel(w.c, a));
                hi[a] = std::max(hi[a], Channel(w.c, a));
            }
        }
        const int weight[3] = {3, 4, 2};
        range = -1;
        for (int a = 0; a < 3; ++a) {
            int r = (hi[a] - lo[a]) * weight[a];
            if (r > range)
                range = r, axis = a;
        }
    }
    Colour8 Mean() const
    {
        long long s[3] = {0, 0, 0};
        for (const Weighted& w : items)
            for (int a = 0; a < 3; ++a)
                s[a] += Channel(w.c, a) * w.n;
        auto avg = [&](int a) { return static_cast<std::uint8_t>((s[a] + count / 2) / count); };
        return {avg(0), avg(1), avg(2)};
    }
};

} // namespace

int Nearest(const std::vector<Colour8>& palette, Colour8 c)
{
    int best = 0;
    long long bestD = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long long d = Distance(palette[i], c);
        if (bestD < 0 || d < bestD)
            best = static_cast<int>(i), bestD = d;
    }
    return best;
}

std::vector<Colour8> ChooseColours(const std::vector<Colour8>& pixels, int count)
{
    std::map<Colour8, long long> histogram;
    for (Colour8 c : pixels)
        ++histogram[c];
    std::vector<Weighted> all;
    for (const auto& [c, n] : histogram)
        all.push_back({c, n});

    std::vector<Box> boxes(1);
    boxes[0].items = all;
    boxes[0].Measure();
    while (static_cast<int>(boxes.size()) < count) {
        // split the box that spans most, weighted by how many pixels it holds
        int pick = -1;
        double score = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].items.size() < 2)
                continue;
            double s = static_cast<double>(boxes[i].range) * std::sqrt(static_cast<double>(boxes[i].count));
            if (s > score)
                score = s, pick = static_cast<int>(i);
        }
        if (pick < 0)
            break;
        Box& box = boxes[pick];
        int axis = box.axis;
        std::sort(box.items.begin(), box.items.end(), [axis](const Weighted& a, const Weighted& b) {
            int ca = Channel(a.c, axis), cb = Channel(b.c, axis);
            return ca != cb ? ca < cb : a.c < b.c;
        });
        long long half = box.count / 2, run = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.items.size(); ++i) {
            run += box.items[i].n;
            cut = i + 1;
            if (run >= half)
                break;
        }
        Box upper;
        upper.items.assign(box.items.begin() + static_cast<long>(cut), box.items.end());
        box.items.resize(cut);
        box.Measure();
        upper.Measure();
        boxes.push_back(std::move(upper));
    }

    std::vector<Colour8> palette;
    for (const Box& b : boxes)
        palette.push_back(b.Mean());

    for (int round = 0; round < 6; ++round) {
        std::vector<long long> sum(palette.size() * 3, 0), n(palette.size(), 0);
        for (const Weighted& w : all) {
            int i = Nearest(palette, w.c);
            sum[i * 3] += w.c.r * w.n, sum[i * 3 + 1] += w.c.g * w.n, sum[i * 3 + 2] += w.c.b * w.n;
            n[i] += w.n;
        }
        for (size_t i = 0; i < palette.size(); ++i) {
            if (n[i] == 0)
                continue;
            palette[i] = {static_cast<std::uint8_t>((sum[i * 3] + n[i] / 2) / n[i]),
                          static_cast<std::uint8_t>((sum[i * 3 + 1] + n[i] / 2) / n[i]),
                          static_cast<std::uint8_t>((sum[i * 3 + 2] + n[i] / 2) / n[i])};
        }
    }
    // dark to light reads best in a palette viewer
    std::sort(palette.begin(), palette.end(), [](Colour8 a, Colour8 b) {
        int la = 3 * a.r + 4 * a.g + 2 * a.b, lb = 3 * b.r + 4 * b.g + 2 * b.b;
        return la != lb ? la < lb : a < b;
    });
    while (static_cast<int>(palette.size()) < count)
        palette.push_back(palette.empty() ? Colour8{} : palette.back());
    return palette;
}
