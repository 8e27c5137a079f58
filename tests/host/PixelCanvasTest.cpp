// The presenter's canvas in plain pixels: the pictures scaled into cells of
// any size, the fills, where each channel goes, what it says it drew, and
// the images it refuses. What the presenter draws is BoardPresenterTest's.
#include "x11/PixelCanvas.h"

#include "base/ByteSource.h"
#include "host/BmpFile.h"
#include "image/PieceLayout.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Red tells the picture (row, column) of the test image, green and blue
// the pixel's place in it, so a scaled cell shows which source pixel each
// of its pixels came from.
std::uint32_t Source(int row, int column, int x, int y)
{
    return static_cast<std::uint32_t>(1 + row * 16 + column) << 16 | (x * 8) << 8 | y * 8;
}

std::vector<std::uint8_t> TestImage(int frames, int height = kPieceImageHeight)
{
    BmpFile f;
    f.width = frames * kPieceCell, f.height = height, f.bitCount = 24;
    for (int fromBottom = 0; fromBottom < height; ++fromBottom) {
        const int y = height - 1 - fromBottom;
        for (int x = 0; x < f.width; ++x) {
            const std::uint32_t c = Source(y / kPieceCell, x / kPieceCell, x % kPieceCell, y % kPieceCell);
            f.pixels.insert(f.pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
        f.pixels.resize(f.pixels.size() + (4 - f.width * 3 % 4) % 4, 0);
    }
    return f.Bytes();
}

bool Load(PixelCanvas& canvas, const std::vector<std::uint8_t>& bytes, std::string& why)
{
    MemoryByteSource source(bytes.data(), bytes.size());
    return canvas.LoadImage(source, why);
}

// The display of the test: blue in the high byte, alpha bits set, so a
// channel in the wrong place shows.
const PixelFormat kFormat{0, 8, 16, 0xFF000000};
constexpr std::uint32_t kUntouched = 0xDEAD;

// Rows of `width` pixels and three more that are never the canvas's.
struct Pixels {
    int width, height, stride;
    std::vector<std::uint32_t> pixels;
    Pixels(int w, int h) : width(w), height(h), stride(w + 3), pixels(std::size_t(stride) * h, kUntouched) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
    void Attach(PixelCanvas& canvas) { canvas.SetPixels(pixels.data(), width, height, stride); }
};

// Every slot drawn side by side one row down: each pixel is the source
// pixel it scales from, in whole pixels, or the fill; nothing else changes.
TEST(PixelCanvasTest, SlotsHoldThePicturesScaledInWholePixelsOrTheFill)
{
    const struct { int size; StripFill fill; } cases[] = {
        {32, {}}, {13, {}}, {64, {}}, {15, {true, true, 0xFF123456}}, {8, {true, false, 0xFEDCBA}},
    };
    const int frameRow = DisappearRow(3), frameColumn = 2;
    for (const auto& c : cases) {
        PixelCanvas canvas(kFormat);
        std::string why;
        ASSERT_TRUE(Load(canvas, TestImage(4), why));
        const int size = c.size;
        Pixels screen(kStripSlots * size + 1, size + 2);
        screen.Attach(canvas);
        ASSERT_EQ(canvas.PrepareStrip(size, c.fill), 4);
        canvas.ShowFrame(frameRow, frameColumn);
        for (int slot = 0; slot < kStripSlots; ++slot)
            canvas.DrawSlot(slot, slot * size, 1);
        for (int y = 0; y < screen.height; ++y)
            for (int x = 0; x < screen.stride; ++x) {
                const int slot = x / size, px = x % size * kPieceCell / size, py = (y - 1) * kPieceCell / size;
                std::uint32_t want = kUntouched;
                if (y > 0 && y <= size && slot < kStripSlots) {
                    if (slot == kAnimSlot)
                        want = PixelOf(kFormat, Source(frameRow, frameColumn, px, py));
                    else if (slot == 0 ? c.fill.emptyCells : c.fill.pieces)
                        want = PixelOf(kFormat, c.fill.colour & 0xFFFFFF);
                    else
                        want = PixelOf(kFormat, Source(SlotImageRow(slot), 0, px, py));
                }
                ASSERT_EQ(screen.At(x, y), want) << size << " pixels: (" << x << ", " << y << ")";
            }
    }
}

// Whatever changed lies in an area reported since the last clear, and
// never more than 64 areas; nothing is drawn outside the canvas or without
// one.
TEST(PixelCanvasTest, DrawnAreasAreReportedAndNothingLandsOutsideTheCanvas)
{
    PixelCanvas canvas(kFormat);
    std::string why;
    ASSERT_TRUE(Load(canvas, TestImage(2), why));
    Pixels screen(100, 60);
    screen.Attach(canvas);
    ASSERT_EQ(canvas.PrepareStrip(10, {}), 2);
    const std::pair<int, int> outside[] = {{91, 0}, {-1, 0}, {0, 51}, {0, -1}};
    for (const auto& at : outside)
        canvas.DrawSlot(1, at.first, at.second);
    canvas.DrawSlot(kStripSlots, 0, 0);
    EXPECT_TRUE(canvas.Damage().empty() && screen.pixels == Pixels(100, 60).pixels);

    canvas.FillArea({-5, -5, 10, 10});
    canvas.DrawSlot(3, 20, 20);
    ASSERT_EQ(canvas.Damage().size(), 2u);
    EXPECT_TRUE(canvas.Damage()[0].right == 10 && canvas.Damage()[0].top == 0 && canvas.Damage()[1].left == 20);

    canvas.ClearDamage();
    const Pixels before = screen;
    for (int i = 0; i < 100; ++i)
        canvas.DrawSlot(1 + i % 5, i % 10 * 9, i / 10 * 5);
    EXPECT_LE(canvas.Damage().size(), 64u);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            bool covered = screen.At(x, y) == before.At(x, y);
            for (const ScreenRect& r : canvas.Damage())
                covered |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            ASSERT_TRUE(covered) << "(" << x << ", " << y << ") unreported";
        }

    canvas.SetPixels(nullptr, 100, 60, 103);
    canvas.ClearDamage();
    canvas.FillArea({0, 0, 100, 60});
    canvas.DrawSlot(0, 0, 0);
    EXPECT_TRUE(canvas.Damage().empty());
}

TEST(PixelCanvasTest, ChannelsGoWhereTheDisplayWantsThem)
{
    const struct { PixelFormat format; std::uint32_t rgb, want; } cases[] = {
        {{16, 8, 0, 0}, 0x123456, 0x123456}, {{0, 8, 16, 0}, 0x123456, 0x563412},
        {{16, 8, 0, 0xFF000000}, 0x00FF01, 0xFF00FF01}, {{24, 16, 8, 0}, 0xA1B2C3, 0xA1B2C300},
        {{16, 8, 0, 0}, 0xFF123456, 0x123456},  // a stored colour's top byte is not a channel
        // 16-bit 5-6-5 and 15-bit: rounded, full stays full.
        {{11, 5, 0, 0, 5, 6, 5}, 0xFFFFFF, 0xFFFF}, {{11, 5, 0, 0, 5, 6, 5}, 0x808080, 0x8410},
        {{10, 5, 0, 0, 5, 5, 5}, 0x000080, 0x0010},
        // 30-bit: ten bits a channel.
        {{20, 10, 0, 0, 10, 10, 10}, 0xFFFFFF, 0x3FFFFFFF}, {{0, 10, 20, 0, 10, 10, 10}, 0xFF0000, 0x3FF},
        // A colormap: the nearest entry of a two-level cube.
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0x0000C0, 11},
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0xF01020, 14},
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0xFFFFFF, 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelOf(c.format, c.rgb), c.want) << std::hex << c.rgb;
}

// A picture the saver would refuse says why and unloads the one before,
// so the presenter gets no frames and keeps the board black.
TEST(PixelCanvasTest, ARefusedImageSaysWhyAndLeavesNoFrames)
{
    BmpFile notWholeCells;
    notWholeCells.width = 50, notWholeCells.height = 352;
    const struct { std::vector<std::uint8_t> image; const char* why; } cases[] = {
        {{'B', 'M', 1, 2, 3}, "not a bitmap"},
        {TestImage(2, 320), "64 x 320"},
        {notWholeCells.Bytes(), "50 x 352"},
    };
    for (const auto& c : cases) {
        PixelCanvas canvas(kFormat);
        std::string why;
        ASSERT_TRUE(Load(canvas, TestImage(2), why));
        EXPECT_FALSE(Load(canvas, c.image, why)) << c.why;
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        EXPECT_EQ(canvas.Frames(), 0) << c.why;
        EXPECT_EQ(canvas.PrepareStrip(32, {}), 0) << c.why;
    }
}

} // namespace
