#include "image/CDIB.h"
#include "image/win/DibFile.h"

#include "win/BoardProbe.h"
#include "win/ModalScript.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using boardprobe::TempFile;

namespace {

const char kMissingFile[] = "C:\\veloma-no-such-folder\\pieces.bmp";

BmpFile Sized(int width, int height, std::uint16_t bits)
{
    BmpFile f;
    f.width = width, f.height = height, f.bitCount = bits;
    return f;
}

} // namespace

// The header block and the pixels go to StretchDIBits as they are: every
// pixel must come out in its colour, the right way up.
TEST(DibFileTest, GdiDrawsWhatWasRead)
{
    for (const BmpFile& f : {Sized(5, 3, 8), Sized(6, -4, 8), Sized(3, 2, 24)}) {
        SCOPED_TRACE(testing::Message() << f.width << " x " << f.height << ", " << f.bitCount << " bits");
        TempFile file(L"veloma_dib_gdi.bmp", f.Bytes());
        Win32FileSource source;
        ASSERT_TRUE(source.Open(file.Path(), Win32FileSource::Sharing::Exclusive));
        CDIB dib;
        ASSERT_TRUE(dib.Read(source));
        const int w = dib.GetWidth(), h = std::abs(dib.GetHeight());
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32};
        void* bits = nullptr;
        MemoryDC canvas;
        GdiBitmap target(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectGuard keep(canvas.Handle(), target.Get());
        ASSERT_EQ(StretchDIBits(canvas.Handle(), 0, 0, w, h, 0, 0, w, h, dib.m_pBits.get(),
                                reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS, SRCCOPY),
                  h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // blue, green, red: in the colour table or in a 24-bit row
                const unsigned char* p = f.bitCount == 8
                                             ? &dib.m_pBMI->bmiColors[*dib.GetPixelAddress(x, y)].rgbBlue
                                             : dib.m_pBits.get() + (h - 1 - y) * ((3 * w + 3) & ~3) + 3 * x;
                EXPECT_EQ(GetPixel(canvas.Handle(), x, y), RGB(p[2], p[1], p[0])) << "x " << x << " y " << y;
            }
        }
    }
}

TEST(DibFileTest, SharingFollowsTheMode)
{
    TempFile file(L"veloma_dib_share.bmp", BmpFile{}.Bytes());
    const std::wstring path = Widen(file.Path());
    const auto opens = [&path](DWORD access, DWORD share) {
        HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        return h != INVALID_HANDLE_VALUE;
    };
    for (const auto sharing : {Win32FileSource::Sharing::Exclusive, Win32FileSource::Sharing::DenyWrite}) {
        Win32FileSource source;
        ASSERT_TRUE(source.Open(file.Path(), sharing));
        const bool othersRead = sharing == Win32FileSource::Sharing::DenyWrite;
        EXPECT_EQ(opens(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE), othersRead) << "error " << GetLastError();
        EXPECT_FALSE(opens(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE)) << "others may write";
    }
    EXPECT_TRUE(opens(GENERIC_WRITE, 0)) << "still held after the source closed: error " << GetLastError();
}

TEST(DibFileTest, ReadsFromThePosition)
{
    std::vector<std::uint8_t> bytes(10, 0x77);  // other data before the bitmap
    const std::vector<std::uint8_t> bmp = Sized(9, 2, 8).Bytes();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    TempFile file(L"\u99D2.bmp", bytes);  // 駒.bmp
    Win32FileSource source;
    ASSERT_TRUE(source.Open(file.Path(), Win32FileSource::Sharing::Exclusive));
    EXPECT_EQ(source.Size(), static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(source.Seek(10));
    EXPECT_EQ(source.Position(), 10);
    CDIB dib;
    ASSERT_TRUE(dib.Read(source));
    EXPECT_EQ(dib.GetWidth(), 9);
    EXPECT_EQ(dib.GetBitsSize(), Sized(9, 2, 8).Pixels().size());

}

TEST(DibFileTest, LoadTellsWhyAFileWasNotTaken)
{
    TempFile good(L"veloma_load_good.bmp", BmpFile{}.Bytes());
    TempFile bad(L"veloma_load_bad.bmp", Sized(0, 2, 8).Bytes());
    const struct {
        std::string path;
        std::string message;  // empty: none
    } cases[] = {{good.Path(), ""}, {bad.Path(), "Failed to load file"}, {kMissingFile, "Failed to open file"}};
    for (const auto& c : cases) {
        std::string shown;
        std::function<void()> answer = [&] {
            const std::vector<HWND> boxes = ThreadWindows(L"Veloma Screen Saver");
            if (boxes.empty())
                return Later(answer, 50);
            shown = ItemText(boxes[0], 0xFFFF);  // the message box's text control
            PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
        };
        Later(answer, 50);
        CDIB dib;
        EXPECT_EQ(dib.Load(c.path), c.message.empty()) << c.path;
        DropPendingSteps();
        EXPECT_EQ(shown, c.message) << c.path;
        EXPECT_EQ(dib.GetWidth(), c.message.empty() ? 4 : 16) << c.path;
    }
}
