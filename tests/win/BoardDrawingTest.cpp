#include "win/BoardProbe.h"

#include "image/CDIB.h"
#include "image/DibFile_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace boardprobe;

namespace {

// The strip as the test expects it: its own reading of the file and its
// own stretch of every slot's picture.
Pixels ExpectedSlots(const std::string& path, int cellSize)
{
    Win32FileSource file;
    CDIB dib;
    if (!file.Open(path, Win32FileSource::Sharing::DenyWrite) || !dib.Read(file))
        return {};
    ClientDC screen(nullptr);
    MemoryDC mem(screen.Handle());
    GdiBitmap bitmap(CreateCompatibleBitmap(screen.Handle(), 6 * cellSize, cellSize));
    SelectGuard keep(mem.Handle(), bitmap.Get());
    SetStretchBltMode(mem.Handle(), COLORONCOLOR);
    const int rows[] = {0, 1, 3, 5, 7, 9};
    for (int slot = 0; slot < 6; ++slot)
        StretchDIBits(mem.Handle(), slot * cellSize, 0, cellSize, cellSize, 0, 320 - 32 * rows[slot], 32, 32,
                      dib.m_pBits.get(), reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS,
                      SRCCOPY);
    return Capture(mem.Handle(), 0, 0, 6 * cellSize, cellSize);
}

struct LoadedBoard {
    BoardHost host;
    ProbeBoard board;
    bool Make(int width, int height)
    {
        if (!host.Create(width, height))
            return false;
        return board.Create(0, WS_CHILD | WS_VISIBLE, host.Client(), host.Handle(), 0, nullptr) != FALSE;
    }
};

bool AllOf(const Pixels& p, int left, int top, int w, int h, COLORREF colour, std::string* where)
{
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            if (p.At(x, y) != colour) {
                char text[80];
                std::snprintf(text, sizeof text, "(%d,%d): got %06lx, wanted %06lx", x, y,
                              static_cast<unsigned long>(p.At(x, y)), static_cast<unsigned long>(colour));
                *where = text;
                return false;
            }
    return true;
}

} // namespace

// Each slot is its image row stretched to the cell size; a size out of
// range is brought within 1..128 so that the seven slots fit the strip.
TEST(BoardDrawingTest, StripSlotsHoldTheScaledRows)
{
    TempFile image(L"veloma_strip.bmp", PieceBmp(256, 352));
    const struct {
        int asked, used;
    } sizes[] = {{18, 18}, {36, 36}, {32, 32}, {128, 128}, {300, 128}};
    const int rows[] = {0, 1, 3, 5, 7, 9};
    for (const auto& s : sizes) {
        SCOPED_TRACE("cell size " + std::to_string(s.asked));
        LoadedBoard b;
        ASSERT_TRUE(b.Make(300, 260));
        b.board.CellSize = s.asked;
        ASSERT_TRUE(b.board.LoadPieces(image.Path()));
        ASSERT_TRUE(b.board.HasStrip());
        ASSERT_EQ(b.board.CellSize, s.used);

        const Pixels strip = Capture(b.board.StripDC(), 0, 0, 6 * s.used, s.used);
        const Pixels want = ExpectedSlots(image.Path(), s.used);
        ASSERT_EQ(want.width, 6 * s.used);
        for (int slot = 0; slot < 6; ++slot) {
            std::string where;
            EXPECT_TRUE(strip.Same(want, slot * s.used, 0, s.used, s.used, slot * s.used, 0, &where))
                << "slot " << slot << " " << where;
            // And by colour alone: the right row, the right way up.
            const int mid = s.used / 2 + s.used / 4;
            EXPECT_EQ(strip.At(slot * s.used + mid, mid), IndexColour(PictureIndex(rows[slot], 0))) << "slot " << slot;
            EXPECT_EQ(strip.At(slot * s.used, 0), IndexColour(CornerIndex(rows[slot], 0))) << "slot " << slot;
        }
    }
}

