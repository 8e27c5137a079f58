#include "image/CDIB.h"

#include "host/BmpFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

bool ReadBytes(CDIB& dib, const std::vector<std::uint8_t>& bytes)
{
    MemoryByteSource source(bytes.data(), bytes.size());
    return dib.Read(source);
}

BmpFile With(std::function<void(BmpFile&)> change)
{
    BmpFile f;
    change(f);
    return f;
}

// What a read must leave in the object: the header widened to 40 bytes, the
// colour table (3-byte entries widened with a zero), the pixels as stored.
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
    const int entries = f.ImpliedEntries();
    for (int i = 0; i < entries; ++i) {
        const DibQuad& q = dib.m_pBMI->bmiColors[i];
        EXPECT_EQ(q.rgbBlue, BmpFile::Blue(i)) << "entry " << i;
        EXPECT_EQ(q.rgbGreen, BmpFile::Green(i)) << "entry " << i;
        EXPECT_EQ(q.rgbRed, BmpFile::Red(i)) << "entry " << i;
        EXPECT_EQ(q.rgbReserved, f.headerSize == 12 ? 0 : BmpFile::Reserved(i)) << "entry " << i;
    }
    for (int i = entries; i < 256; ++i)
        EXPECT_EQ(dib.m_pBMI->bmiColors[i].rgbBlue | dib.m_pBMI->bmiColors[i].rgbGreen, 0) << "entry " << i;
    const std::vector<std::uint8_t> px = f.Pixels();
    ASSERT_EQ(dib.GetBitsSize(), px.size());
    EXPECT_EQ(std::memcmp(dib.m_pBits.get(), px.data(), px.size()), 0);
    EXPECT_TRUE(dib.OwnsBits());
}

TEST(CDIBTest, ReadsEveryFormDrawingTakes)
{
    struct Case {
        const char* name;
        BmpFile file;
        int colours;
        bool palette;
    };
    const std::vector<std::uint8_t> rle8 = {2, 5, 2, 6, 0, 0, 2, 7, 2, 8, 0, 1};  // two rows, end of bitmap
    const Case cases[] = {
        {"8-bit, 256 colours", BmpFile{}, 256, true},
        {"24-bit", With([](BmpFile& f) { f.bitCount = 24; }), 0, false},
        {"24-bit with 5 colours used", With([](BmpFile& f) { f.bitCount = 24, f.clrUsed = 5; }), 5, false},
        {"8-bit, 16 colours used", With([](BmpFile& f) { f.clrUsed = 16; }), 16, false},
        {"8-bit, 256 colours used", With([](BmpFile& f) { f.clrUsed = 256; }), 256, true},
        {"1-bit", With([](BmpFile& f) { f.bitCount = 1, f.width = 33; }), 2, false},
        {"4-bit", With([](BmpFile& f) { f.bitCount = 4, f.width = 9; }), 16, false},
        {"32-bit", With([](BmpFile& f) { f.bitCount = 32; }), 0, false},
        {"16-bit with masks", With([](BmpFile& f) { f.bitCount = 16, f.compression = 3; }), 0, false},
        {"OS/2, 8-bit", With([](BmpFile& f) { f.headerSize = 12, f.width = 20; }), 256, true},
        {"OS/2, 4-bit", With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 4, f.height = 7; }), 16, false},
        {"OS/2, 24-bit", With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 24, f.width = 5; }), 0, false},
        {"top-down", With([](BmpFile& f) { f.height = -3; }), 256, true},
        {"run-length 8-bit", With([&](BmpFile& f) { f.compression = 1, f.pixels = rle8, f.sizeImage = 12; }), 256, true},
        {"run-length 4-bit",
         With([&](BmpFile& f) { f.compression = 2, f.bitCount = 4, f.pixels = rle8, f.sizeImage = 10; }), 16, false},
        {"more pixel bytes than rows need",
         With([](BmpFile& f) { f.pixels = std::vector<std::uint8_t>(f.Pixels().size() + 9, 0x5A); }), 256, true},
    };
    for (const Case& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, c.file.Bytes())) << c.name;
        ExpectHolds(dib, c.file, c.name);
        EXPECT_EQ(dib.GetNumColors(), c.colours) << c.name;
        EXPECT_EQ(dib.BuildLogPalette(), c.palette) << c.name;
        EXPECT_EQ(dib.m_logPal.palNumEntries, c.palette ? 256 : 0) << c.name;
        const DibRect r = dib.GetRect();
        EXPECT_EQ(r.left, 0) << c.name;
        EXPECT_EQ(r.top, 0) << c.name;
        EXPECT_EQ(r.right, c.file.width) << c.name;
        EXPECT_EQ(r.bottom, c.file.height) << c.name;
    }
}

