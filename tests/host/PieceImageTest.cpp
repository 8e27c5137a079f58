// The shipped piece image: what the board needs from it, and what a player
// must be able to see in it.
#include "image/CDIB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kCell = 32;

class PieceImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string here = __FILE__;  // .../tests/host/PieceImageTest.cpp
        const std::string path = here.substr(0, here.rfind("tests/host/")) + "res/velomass.bmp";
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        StdFileByteSource source(f);
        const bool read = dib.Read(source);
        std::fclose(f);
        ASSERT_TRUE(read) << path;
    }

    // Colour of pixel (x, y) of cell (column, row), rows from the top.
    const DibQuad& At(int column, int row, int x, int y)
    {
        return dib.m_pBMI->bmiColors[*dib.GetPixelAddress(column * kCell + x, row * kCell + y)];
    }

    static int Distance(const DibQuad& a, const DibQuad& b)
    {
        return std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen) + std::abs(a.rgbBlue - b.rgbBlue);
    }

    // Mean colour difference of two cells per pixel and channel, 0..255.
    double Difference(int c1, int r1, int c2, int r2)
    {
        long total = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                total += Distance(At(c1, r1, x, y), At(c2, r2, x, y));
        return total / (3.0 * kCell * kCell);
    }

    CDIB dib;
};

TEST_F(PieceImageTest, HasTheLayoutTheBoardLoadsAndADarkEmptyCell)
{
    EXPECT_EQ(dib.GetHeight(), 352);  // positive: bottom-up
    EXPECT_EQ(dib.GetWidth(), 256);   // 8 frames
    EXPECT_EQ(dib.m_pBMI->bmiHeader.biBitCount, 8);
    EXPECT_EQ(dib.m_pBMI->bmiHeader.biCompression, 0u);
    EXPECT_TRUE(dib.BuildLogPalette());
    double light = 0;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const DibQuad& q = At(0, 0, x, y);
            light += 0.3 * q.rgbRed + 0.59 * q.rgbGreen + 0.11 * q.rgbBlue;
        }
    EXPECT_LT(light / (kCell * kCell), 40.0);
}

TEST_F(PieceImageTest, PiecesDifferInShapeNotOnlyInColour)
{
    // A piece's outline: the pixels that are not the empty cell's.
    const auto shape = [this](int row) {
        std::vector<bool> mask;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                mask.push_back(Distance(At(0, row, x, y), At(0, 0, x, y)) > 60);
        return mask;
    };
    // Overlap of two outlines over their union; alike shapes come near 1.
    for (int a = 1; a <= 5; ++a)
        for (int b = a + 1; b <= 5; ++b) {
            const std::vector<bool> sa = shape(2 * a - 1), sb = shape(2 * b - 1);
            int both = 0, either = 0;
            for (std::size_t i = 0; i < sa.size(); ++i) {
                both += sa[i] && sb[i];
                either += sa[i] || sb[i];
            }
            ASSERT_GT(either, 0);
            EXPECT_LT(static_cast<double>(both) / either, 0.8) << "kinds " << a << " and " << b;
        }
}

TEST_F(PieceImageTest, AnimationsStartAndEndWhereTheBoardNeedsThem)
{
    for (int k = 1; k <= 5; ++k) {
        const int select = 2 * k - 1, vanish = 2 * k;
        // the selection loop moves, and its wrap, with or without frame 0,
        // is no bigger a step than the ones inside it
        double step = 0;
        for (int f = 1; f < 7; ++f)
            step = std::max(step, Difference(f, select, f + 1, select));
        EXPECT_GT(Difference(4, select, 0, select), 4.0) << "kind " << k << ": selection hardly moves";
        EXPECT_LE(Difference(7, select, 0, select), 1.5 * step) << "kind " << k << ": loop does not close";
        EXPECT_LE(Difference(7, select, 1, select), 1.5 * step) << "kind " << k << ": loop without frame 0 jumps";
        // the last disappearing frame is all but the empty cell, the first still the piece
        EXPECT_LT(Difference(7, vanish, 0, 0), 2.0) << "kind " << k;
        EXPECT_GT(Difference(0, vanish, 0, 0), 10.0) << "kind " << k;
        // the piece at rest sits on the empty cell's background
        EXPECT_EQ(Distance(At(0, select, 0, 0), At(0, 0, 0, 0)) + Distance(At(0, select, 31, 0), At(0, 0, 31, 0)), 0)
            << "kind " << k;
    }
}

} // namespace
