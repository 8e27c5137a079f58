#include "image/CDIB.h"

#include "image/DibPixels.h"

#include "host/BmpFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

// Reads from `skip` bytes into the block, after other data.
bool ReadBytes(CDIB& dib, const std::vector<std::uint8_t>& bytes, std::size_t skip = 0)
{
    std::vector<std::uint8_t> block(skip, 0xEE);
    block.insert(block.end(), bytes.begin(), bytes.end());
    MemoryByteSource source(block.data(), block.size());
    return source.Seek(static_cast<std::int64_t>(skip)) && dib.Read(source);
}

BmpFile With(std::function<void(BmpFile&)> change)
{
    BmpFile f;
    change(f);
    return f;
}

std::uint32_t Packed(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    return b0 | b1 << 8 | b2 << 16 | std::uint32_t(b3) << 24;
}
std::uint32_t Packed(const DibQuad& q) { return Packed(q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved); }

// What a read must leave in the object: the header widened to 40 bytes, the
// colour table (masks first where the table holds them, 3-byte entries
// widened with a zero, the rest zero), the pixels as stored.
void ExpectHolds(const CDIB& dib, const BmpFile& f, const std::string& name)
{
    SCOPED_TRACE(name);
    ASSERT_TRUE(dib.Info());
    const DibInfoHeader& h = dib.Info()->bmiHeader;
    EXPECT_TRUE(h.biSize == 40 && dib.GetWidth() == f.width && dib.GetHeight() == f.height &&
                h.biBitCount == f.bitCount && h.biCompression == (f.headerSize == 12 ? 0u : f.compression));
    const int masks = f.TableMasks() && !f.masks.empty() ? 3 : 0;
    for (int i = 0; i < 256; ++i) {
        const int j = i - masks;
        const std::uint8_t reserved = f.headerSize == 12 ? 0 : BmpFile::Reserved(j);
        const std::uint32_t want = i < masks                ? f.masks[i]
                                   : i < f.ImpliedEntries() ? Packed(BmpFile::Blue(j), BmpFile::Green(j),
                                                                     BmpFile::Red(j), reserved)
                                                            : 0;
        EXPECT_EQ(Packed(dib.Info()->bmiColors[i]), want) << "entry " << i;
    }
    const std::vector<std::uint8_t> px = f.Pixels();
    EXPECT_EQ(std::vector<std::uint8_t>(dib.Bits(), dib.Bits() + px.size()), px);
}

std::vector<std::uint8_t> Block(const CDIB& dib)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(dib.Info());
    return std::vector<std::uint8_t>(p, p + sizeof(DibInfo));
}

// Each form as a 40-byte or OS/2 header, read after other data, then in
// the later header forms: the same block for the drawing calls, the same pixels.
TEST(CDIBTest, ReadsEveryFormDrawingTakesInEachHeaderForm)
{
    const std::vector<std::uint8_t> rle8 = {3, 5, 0, 3, 6, 7, 8, 0, 0, 0, 2, 9, 2, 1, 0, 1};
    // A palette is built for 256 colours only.
    const struct { const char* name; BmpFile file; int colours; } cases[] = {
        {"8-bit, 256 colours", BmpFile{}, 256},
        {"1-bit", With([](BmpFile& f) { f.bitCount = 1, f.width = 13; }), 2},
        {"4-bit", With([](BmpFile& f) { f.bitCount = 4, f.width = 9; }), 16},
        {"8-bit run-length", With([&](BmpFile& f) { f.compression = 1, f.pixels = rle8, f.sizeImage = 16; }), 256},
        {"16-bit, 5-6-5 masks",
         With([](BmpFile& f) { f.bitCount = 16, f.compression = 3, f.masks = {0xF800, 0x07E0, 0x001F}; }), 0},
        {"16-bit, masks and 2 colours", With([](BmpFile& f) {
             f.bitCount = 16, f.compression = 3, f.clrUsed = 2, f.masks = {0x7C00, 0x3E0, 0x1F, 0x8000}; }), 2},
        {"24-bit, top-down", With([](BmpFile& f) { f.bitCount = 24, f.width = 5, f.height = -3; }), 0},
        {"24-bit with 5 colours used", With([](BmpFile& f) { f.bitCount = 24, f.clrUsed = 5; }), 5},
        {"32-bit, alpha mask", With([](BmpFile& f) {
             f.bitCount = 32, f.compression = 3, f.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}; }), 0},
        {"more pixel bytes than rows need",
         With([](BmpFile& f) { f.pixels = std::vector<std::uint8_t>(f.Pixels().size() + 9, 0x5A); }), 256},
        {"OS/2, 8-bit", With([](BmpFile& f) { f.headerSize = 12, f.width = 6; }), 256},
        {"OS/2, 24-bit", With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 24, f.width = 5; }), 0},
    };
    for (const auto& c : cases) {
        CDIB plain;
        ASSERT_TRUE(ReadBytes(plain, c.file.Bytes(), 77)) << c.name;
        ExpectHolds(plain, c.file, c.name);
        EXPECT_EQ(plain.GetNumColors(), c.colours) << c.name;
        const bool palette = c.colours == 256;
        EXPECT_EQ(plain.BuildLogPalette(), palette) << c.name;
        EXPECT_EQ(plain.LogPalette().palNumEntries, palette ? 256 : 0) << c.name;
        for (int i = 0; palette && i < 256; ++i) {
            const DibPaletteEntry& e = plain.LogPalette().palPalEntry[i];
            EXPECT_EQ(Packed(e.peBlue, e.peGreen, e.peRed, e.peFlags), Packed(plain.Info()->bmiColors[i]))
                << c.name << ": palette entry " << i;
        }
        for (std::uint32_t size : {52u, 56u, 108u, 124u}) {
            if (c.file.headerSize == 12)
                break;
            BmpFile later = c.file;
            later.headerSize = size;
            CDIB dib;
            ASSERT_TRUE(ReadBytes(dib, later.Bytes(), 5)) << c.name << ", " << size << " bytes";
            EXPECT_TRUE(Block(dib) == Block(plain) && DibPixels(dib) == DibPixels(plain)) << c.name << ", " << size;
        }
    }
}