TEST(CDIBTest, PaletteEqualsTheColourTable)
{
    CDIB dib;
    ASSERT_TRUE(ReadBytes(dib, BmpFile{}.Bytes()));
    ASSERT_TRUE(dib.BuildLogPalette());
    EXPECT_EQ(dib.m_logPal.palVersion, 0x300);
    for (int i = 0; i < 256; ++i) {
        const DibPaletteEntry& e = dib.m_logPal.palPalEntry[i];
        EXPECT_EQ(e.peRed, BmpFile::Red(i)) << "entry " << i;
        EXPECT_EQ(e.peGreen, BmpFile::Green(i)) << "entry " << i;
        EXPECT_EQ(e.peBlue, BmpFile::Blue(i)) << "entry " << i;
        EXPECT_EQ(e.peFlags, BmpFile::Reserved(i)) << "entry " << i;
    }
}

TEST(CDIBTest, BitfieldMasksLandBeforeTheColours)
{
    BmpFile f;
    f.bitCount = 32, f.compression = 3;
    CDIB dib;
    ASSERT_TRUE(ReadBytes(dib, f.Bytes()));
    // the three masks take the first three table slots, as drawing expects
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dib.m_pBMI->bmiColors[i].rgbRed, BmpFile::Red(i)) << "mask " << i;
    EXPECT_EQ(dib.m_pBMI->bmiColors[3].rgbRed, 0);
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
        {"no letters at all", With([](BmpFile& f) { f.type = "\0\0"; f.cutTo = 1; })},
        {"only the file header", With([](BmpFile& f) { f.cutTo = 14; })},
        {"info header cut", With([](BmpFile& f) { f.cutTo = 53; })},
        {"108-byte header", With([](BmpFile& f) { f.headerSize = 108; })},
        {"124-byte header", With([](BmpFile& f) { f.headerSize = 124; })},
        {"header size 0", With([](BmpFile& f) { f.headerSize = 0; })},
        {"OS/2 file shorter than 54 bytes",
         With([](BmpFile& f) { f.headerSize = 12, f.bitCount = 1, f.width = 1, f.height = 1; })},
        {"colours used 257", With([](BmpFile& f) { f.clrUsed = 257; })},
        {"colours used 0xFFFFFFFF", With([](BmpFile& f) { f.clrUsed = 0xFFFFFFFF, f.tableEntries = 256; })},
        {"24-bit, colours used 300", With([](BmpFile& f) { f.bitCount = 24, f.clrUsed = 300; })},
        {"masks and 254 colours", With([](BmpFile& f) { f.bitCount = 16, f.compression = 3, f.clrUsed = 254; })},
        {"colour table cut", With([](BmpFile& f) { f.cutTo = 14 + 40 + 100; })},
        {"OS/2 colour table cut", With([](BmpFile& f) { f.headerSize = 12, f.cutTo = 14 + 12 + 3 * 100; })},
        {"pixels cut", With([](BmpFile& f) { f.cutTo = natural + 5; })},
        {"size field below pixel offset", With([](BmpFile& f) { f.fileSize = natural - 1; })},
        {"size field zero", With([](BmpFile& f) { f.fileSize = 0; })},
        {"size field short of the rows", With([](BmpFile& f) { f.fileSize = natural + 7; })},
        {"size field past the end", With([](BmpFile& f) { f.fileSize = 0xFFFFFFF0; })},
        {"pixel offset past the end", With([](BmpFile& f) { f.pixelOffset = 0x7FFFFFF0, f.fileSize = 0x7FFFFFFF; })},
        {"width 0", With([](BmpFile& f) { f.width = 0; })},
        {"negative width", With([](BmpFile& f) { f.width = -4; })},
        {"height 0", With([](BmpFile& f) { f.height = 0; })},
        {"height INT_MIN", With([](BmpFile& f) { f.height = INT_MIN; })},
        {"OS/2 width 0", With([](BmpFile& f) { f.headerSize = 12, f.width = 0; })},
        {"huge width and height", With([](BmpFile& f) { f.width = INT_MAX, f.height = INT_MAX; })},
        {"row size past 32 bits", With([](BmpFile& f) { f.width = 0x40000000, f.height = 1, f.bitCount = 32; })},
        {"height times row past 32 bits", With([](BmpFile& f) { f.width = 0x10000, f.height = 0x10001; })},
        {"0 bits per pixel", With([](BmpFile& f) { f.bitCount = 0; })},
        {"2 bits per pixel", With([](BmpFile& f) { f.bitCount = 2; })},
        {"7 bits per pixel", With([](BmpFile& f) { f.bitCount = 7; })},
        {"64 bits per pixel", With([](BmpFile& f) { f.bitCount = 64; })},
        {"run-length 8 on 4-bit", With([](BmpFile& f) { f.bitCount = 4, f.compression = 1, f.sizeImage = 4; })},
        {"run-length 4 on 8-bit", With([](BmpFile& f) { f.compression = 2, f.sizeImage = 4; })},
        {"run-length, top-down", With([](BmpFile& f) { f.compression = 1, f.height = -2, f.sizeImage = 4; })},
        {"run-length, no size", With([](BmpFile& f) { f.compression = 1; })},
        {"run-length, size past pixels", With([](BmpFile& f) { f.compression = 1, f.sizeImage = 9; })},
        {"masks on 8-bit", With([](BmpFile& f) { f.compression = 3; })},
        {"masks on 24-bit", With([](BmpFile& f) { f.compression = 3, f.bitCount = 24; })},
        {"masks cut", With([](BmpFile& f) { f.compression = 3, f.bitCount = 16, f.cutTo = 14 + 40 + 8; })},
        {"JPEG inside", With([](BmpFile& f) { f.compression = 4, f.bitCount = 0; })},
        {"PNG inside", With([](BmpFile& f) { f.compression = 5, f.bitCount = 24; })},
        {"unknown compression", With([](BmpFile& f) { f.compression = 0xFFFFFFFF; })},
    };

    BmpFile previous;
    previous.width = 3, previous.height = 5, previous.clrUsed = 16;
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, previous.Bytes()));
        const DibInfo* info = dib.m_pBMI.get();
        const unsigned char* bits = dib.m_pBits.get();
        EXPECT_FALSE(ReadBytes(dib, c.file.Bytes())) << c.name;
        EXPECT_EQ(dib.m_pBMI.get(), info) << c.name;
        EXPECT_EQ(dib.m_pBits.get(), bits) << c.name;
        ExpectHolds(dib, previous, c.name);
    }
}

