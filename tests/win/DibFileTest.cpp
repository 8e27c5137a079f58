#include "image/CDIB.h"
#include "image/DibFile_win.h"

#include "host/BmpFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring TempPath(const std::wstring& name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::string Utf8(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

// A file in the temporary folder, removed when the test ends.
struct TempFile {
    std::wstring path;
    TempFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes) : path(TempPath(name))
    {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (h != INVALID_HANDLE_VALUE) {
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
        }
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    std::string Utf8Path() const { return Utf8(path); }
};

// A 32-bit memory bitmap to draw into and read back.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Canvas(int w, int h)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

COLORREF TableColour(const CDIB& dib, int index)
{
    const DibQuad& q = dib.m_pBMI->bmiColors[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

BmpFile With(int width, int height, std::uint16_t bits)
{
    BmpFile f;
    f.width = width, f.height = height, f.bitCount = bits;
    return f;
}

} // namespace

// The header block and the pixels go to StretchDIBits as they are; every
// pixel must come out as its colour-table entry, the right way up.
TEST(DibFileTest, GdiDrawsWhatWasRead)
{
    const struct {
        const char* name;
        BmpFile file;
    } cases[] = {
        {"8-bit bottom-up", With(5, 3, 8)},
        {"8-bit top-down", With(6, -4, 8)},
        {"24-bit", With(3, 2, 24)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(L"veloma_dib_gdi.bmp", c.file.Bytes());
        Win32FileSource source;
        ASSERT_TRUE(source.Open(file.Utf8Path(), Win32FileSource::Sharing::Exclusive));
        CDIB dib;
        ASSERT_TRUE(dib.Read(source));
        const int w = dib.GetWidth();
        const int h = std::abs(dib.GetHeight());
        Canvas canvas(w, h);
        ASSERT_EQ(StretchDIBits(canvas.dc, 0, 0, w, h, 0, 0, w, h, dib.m_pBits.get(),
                                reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS, SRCCOPY),
                  h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                COLORREF want;
                if (c.file.bitCount == 8) {
                    want = TableColour(dib, *dib.GetPixelAddress(x, y));
                } else {
                    const unsigned char* p = dib.m_pBits.get() + (h - 1 - y) * ((3 * w + 3) & ~3) + 3 * x;
                    want = RGB(p[2], p[1], p[0]);
                }
                EXPECT_EQ(GetPixel(canvas.dc, x, y), want) << "x " << x << " y " << y;
            }
        }
    }
}

TEST(DibFileTest, PaletteBlockMakesAGdiPalette)
{
    TempFile file(L"veloma_dib_palette.bmp", BmpFile{}.Bytes());
    Win32FileSource source;
    ASSERT_TRUE(source.Open(file.Utf8Path(), Win32FileSource::Sharing::Exclusive));
    CDIB dib;
    ASSERT_TRUE(dib.Read(source));
    ASSERT_TRUE(dib.BuildLogPalette());
    HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&dib.m_logPal));
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), TableColour(dib, i))
            << "entry " << i;
    }
    DeleteObject(palette);
}

TEST(DibFileTest, SharingFollowsTheMode)
{
    TempFile file(L"veloma_dib_share.bmp", BmpFile{}.Bytes());
    struct Case {
        Win32FileSource::Sharing sharing;
        bool othersRead;
    };
    const Case cases[] = {
        {Win32FileSource::Sharing::Exclusive, false},
        {Win32FileSource::Sharing::DenyWrite, true},
    };
    for (const Case& c : cases) {
        Win32FileSource source;
        ASSERT_TRUE(source.Open(file.Utf8Path(), c.sharing));
        HANDLE reader = CreateFileW(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(reader != INVALID_HANDLE_VALUE, c.othersRead) << "error " << GetLastError();
        if (reader != INVALID_HANDLE_VALUE)
            CloseHandle(reader);
        HANDLE writer = CreateFileW(file.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
    }
    // closed with the object: the file is free again
    HANDLE writer = CreateFileW(file.path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    CloseHandle(writer);
}

TEST(DibFileTest, OpensJapanesePathsAndReadsFromThePosition)
{
    // 駒.bmp, with other data in front of the bitmap
    std::vector<std::uint8_t> bytes(10, 0x77);
    BmpFile f;
    f.width = 9;
    const std::vector<std::uint8_t> bmp = f.Bytes();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    TempFile file(L"\u99D2.bmp", bytes);
    Win32FileSource source;
    ASSERT_TRUE(source.Open(file.Utf8Path(), Win32FileSource::Sharing::Exclusive));
    EXPECT_EQ(source.Size(), static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(source.Seek(10));
    EXPECT_EQ(source.Position(), 10);
    CDIB dib;
    ASSERT_TRUE(dib.Read(source));
    EXPECT_EQ(dib.GetWidth(), 9);
    EXPECT_EQ(dib.GetBitsSize(), f.Pixels().size());

    Win32FileSource missing;
    EXPECT_FALSE(missing.Open(Utf8(TempPath(L"veloma_no_such_file.bmp")), Win32FileSource::Sharing::Exclusive));
    unsigned char byte;
    EXPECT_EQ(missing.Read(&byte, 1), 0u);
    EXPECT_EQ(missing.Size(), -1);
}

namespace {

// Answers the message box that Load shows, noting its text.
std::wstring g_boxText;
int g_boxes = 0;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    wchar_t text[256] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text control
    g_boxText = text;
    ++g_boxes;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST(DibFileTest, LoadTellsWhyAFileWasNotTaken)
{
    TempFile good(L"veloma_load_good.bmp", BmpFile{}.Bytes());
    TempFile bad(L"veloma_load_bad.bmp", With(0, 2, 8).Bytes());
    struct Case {
        std::string path;
        bool ok;
        const wchar_t* message;  // null: none
    };
    const Case cases[] = {
        {good.Utf8Path(), true, nullptr},
        {bad.Utf8Path(), false, L"Failed to load file"},
        {Utf8(TempPath(L"veloma_no_such_file.bmp")), false, L"Failed to open file"},
    };
    for (const Case& c : cases) {
        g_boxText.clear();
        g_boxes = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBox);
        CDIB dib;
        EXPECT_EQ(dib.Load(c.path), c.ok) << c.path;
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_boxes, c.message ? 1 : 0) << c.path;
        if (c.message)
            EXPECT_EQ(g_boxText, c.message) << c.path;
        EXPECT_EQ(dib.GetWidth(), c.ok ? 4 : 16) << c.path;
    }
}
