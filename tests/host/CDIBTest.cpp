#include "image/CDIB.h"

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
// colour table (3-byte entries widened with a zero, the rest zero), the
// pixels as stored.
void ExpectHolds(const CDIB& dib, const BmpFile& f, const std::string& name)
{
    SCOPED_TRACE(name);
    ASSERT_TRUE(dib.m_pBMI);
    const DibInfoHeader& h = dib.m_pBMI->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(dib.GetWidth(), f.width);
    EXPECT_EQ(dib.GetHeight(), f.height);
    EXPECT_EQ(h.biBitCount, f.bitCount);
    EXPECT_EQ(h.biCompression, f.headerSize == 12 ? 0u : f.compression);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t reserved = f.headerSize == 12 ? 0 : BmpFile::Reserved(i);
        const std::uint32_t want = i < f.ImpliedEntries()
                                       ? Packed(BmpFile::Blue(i), BmpFile::Green(i), BmpFile::Red(i), reserved)
                                       : 0;
        EXPECT_EQ(Packed(dib.m_pBMI->bmiColors[i]), want) << "entry " << i;
    }
    const std::vector<std::uint8_t> px = f.Pixels();
    EXPECT_EQ(std::vector<std::uint8_t>(dib.m_pBits.get(), dib.m_pBits.get() + px.size()), px);
}

TEST(CDIBTest, ReadsEveryFormDrawingTakes)
{
    const std::vector<std::uint8_t> rle8 = {2, 5, 2, 6, 0, 0, 2, 7, 2, 8, 0, 1};  // two rows, end of bitmap
    const struct {
        const char* name;
        BmpFile file;
        int colours;
        bool palette;
        std::size_t skip = 0;  // offsets count from where the read starts
    } cases[] = {
        {"8-bit, 256 colours", BmpFile{}, 256, true},
        {"24-bit", With([](BmpFile& f) { f.bitCount = 24; }), 0, false},
        {"24-bit with 5 colours used", With([](BmpFile& f) { f.bitCount = 24, f.clrUsed = 5; }), 5, false},
        {"4-bit", With([](BmpFile& f) { f.bitCount = 4, f.width = 9; }), 16, false},
        {"16-bit with masks", With([](BmpFile& f) { f.bitCount = 16, f.compression = 3; }), 0, false},
        {"OS/2, 8-bit", With([](BmpFile& f) { f.headerSize = 12, f.width = 20; }), 256, true},
        {"OS/2, 24-bit", With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 24, f.width = 5; }), 0, false},
        {"top-down", With([](BmpFile& f) { f.height = -3; }), 256, true},
        {"OS/2 after other data", With([](BmpFile& f) { f.headerSize = 12, f.width = 6; }), 256, true, 77},
        {"run-length", With([&](BmpFile& f) { f.compression = 1, f.pixels = rle8, f.sizeImage = 12; }), 256, true},
        {"more pixel bytes than rows need",
         With([](BmpFile& f) { f.pixels = std::vector<std::uint8_t>(f.Pixels().size() + 9, 0x5A); }), 256, true},
    };
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, c.file.Bytes(), c.skip)) << c.name;
        ExpectHolds(dib, c.file, c.name);
        EXPECT_EQ(dib.GetNumColors(), c.colours) << c.name;
        EXPECT_EQ(dib.BuildLogPalette(), c.palette) << c.name;
        EXPECT_EQ(dib.m_logPal.palNumEntries, c.palette ? 256 : 0) << c.name;
        for (int i = 0; c.palette && i < 256; ++i) {
            const DibPaletteEntry& e = dib.m_logPal.palPalEntry[i];
            EXPECT_EQ(Packed(e.peBlue, e.peGreen, e.peRed, e.peFlags), Packed(dib.m_pBMI->bmiColors[i]))
                << c.name << ": palette entry " << i;
        }
    }
}