TEST(CDIBTest, OffsetsCountFromWhereTheReadStarts)
{
    BmpFile f;
    f.width = 6, f.height = 3;
    std::vector<std::uint8_t> bytes(77, 0xEE);  // other data first
    const std::vector<std::uint8_t> bmp = f.Bytes();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());

    {
        MemoryByteSource source(bytes.data(), bytes.size());
        ASSERT_TRUE(source.Seek(77));
        CDIB dib;
        ASSERT_TRUE(dib.Read(source));
        ExpectHolds(dib, f, "memory");
    }
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fseek(file, 77, SEEK_SET), 0);
    StdFileByteSource source(file);
    CDIB dib;
    EXPECT_TRUE(dib.Read(source));
    ExpectHolds(dib, f, "C stream");
    std::fclose(file);
}

TEST(CDIBTest, StartsAsABlankGreyImage)
{
    CDIB dib;
    EXPECT_EQ(dib.GetWidth(), 16);
    EXPECT_EQ(dib.GetHeight(), 16);
    EXPECT_EQ(dib.GetNumColors(), 256);
    EXPECT_EQ(dib.m_pBMI->bmiHeader.biBitCount, 8);
    EXPECT_EQ(dib.m_pBMI->bmiHeader.biPlanes, 1);
    EXPECT_EQ(dib.m_logPal.palVersion, 0x300);
    EXPECT_EQ(dib.m_logPal.palNumEntries, 256);
    for (int i = 0; i < 256; ++i) {
        const DibQuad& q = dib.m_pBMI->bmiColors[i];
        EXPECT_TRUE(q.rgbRed == i && q.rgbGreen == i && q.rgbBlue == i && q.rgbReserved == 0) << "entry " << i;
    }
    ASSERT_EQ(dib.GetBitsSize(), 256u);
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(dib.m_pBits[i], 0) << "pixel " << i;
}