TEST(BoardDrawingTest, FillOptionsPaintTheirSlotsInTheFillColour)
{
    TempFile image(L"veloma_fill.bmp", PieceBmp(128, 352));
    // The stored colour's top byte would make it a palette index.
    const std::uint32_t stored = 0x01336699;
    const COLORREF fill = RGB(0x99, 0x66, 0x33);
    const struct {
        int blank, dovi;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const int size = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE("BlankOption " + std::to_string(c.blank) + " DoviOption " + std::to_string(c.dovi));
        LoadedBoard b;
        ASSERT_TRUE(b.Make(200, 120));
        b.board.CellSize = size;
        b.board.BlankOption = c.blank;
        b.board.DoviOption = c.dovi;
        b.board.BCCol = stored;
        ASSERT_TRUE(b.board.LoadPieces(image.Path()));
        const Pixels strip = Capture(b.board.StripDC(), 0, 0, 6 * size, size);
        const Pixels want = ExpectedSlots(image.Path(), size);
        std::string where;
        if (c.blank)
            EXPECT_TRUE(AllOf(strip, 0, 0, size, size, fill, &where)) << "slot 0 " << where;
        else
            EXPECT_TRUE(strip.Same(want, 0, 0, size, size, 0, 0, &where)) << "slot 0 " << where;
        if (c.dovi)
            EXPECT_TRUE(AllOf(strip, size, 0, 5 * size, size, fill, &where)) << "slots 1-5 " << where;
        else
            EXPECT_TRUE(strip.Same(want, size, 0, 5 * size, size, size, 0, &where)) << "slots 1-5 " << where;

        // On screen after a paint: every cell is its slot.
        b.board.TakeTimer(1);
        Repaint(b.board.Handle());
        const Pixels screen = CaptureWindow(b.board.Handle());
        for (int x = 0; x < b.board.m_nCols; ++x)
            for (int y = 0; y < b.board.m_nRows; ++y) {
                const int slot = b.board.Cell(x, y) & 0x0F;
                EXPECT_TRUE(screen.Same(strip, b.board.m_nOffsetX + x * size, b.board.m_nOffsetY + y * size, size,
                                        size, slot * size, 0, &where))
                    << "cell " << x << "," << y << " " << where;
            }
    }
}

