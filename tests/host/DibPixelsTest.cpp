// The colours a bitmap shows, for targets without the platform's drawing
// calls: each form the reader takes, as a tiny file and the colours wanted.
#include "image/DibPixels.h"

#include "host/BmpFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Colour entry i of every test file's table, as 0x00RRGGBB.
std::uint32_t P(int i) { return BmpFile::Red(i) << 16 | BmpFile::Green(i) << 8 | BmpFile::Blue(i); }

BmpFile Bmp(int width, int height, int bits, std::uint32_t compression, std::vector<std::uint8_t> pixels,
            std::vector<std::uint32_t> masks = {})
{
    BmpFile f;
    f.width = width, f.height = height, f.bitCount = static_cast<std::uint16_t>(bits);
    f.compression = compression, f.masks = masks;
    f.sizeImage = compression == kDibRle8 || compression == kDibRle4 ? static_cast<std::uint32_t>(pixels.size()) : 0;
    f.pixels = pixels;
    return f;
}

TEST(DibPixelsTest, EveryFormTheReaderTakesGivesItsColoursTopRowFirst)
{
    const std::uint32_t A = 0x112233, B = 0x445566, D = 0xAABBCC;
    const struct { const char* name; BmpFile file; std::vector<std::uint32_t> want; } cases[] = {
        {"8-bit, bottom-up", Bmp(2, 2, 8, kDibRgb, {1, 2, 0, 0, 3, 4, 0, 0}), {P(3), P(4), P(1), P(2)}},
        {"8-bit, top-down", Bmp(2, -2, 8, kDibRgb, {1, 2, 0, 0, 3, 4, 0, 0}), {P(1), P(2), P(3), P(4)}},
        {"1-bit", Bmp(3, 1, 1, kDibRgb, {0xA0, 0, 0, 0}), {P(1), P(0), P(1)}},
        {"4-bit", Bmp(3, 1, 4, kDibRgb, {0x12, 0x30, 0, 0}), {P(1), P(2), P(3)}},
        {"24-bit", Bmp(1, 2, 24, kDibRgb, {0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0}), {B, A}},
        {"32-bit", Bmp(2, 1, 32, kDibRgb, {0x33, 0x22, 0x11, 0xFF, 0xCC, 0xBB, 0xAA, 0}), {A, D}},
        {"16-bit, 5-5-5", Bmp(2, 1, 16, kDibRgb, {0x00, 0x7C, 0x01, 0x00}), {0xFF0000, 0x000008}},
        {"5-6-5 masks", Bmp(2, 1, 16, kDibBitfields, {0xE0, 7, 0x1F, 0xF8}, {0xF800, 0x7E0, 0x1F}), {0xFF00, 0xFF00FF}},
        {"32-bit, blue first", Bmp(1, 1, 32, kDibBitfields, {0x11, 0x22, 0x33, 0}, {0xFF, 0xFF00, 0xFF0000}), {A}},
        // An odd absolute run is padded to a 16-bit word before the next code.
        {"RLE8: a run, an absolute run, more", Bmp(5, 2, 8, kDibRle8, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 2, 5, 0, 1}),
         {P(2), P(3), P(4), P(5), P(5), P(1), P(1), P(1), 0, 0}},
        {"RLE4: alternating nibbles", Bmp(3, 1, 4, kDibRle4, {3, 0x12, 0, 1}), {P(1), P(2), P(1)}},
        {"RLE4: absolute nibbles, more", Bmp(7, 1, 4, kDibRle4, {0, 5, 0x43, 0x21, 0x50, 0, 2, 0x66, 0, 1}),
         {P(4), P(3), P(2), P(1), P(5), P(6), P(6)}},
        {"RLE: a skipped pixel stays black", Bmp(3, 1, 8, kDibRle8, {1, 1, 0, 2, 1, 0, 1, 4, 0, 1}), {P(1), 0, P(4)}},
        {"RLE: past the row or the top is dropped", Bmp(2, 1, 8, kDibRle8, {5, 1, 0, 0, 4, 2, 0, 1}), {P(1), P(1)}},
        {"RLE: a cut absolute run", Bmp(3, 1, 8, kDibRle8, {0, 3, 1}), {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> bytes = c.file.Bytes();
        MemoryByteSource source(bytes.data(), bytes.size());
        CDIB dib;
        ASSERT_TRUE(dib.Read(source)) << c.name;
        EXPECT_EQ(DibPixels(dib), c.want) << c.name;
    }
    EXPECT_TRUE(DibPixels(CDIB()).empty()) << "no image";
}

} // namespace