TEST(CDIBTest, CreateRefusesWhatCannotBeHeldAndKeepsTheImage)
{
    struct Case {
        int width, height;
        bool ok;
        std::size_t bytes;
    };
    const Case cases[] = {
        {5, 3, true, 24}, {8, 1, true, 8}, {0, 0, true, 0},
        {-1, 4, false, 0}, {4, -1, false, 0}, {INT_MIN, INT_MIN, false, 0},
    };
    for (const Case& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, BmpFile{}.Bytes()));
        EXPECT_EQ(dib.Create(c.width, c.height), c.ok) << c.width << " x " << c.height;
        EXPECT_EQ(dib.GetWidth(), c.ok ? c.width : 4) << c.width << " x " << c.height;
        EXPECT_EQ(dib.GetHeight(), c.ok ? c.height : 2) << c.width << " x " << c.height;
        if (c.ok)
            EXPECT_EQ(dib.GetBitsSize(), c.bytes) << c.width << " x " << c.height;
    }
}

TEST(CDIBTest, PixelAddressCountsRowsFromTheTop)
{
    // 5 x 3, 8-bit: rows of 8 bytes.
    struct Case {
        const char* name;
        int height;  // 3 bottom-up, -3 top-down
        int x, y;
        long want;  // offset into the pixels, -1 for null
    };
    const Case cases[] = {
        {"first pixel of the last stored row", 3, 0, 0, 16},
        {"last pixel of the first stored row", 3, 4, 2, 4},
        {"top-down first pixel", -3, 0, 0, 0},
        {"top-down inner pixel", -3, 1, 2, 17},
        {"x = width", 3, 5, 0, -1},
        {"y = height", 3, 0, 3, -1},
        {"top-down y = rows", -3, 0, 3, -1},
        {"negative x", 3, -1, 0, -1},
        {"negative y", 3, 0, -1, -1},
        {"both far out", 3, INT_MIN, INT_MAX, -1},
    };
    for (const Case& c : cases) {
        BmpFile f;
        f.width = 5, f.height = c.height;
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, f.Bytes())) << c.name;
        unsigned char* p = dib.GetPixelAddress(c.x, c.y);
        if (c.want < 0)
            EXPECT_EQ(p, nullptr) << c.name;
        else
            EXPECT_EQ(p - dib.m_pBits.get(), c.want) << c.name;
    }
}

TEST(CDIBTest, PixelAddressIsNullForOtherThan8BitRows)
{
    const struct {
        const char* name;
        BmpFile file;
    } cases[] = {
        {"1-bit", With([](BmpFile& f) { f.bitCount = 1; })},
        {"4-bit", With([](BmpFile& f) { f.bitCount = 4; })},
        {"24-bit", With([](BmpFile& f) { f.bitCount = 24; })},
        {"run-length", With([](BmpFile& f) { f.compression = 1, f.pixels = {0, 1}, f.sizeImage = 2; })},
    };
    for (const auto& c : cases) {
        CDIB dib;
        ASSERT_TRUE(ReadBytes(dib, c.file.Bytes())) << c.name;
        EXPECT_EQ(dib.GetPixelAddress(0, 0), nullptr) << c.name;
    }
}

TEST(CDIBTest, SetDibCopiesTheHeaderAndBorrowsThePixels)
{
    struct {
        DibInfoHeader header;
        DibQuad colours[16];
    } source{};
    source.header = {40, 7, 2, 1, 8, 0, 0, 0, 0, 16, 0};
    for (int i = 0; i < 16; ++i)
        source.colours[i] = {static_cast<std::uint8_t>(i), 0, 0, 0};
    std::vector<unsigned char> pixels(16, 9);

    CDIB dib;
    ASSERT_TRUE(dib.SetDIB(&source.header, pixels.data()));
    EXPECT_FALSE(dib.OwnsBits());
    EXPECT_EQ(dib.m_pBits.get(), pixels.data());
    EXPECT_EQ(dib.GetWidth(), 7);
    EXPECT_EQ(dib.GetNumColors(), 16);
    EXPECT_EQ(dib.m_pBMI->bmiColors[15].rgbBlue, 15);
    EXPECT_EQ(dib.m_pBMI->bmiColors[16].rgbBlue, 0);  // nothing copied past the table
    EXPECT_EQ(dib.GetPixelAddress(0, 0), pixels.data() + 8);

    // A read gives the object its own pixels again.
    ASSERT_TRUE(ReadBytes(dib, BmpFile{}.Bytes()));
    EXPECT_TRUE(dib.OwnsBits());
}

