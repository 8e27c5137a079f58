// The colours a bitmap shows, for targets without the platform's drawing
// calls: each form the reader takes, as a tiny image and the colours wanted.
#include "image/DibPixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Dib {
    int width, height, bits;
    std::uint32_t compression;
    std::vector<std::uint8_t> pixels;
    // Colours as 0x00RRGGBB, or the three masks of a bitfields image.
    std::vector<std::uint32_t> table;
};

CDIB Make(const Dib& d)
{
    CDIB dib;
    DibInfoHeader& h = dib.m_pBMI->bmiHeader;
    h.biWidth = d.width;
    h.biHeight = d.height;
    h.biBitCount = static_cast<std::uint16_t>(d.bits);
    h.biCompression = d.compression;
    h.biSizeImage = static_cast<std::uint32_t>(d.pixels.size());
    h.biClrUsed = d.compression == kDibBitfields ? 0 : static_cast<std::uint32_t>(d.table.size());
    for (std::size_t i = 0; i < d.table.size(); ++i) {
        if (d.compression == kDibBitfields) {
            std::memcpy(&dib.m_pBMI->bmiColors[i], &d.table[i], 4);
        } else {
            const std::uint32_t c = d.table[i];
            dib.m_pBMI->bmiColors[i] = {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0};
        }
    }
    dib.m_pBits.reset(new unsigned char[d.pixels.size()]);
    std::memcpy(dib.m_pBits.get(), d.pixels.data(), d.pixels.size());
    return dib;
}

const std::uint32_t A = 0x112233, B = 0x445566, C = 0x778899, D = 0xAABBCC;
const std::vector<std::uint32_t> kTable = {0x000000, A, B, C, D, 0xFFFFFF};

TEST(DibPixelsTest, EveryFormTheReaderTakesGivesItsColoursTopRowFirst)
{
    const struct {
        const char* name;
        Dib dib;
        std::vector<std::uint32_t> want;
    } cases[] = {
        {"8-bit, bottom-up", {2, 2, 8, kDibRgb, {1, 2, 0, 0, 3, 4, 0, 0}, kTable}, {C, D, A, B}},
        {"8-bit, top-down", {2, -2, 8, kDibRgb, {1, 2, 0, 0, 3, 4, 0, 0}, kTable}, {A, B, C, D}},
        {"1-bit", {3, 1, 1, kDibRgb, {0xA0, 0, 0, 0}, {B, C}}, {C, B, C}},
        {"4-bit", {3, 1, 4, kDibRgb, {0x12, 0x30, 0, 0}, kTable}, {A, B, C}},
        {"24-bit", {1, 2, 24, kDibRgb, {0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0}, {}}, {B, A}},
        {"32-bit", {2, 1, 32, kDibRgb, {0x33, 0x22, 0x11, 0xFF, 0xCC, 0xBB, 0xAA, 0}, {}}, {A, D}},
        {"16-bit, 5-5-5", {2, 1, 16, kDibRgb, {0x00, 0x7C, 0x01, 0x00}, {}}, {0xFF0000, 0x000008}},
        {"16-bit, 5-6-5 masks", {2, 1, 16, kDibBitfields, {0xE0, 0x07, 0x1F, 0xF8}, {0xF800, 0x07E0, 0x001F}},
         {0x00FF00, 0xFF00FF}},
        {"32-bit, red and blue swapped", {1, 1, 32, kDibBitfields, {0x11, 0x22, 0x33, 0}, {0xFF, 0xFF00, 0xFF0000}},
         {A}},
        {"run-length 8: a run, then an absolute row",
         {3, 2, 8, kDibRle8, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 1}, kTable}, {B, C, D, A, A, A}},
        {"run-length 4: alternating nibbles", {3, 1, 4, kDibRle4, {3, 0x12, 0, 1}, kTable}, {A, B, A}},
        {"run-length 4: absolute nibbles", {3, 1, 4, kDibRle4, {0, 3, 0x43, 0x20, 0, 1}, kTable}, {D, C, B}},
        {"run-length: a skipped pixel stays black", {3, 1, 8, kDibRle8, {1, 1, 0, 2, 1, 0, 1, 4, 0, 1}, kTable},
         {A, 0, D}},
        {"run-length: runs past the row and rows past the top are dropped",
         {2, 1, 8, kDibRle8, {5, 1, 0, 0, 4, 2, 0, 1}, kTable}, {A, A}},
        {"run-length: a cut absolute run", {3, 1, 8, kDibRle8, {0, 3, 1}, kTable}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const CDIB dib = Make(c.dib);
        EXPECT_EQ(DibPixels(dib), c.want) << c.name;
    }
}

} // namespace