// Every reason to refuse an image gives the same result: FALSE, no image,
// no palette, timer 1 stopped, a black window at the next paint, and the
// path of the last good image kept.
TEST(BoardDrawingTest, LoadChecksTheImage)
{
    TempFile good(L"veloma_good.bmp", PieceBmp(256, 352));
    TempFile four(L"veloma_four.bmp", PieceBmp(128, 352));
    TempFile one(L"veloma_one.bmp", PieceBmp(32, 352));
    TempFile deep(L"veloma_24.bmp", PieceBmp(64, 352, 24));
    TempFile japanese(L"veloma_コマ.bmp", PieceBmp(96, 352));
    TempFile narrow(L"veloma_100.bmp", PieceBmp(100, 352));
    TempFile low(L"veloma_320.bmp", PieceBmp(128, 320));
    TempFile topDown(L"veloma_topdown.bmp", PieceBmp(128, -352));
    TempFile text(L"veloma_text.bmp", std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    std::vector<std::uint8_t> cut = PieceBmp(128, 352);
    cut.resize(cut.size() / 2);
    TempFile truncated(L"veloma_cut.bmp", cut);
    TempFile locked(L"veloma_locked.bmp", PieceBmp(128, 352));
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::string folder = Narrow(dir);

    HANDLE holder = CreateFileW(Widen(locked.Path()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const struct {
        const char* name;
        std::string path;
        int frames;  // 0: refused
    } cases[] = {
        {"256 wide", good.Path(), 8},
        {"128 wide", four.Path(), 4},
        {"32 wide", one.Path(), 1},
        {"24-bit", deep.Path(), 2},
        {"Japanese name", japanese.Path(), 3},
        {"100 wide", narrow.Path(), 0},
        {"320 high", low.Path(), 0},
        {"top-down", topDown.Path(), 0},
        {"not a bitmap", text.Path(), 0},
        {"truncated", truncated.Path(), 0},
        {"open elsewhere", locked.Path(), 0},
        {"empty path", "", 0},
        {"missing", folder + "veloma_missing.bmp", 0},
        {"a folder", folder, 0},
    };
    LoadedBoard b;
    ASSERT_TRUE(b.Make(160, 120));
    b.board.CellSize = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(b.board.LoadPieces(good.Path()));
        const BOOL loaded = b.board.LoadPieces(c.path);
        EXPECT_EQ(loaded != FALSE, c.frames > 0);
        if (c.frames > 0) {
            EXPECT_EQ(b.board.m_nFrames, c.frames);
            EXPECT_EQ(b.board.Bitmap, c.path);
            EXPECT_TRUE(b.board.m_pDib != nullptr);
            EXPECT_TRUE(b.board.TakeTimer(1)) << "a good load starts play";
            continue;
        }
        EXPECT_FALSE(b.board.HasImage());
        EXPECT_TRUE(b.board.m_pDib == nullptr);
        EXPECT_FALSE(b.board.m_palette);
        EXPECT_EQ(b.board.Bitmap, good.Path());
        EXPECT_FALSE(b.board.TakeTimer(1)) << "timer 1 must be stopped";
        Repaint(b.board.Handle());
        const Pixels screen = CaptureWindow(b.board.Handle());
        std::string where;
        EXPECT_TRUE(AllOf(screen, 0, 0, screen.width, screen.height, RGB(0, 0, 0), &where)) << where;
        // Nothing to play: ticks that were already on their way do nothing.
        b.board.ClearLog();
        b.board.Tick(1);
        EXPECT_TRUE(b.board.frames.empty() && b.board.animDrawn.empty());
    }
    CloseHandle(holder);
}

// A 256-colour image brings its palette into the window's and the memory
// context; the next load puts the old one back and deletes the first
// palette before anything else happens.
TEST(BoardDrawingTest, PaletteLivesFromItsImageToTheNextLoad)
{
    TempFile indexed(L"veloma_pal.bmp", PieceBmp(64, 352));
    TempFile deep(L"veloma_pal24.bmp", PieceBmp(64, 352, 24));
    BmpFile sixteen;
    sixteen.width = 32, sixteen.height = 352, sixteen.clrUsed = 16;
    TempFile fewColours(L"veloma_pal16.bmp", sixteen.Bytes());

    LoadedBoard b;
    ASSERT_TRUE(b.Make(100, 100));
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));

    ASSERT_TRUE(b.board.LoadPieces(indexed.Path()));
    HPALETTE first = b.board.m_palette.Get();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(b.board.m_pOldPalette, nullptr);
    EXPECT_EQ(GetCurrentObject(b.board.StripDC(), OBJ_PAL), first);
    PALETTEENTRY entry{};
    ASSERT_EQ(GetPaletteEntries(first, 200, 1, &entry), 1u);
    EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), IndexColour(200));

    ASSERT_TRUE(b.board.LoadPieces(indexed.Path()));
    HPALETTE second = b.board.m_palette.Get();
    EXPECT_EQ(GetObjectType(first), 0u) << "the first palette must be deleted";
    EXPECT_EQ(GetCurrentObject(b.board.StripDC(), OBJ_PAL), second);

    const struct {
        const char* name;
        std::string path;
        bool loads;
    } withoutPalette[] = {
        {"24-bit", deep.Path(), true},
        {"16 colours", fewColours.Path(), true},
        {"refused", "", false},
    };
    for (const auto& c : withoutPalette) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(b.board.LoadPieces(indexed.Path()));
        HPALETTE before = b.board.m_palette.Get();
        EXPECT_EQ(b.board.LoadPieces(c.path) != FALSE, c.loads);
        EXPECT_EQ(GetObjectType(before), 0u);
        EXPECT_FALSE(b.board.m_palette);
        EXPECT_EQ(b.board.m_pOldPalette, nullptr);
        EXPECT_EQ(GetCurrentObject(b.board.StripDC(), OBJ_PAL), stock);
    }
}

TEST(BoardDrawingTest, PaintIsBlackWithoutImageOrWhenBlackedOut)
{
    TempFile image(L"veloma_paint.bmp", PieceBmp(64, 352));
    LoadedBoard b;
    ASSERT_TRUE(b.Make(120, 100));
    b.board.CellSize = 20;
    ASSERT_TRUE(b.board.LoadPieces(image.Path()));
    b.board.TakeTimer(1);
    Repaint(b.board.Handle());
    Pixels screen = CaptureWindow(b.board.Handle());
    // The grid shows pieces (never black in our test image)...
    EXPECT_NE(screen.At(b.board.m_nOffsetX + 10, b.board.m_nOffsetY + 10), RGB(0, 0, 0));

    b.board.BlackOut();
    Repaint(b.board.Handle());
    screen = CaptureWindow(b.board.Handle());
    std::string where;
    EXPECT_TRUE(AllOf(screen, 0, 0, screen.width, screen.height, RGB(0, 0, 0), &where)) << where;

    // ...and a new board ends the black-out.
    b.board.NewBoard();
    b.board.TakeTimer(1);
    Repaint(b.board.Handle());
    screen = CaptureWindow(b.board.Handle());
    EXPECT_NE(screen.At(b.board.m_nOffsetX + 10, b.board.m_nOffsetY + 10), RGB(0, 0, 0));
}