TEST(CDIBTest, SetDibRefusesHeadersItCannotCopy)
{
    const struct {
        const char* name;
        DibInfoHeader header;
    } cases[] = {
        {"257 colours", {40, 2, 2, 1, 8, 0, 0, 0, 0, 257, 0}},
        {"huge colour count", {40, 2, 2, 1, 24, 0, 0, 0, 0, 0x80000000u, 0}},
        {"masks and 254 colours", {40, 2, 2, 1, 16, 3, 0, 0, 0, 254, 0}},
        {"OS/2 header", {12, 2, 2, 1, 8, 0, 0, 0, 0, 0, 0}},
        {"108-byte header", {108, 2, 2, 1, 8, 0, 0, 0, 0, 0, 0}},
    };
    std::vector<unsigned char> pixels(64);
    for (const auto& c : cases) {
        CDIB dib;
        const DibInfo* info = dib.m_pBMI.get();
        EXPECT_FALSE(dib.SetDIB(&c.header, pixels.data())) << c.name;
        EXPECT_EQ(dib.m_pBMI.get(), info) << c.name;
        EXPECT_TRUE(dib.OwnsBits()) << c.name;
        EXPECT_EQ(dib.GetWidth(), 16) << c.name;
    }
    CDIB dib;
    EXPECT_FALSE(dib.SetDIB(nullptr, pixels.data()));
}

TEST(CDIBTest, SetDibWithItsOwnPixelsKeepsThemAlive)
{
    CDIB dib;
    ASSERT_TRUE(ReadBytes(dib, BmpFile{}.Bytes()));
    DibInfo copy = *dib.m_pBMI;
    copy.bmiHeader.biWidth = 3;
    unsigned char* own = dib.m_pBits.get();
    ASSERT_TRUE(dib.SetDIB(&copy.bmiHeader, own));
    EXPECT_TRUE(dib.OwnsBits());
    EXPECT_EQ(dib.m_pBits.get(), own);
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(*dib.GetPixelAddress(0, 1), BmpFile{}.Pixels()[0]);
}

TEST(CDIBTest, ColourCountFollowsTheHeaderForm)
{
    struct Case {
        std::uint32_t size;
        std::uint16_t bits;
        std::uint32_t used;
        std::uint32_t want;
    };
    const Case cases[] = {
        {40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 16, 0, 0}, {40, 24, 0, 0}, {40, 32, 0, 0},
        {40, 2, 0, 0}, {40, 8, 16, 16}, {40, 24, 5, 5}, {40, 1, 300, 300},
        // the 12-byte form has no colours-used field: bytes there are not looked at
        {12, 1, 7, 2}, {12, 4, 7, 16}, {12, 8, 7, 256}, {12, 24, 7, 0},
    };
    for (const Case& c : cases) {
        DibInfoHeader h{};
        h.biSize = c.size;
        h.biClrUsed = c.used;
        if (c.size == 12) {
            // OS/2 layout: width and height are 16-bit, so the bit count sits at byte 10
            unsigned char* raw = reinterpret_cast<unsigned char*>(&h);
            raw[10] = static_cast<unsigned char>(c.bits);
            raw[11] = 0;
            h.biBitCount = 8;  // not where the 12-byte form keeps it
        } else {
            h.biBitCount = c.bits;
        }
        EXPECT_EQ(DibColorCount(&h), c.want) << "size " << c.size << " bits " << c.bits << " used " << c.used;
    }
    EXPECT_EQ(DibColorCount(nullptr), 0u);
}

TEST(CDIBTest, MemorySourceReadsWithinItsBlock)
{
    const unsigned char data[5] = {1, 2, 3, 4, 5};
    MemoryByteSource source(data, sizeof data);
    unsigned char buffer[8] = {};
    EXPECT_EQ(source.Read(buffer, 3), 3u);
    EXPECT_EQ(source.Read(buffer, 8), 2u);
    EXPECT_EQ(buffer[1], 5);
    EXPECT_EQ(source.Read(buffer, 8), 0u);
    EXPECT_TRUE(source.Seek(100));  // allowed, as in a file; nothing to read there
    EXPECT_EQ(source.Read(buffer, 8), 0u);
    EXPECT_FALSE(source.Seek(-1));
    EXPECT_EQ(source.Position(), 100);
    EXPECT_EQ(source.Size(), 5);
}

} // namespace
