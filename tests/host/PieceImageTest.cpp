// The piece image: which sizes the board takes, and the shipped image,
// what the board needs from it and what a player must be able to see in it.
#include "image/CDIB.h"
#include "image/PieceLayout.h"
#include "x11/BuiltInImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(PieceLayoutTest, FramesOfAnImageSize)
{
    const struct { int width, height, frames; } cases[] = {
        {256, 352, 8}, {32, 352, 1}, {0x7FFFFFE0, 352, 0x3FFFFFF},
        {100, 352, 0}, {0, 352, 0}, {-32, 352, 0}, {128, 353, 0},  // not a positive multiple of 32, not 352
        {128, -352, 0},  // top-down: the rows would come the wrong way up
    };
    for (const auto& c : cases)
        EXPECT_EQ(PieceImageFrames(c.width, c.height), c.frames) << c.width << " x " << c.height;
}

class PieceImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The one built in, made from res/velomass.bmp by the build.
        MemoryByteSource source(kBuiltInPieceImage, kBuiltInPieceImageSize);
        ASSERT_TRUE(dib.Read(source));
    }

    // Colour of pixel (x, y) of cell (column, row), rows from the top, in
    // the 8-bit bottom-up rows of a width of whole cells.
    const DibQuad& At(int column, int row, int x, int y)
    {
        const int width = dib.GetWidth(), fromBottom = dib.GetHeight() - 1 - (row * kPieceCell + y);
        return dib.Info()->bmiColors[dib.Bits()[static_cast<std::size_t>(fromBottom) * width + column * kPieceCell + x]];
    }

    static int Distance(const DibQuad& a, const DibQuad& b)
    {
        return std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen) + std::abs(a.rgbBlue - b.rgbBlue);
    }

    // Mean colour difference of two cells per pixel and channel, 0..255.
    double Difference(int c1, int r1, int c2, int r2)
    {
        long total = 0;
        for (int y = 0; y < kPieceCell; ++y)
            for (int x = 0; x < kPieceCell; ++x)
                total += Distance(At(c1, r1, x, y), At(c2, r2, x, y));
        return total / (3.0 * kPieceCell * kPieceCell);
    }

    CDIB dib;
};

// Pieces differ in outline, not only in colour; each selection loop moves
// and closes, with or without frame 0; each disappearing starts from the
// piece and ends on the empty cell.
TEST_F(PieceImageTest, HasTheLayoutTheBoardLoadsAndAnimationsThatReadWell)
{
    EXPECT_EQ(PieceImageFrames(dib.GetWidth(), dib.GetHeight()), 8);
    EXPECT_TRUE(dib.BuildLogPalette());
    std::vector<std::vector<bool>> outline(6);  // the pixels that are not the empty cell's
    for (int k = 1; k <= 5; ++k) {
        for (int y = 0; y < kPieceCell; ++y)
            for (int x = 0; x < kPieceCell; ++x)
                outline[k].push_back(Distance(At(0, SelectRow(k), x, y), At(0, 0, x, y)) > 60);
        for (int other = 1; other < k; ++other) {
            int both = 0, either = 0;
            for (std::size_t i = 0; i < outline[k].size(); ++i)
                both += outline[k][i] && outline[other][i], either += outline[k][i] || outline[other][i];
            EXPECT_LT(both, 0.8 * either) << "kinds " << other << " and " << k << " look alike";
        }
        const int select = SelectRow(k), vanish = DisappearRow(k);
        double step = 0;
        for (int f = 1; f < 7; ++f)
            step = std::max(step, Difference(f, select, f + 1, select));
        EXPECT_GT(Difference(4, select, 0, select), 4.0) << "kind " << k << ": selection hardly moves";
        EXPECT_LE(Difference(7, select, 0, select), 1.5 * step) << "kind " << k << ": loop does not close";
        EXPECT_LE(Difference(7, select, 1, select), 1.5 * step) << "kind " << k << ": loop without frame 0 jumps";
        EXPECT_LT(Difference(7, vanish, 0, 0), 2.0) << "kind " << k;
        EXPECT_GT(Difference(0, vanish, 0, 0), 10.0) << "kind " << k;
    }
}

} // namespace