// Each case is one way a file can lie or fall short. The object must answer
// FALSE and keep the image it held, untouched.
TEST(CDIBTest, RefusesMalformedFilesAndKeepsThePreviousImage)
{
    const std::uint32_t natural = 14 + 40 + 1024;
    const struct {
        const char* name;
        BmpFile file;
    } cases[] = {
        {"other letters", With([](BmpFile& f) { f.type = "MB"; })},
        {"info header cut", With([](BmpFile& f) { f.cutTo = 53; })},
        {"108-byte header", With([](BmpFile& f) { f.headerSize = 108; })},
        {"OS/2 file shorter than 54 bytes",
         With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 1, f.width = 1, f.height = 1; })},
        {"colours used 257", With([](BmpFile& f) { f.clrUsed = 257; })},
        {"colours used 0xFFFFFFFF", With([](BmpFile& f) { f.clrUsed = 0xFFFFFFFF, f.tableEntries = 256; })},
        {"masks and 254 colours", With([](BmpFile& f) { f.bitCount = 16, f.compression = 3, f.clrUsed = 254; })},
        {"colour table cut", With([](BmpFile& f) { f.cutTo = 14 + 40 + 100; })},
        {"OS/2 colour table cut", With([](BmpFile& f) { f.headerSize = 12, f.cutTo = 14 + 12 + 3 * 100; })},
        {"pixels cut", With([](BmpFile& f) { f.cutTo = natural + 5; })},
        {"size field below pixel offset", With([](BmpFile& f) { f.fileSize = natural - 1; })},
        {"size field short of the rows", With([](BmpFile& f) { f.fileSize = natural + 7; })},
        {"size field past the end", With([](BmpFile& f) { f.fileSize = 0xFFFFFFF0; })},
        {"pixel offset past the end", With([](BmpFile& f) { f.pixelOffset = 0x7FFFFFF0, f.fileSize = 0x7FFFFFFF; })},
        {"width 0", With([](BmpFile& f) { f.width = 0; })},
        {"negative width", With([](BmpFile& f) { f.width = -4; })},
        {"height 0", With([](BmpFile& f) { f.height = 0; })},
        {"height INT_MIN", With([](BmpFile& f) { f.height = INT_MIN; })},
        {"huge width and height", With([](BmpFile& f) { f.width = INT_MAX, f.height = INT_MAX; })},
        {"row size past 32 bits", With([](BmpFile& f) { f.width = 0x40000000, f.height = 1, f.bitCount = 32; })},
        {"height times row past 32 bits", With([](BmpFile& f) { f.width = 0x10000, f.height = 0x10001; })},
        {"0 bits per pixel", With([](BmpFile& f) { f.bitCount = 0; })},
        {"run-length 8 on 4-bit", With([](BmpFile& f) { f.bitCount = 4, f.compression = 1, f.sizeImage = 4; })},
        {"run-length 4 on 8-bit", With([](BmpFile& f) { f.compression = 2, f.sizeImage = 4; })},
        {"run-length, top-down", With([](BmpFile& f) { f.compression = 1, f.height = -2, f.sizeImage = 4; })},
        {"run-length, size past pixels", With([](BmpFile& f) { f.compression = 1, f.sizeImage = 9; })},
        {"masks on 8-bit", With([](BmpFile& f) { f.compression = 3; })},
        {"PNG inside", With([](BmpFile& f) { f.compression = 5, f.bitCount = 24; })},
    };
    BmpFile previous;
    previous.width = 3, previous.height = 5, previous.clrUsed = 16;
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, previous.Bytes()));
        const DibInfo* info = dib.m_pBMI.get();
        const unsigned char* bits = dib.m_pBits.get();
        EXPECT_FALSE(ReadBytes(dib, c.file.Bytes())) << c.name;
        EXPECT_TRUE(dib.m_pBMI.get() == info && dib.m_pBits.get() == bits) << c.name << ": blocks replaced";
        ExpectHolds(dib, previous, c.name);
    }
}

TEST(CDIBTest, StartsAsABlankGreyImageAndCreateKeepsItOnRefusal)
{
    CDIB fresh;
    EXPECT_EQ(fresh.GetWidth() * 100 + fresh.GetHeight(), 1616);
    EXPECT_EQ(fresh.m_logPal.palNumEntries, 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(Packed(fresh.m_pBMI->bmiColors[i]), i * 0x010101u) << "entry " << i;
    EXPECT_EQ(std::vector<unsigned char>(fresh.m_pBits.get(), fresh.m_pBits.get() + 256),
              std::vector<unsigned char>(256, 0));

    const struct { int width, height; bool ok; std::size_t bytes; } cases[] = {
        {5, 3, true, 24}, {0, 0, true, 0}, {-1, 4, false, 0}};
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, BmpFile{}.Bytes()));
        EXPECT_EQ(dib.Create(c.width, c.height), c.ok) << c.width << " x " << c.height;
        EXPECT_EQ(dib.GetWidth(), c.ok ? c.width : 4) << c.width << " x " << c.height;
    }
}

} // namespace