// Each case is one way a file can lie or fall short. The object must answer
// FALSE, say why, and keep the image it held, untouched; where a line is
// given, the numbers behind the refusal reach it.
TEST(CDIBTest, RefusesMalformedFilesSaysWhyAndKeepsThePreviousImage)
{
    using F = ImageFault;
    const std::uint32_t natural = 14 + 40 + 1024;
    const struct { const char* name; BmpFile file; ImageFault fault; const char* text = nullptr; } cases[] = {
        {"other letters", With([](BmpFile& f) { f.type = "MB"; }), F::NotBitmap},
        {"info header cut", With([](BmpFile& f) { f.cutTo = 53; }), F::Truncated},
        {"64-byte header", With([](BmpFile& f) { f.headerSize = 64; }), F::HeaderSize,
         "a BMP information header of 64 bytes; those of 12, 40, 52, 56, 108 and 124 bytes are read"},
        {"124-byte header cut", With([](BmpFile& f) { f.headerSize = 124, f.cutTo = 14 + 100; }), F::Truncated},
        {"OS/2, under 54 bytes",
         With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 1, f.width = 1, f.height = 1; }), F::Truncated},
        {"colours used 257", With([](BmpFile& f) { f.clrUsed = 257; }), F::ColourTable},
        {"masks, 254 colours", With([](BmpFile& f) { f.bitCount = 16, f.compression = 3, f.clrUsed = 254; }),
         F::ColourTable},
        {"colour table cut", With([](BmpFile& f) { f.cutTo = 60; }), F::Truncated,
         "the file ends after 60 bytes, short of the 1086 its headers give"},
        {"OS/2 colour table cut", With([](BmpFile& f) { f.headerSize = 12, f.cutTo = 14 + 12 + 300; }), F::Truncated},
        {"size field below pixel offset", With([](BmpFile& f) { f.fileSize = natural - 1; }), F::PixelsShort},
        {"last row short of its padding",
         With([](BmpFile& f) { f.width = 3, f.bitCount = 24, f.pixels = std::vector<std::uint8_t>(21, 1); }),
         F::PixelsShort, "21 bytes of pixels, but 3 x 2 at 24 bits per pixel needs 24"},
        {"size field past the end", With([](BmpFile& f) { f.fileSize = 0xFFFFFFF0; }), F::Truncated},
        {"width 0", With([](BmpFile& f) { f.width = 0; }), F::Dimensions},
        {"height 0", With([](BmpFile& f) { f.height = 0; }), F::Dimensions},
        {"height INT_MIN", With([](BmpFile& f) { f.height = INT_MIN; }), F::PixelsShort},
        {"row past 4 GB", With([](BmpFile& f) { f.width = 1 << 30, f.height = 1, f.bitCount = 32; }), F::PixelsShort},
        {"rows past 4 GB", With([](BmpFile& f) { f.width = 0x10000, f.height = 0x10001; }), F::PixelsShort},
        {"0 bits per pixel", With([](BmpFile& f) { f.bitCount = 0; }), F::BitCount},
        {"RLE8 on 4-bit", With([](BmpFile& f) { f.bitCount = 4, f.compression = 1, f.sizeImage = 4; }), F::Compression},
        {"RLE4 on 8-bit", With([](BmpFile& f) { f.compression = 2, f.sizeImage = 4; }), F::Compression},
        {"RLE, top-down", With([](BmpFile& f) { f.compression = 1, f.height = -2, f.sizeImage = 4; }), F::Compression},
        {"RLE, size past pixels", With([](BmpFile& f) { f.compression = 1, f.sizeImage = 9; }), F::PixelsShort},
        {"masks on 8-bit", With([](BmpFile& f) { f.compression = 3; }), F::Compression},
        {"JPEG inside", With([](BmpFile& f) { f.headerSize = 124, f.compression = 4, f.bitCount = 24; }),
         F::Compression, "compression 4 (JPEG) with 24 bits per pixel cannot be drawn"},
    };
    BmpFile previous;
    previous.width = 3, previous.height = 5, previous.clrUsed = 16;
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, previous.Bytes()));
        const DibInfo* info = dib.Info();
        const unsigned char* bits = dib.Bits();
        const std::vector<std::uint8_t> bytes = c.file.Bytes();
        MemoryByteSource source(bytes.data(), bytes.size());
        ImageRefusal why;
        why.fault = F::CannotOpen;
        EXPECT_FALSE(dib.Read(source, &why)) << c.name;
        EXPECT_EQ(int(why.fault), int(c.fault)) << c.name << ": " << EnglishRefusal(why);
        if (c.text)
            EXPECT_EQ(EnglishRefusal(why), c.text) << c.name;
        EXPECT_TRUE(dib.Info() == info && dib.Bits() == bits) << c.name << ": blocks replaced";
        ExpectHolds(dib, previous, c.name);
    }
    ImageRefusal grid;
    grid.fault = ImageFault::PieceGrid, grid.width = 50, grid.height = -352;
    EXPECT_EQ(RefusalText(grid, "{width} x {height}, {unknown} {"), "50 x -352, {unknown} {");
}

} // namespace
