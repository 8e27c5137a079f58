#include "win/BoardProbe.h"

#include <gtest/gtest.h>

using namespace boardprobe;

// Each slot is its image row stretched to the cell size, or BCCol (its top
// byte dropped) where BlankOption / DoviOption ask for it; a cell size above
// 128 is brought down so that the seven slots fit the strip. A new layout
// blacks the whole window first, so nothing stale stays in the margins.
TEST(BoardDrawingTest, StripSlotsHoldTheScaledRowsOrTheFillColour)
{
    TempFile image(L"veloma_strip.bmp", PieceBmp(256, 352));
    const COLORREF fill = RGB(0x99, 0x66, 0x33);
    const struct { int asked, used, blank, dovi; } cases[] = {
        {18, 18, 0, 0}, {36, 36, 1, 0}, {300, 128, 0, 1}, {128, 128, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("cell size " + std::to_string(c.asked) + " blank " + std::to_string(c.blank) + " dovi " +
                     std::to_string(c.dovi));
        HostedBoard b;
        ASSERT_TRUE(b.Make(300, 260));
        b.board.CellSize = c.asked;
        b.board.BlankOption = c.blank;
        b.board.DoviOption = c.dovi;
        b.board.BCCol = 0x01336699;
        ASSERT_TRUE(b.board.LoadPieces(image.Path()));
        ASSERT_EQ(b.board.CellSize, c.used);
        const int size = c.used;
        const Pixels strip = Capture(b.board.StripDC(), 0, 0, 6 * size, size);
        const Pixels want = ScaledRows(image.Path(), size);
        ASSERT_EQ(want.width, 6 * size);
        const Pixels solid{size, size, std::vector<COLORREF>(size * size, fill)};
        for (int slot = 0; slot < 6; ++slot) {
            if (slot ? c.dovi : c.blank) {
                EXPECT_EQ(Diff(strip, slot * size, 0, size, size, solid, 0, 0), "") << "slot " << slot;
                continue;
            }
            EXPECT_EQ(Diff(strip, slot * size, 0, size, size, want, slot * size, 0), "") << "slot " << slot;
            // And by colour alone: the right row, the right way up.
            const int row = slot ? 2 * slot - 1 : 0, mid = size * 3 / 4;
            EXPECT_EQ(strip.At(slot * size + mid, mid), IndexColour(PictureIndex(row, 0))) << "slot " << slot;
            EXPECT_EQ(strip.At(slot * size, 0), IndexColour(CornerIndex(row, 0))) << "slot " << slot;
        }

        {
            ClientDC dc(b.board.Handle());
            const RECT all{0, 0, 300, 260};
            FillRect(dc.Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        b.board.ResetLayout();
        const Pixels shot = CaptureWindow(b.board.Handle());
        const int left = b.board.m_nOffsetX, top = b.board.m_nOffsetY;
        int stale = 0;
        for (int y = 0; y < 260; ++y)
            for (int x = 0; x < 300; ++x)
                stale += (x < left || y < top || x >= left + b.board.m_nCols * size || y >= top + b.board.m_nRows * size) &&
                         shot.At(x, y) != RGB(0, 0, 0);
        EXPECT_EQ(stale, 0) << "margin pixels not black, the grid at " << left << "," << top;
    }
}

// Every refused image gives the same result: FALSE, no image, no palette,
// timer 1 stopped, a black window at the next paint, the path of the last
// good image kept, and a later good load plays again.
TEST(BoardDrawingTest, LoadChecksTheImage)
{
    TempFile good(L"veloma_good.bmp", PieceBmp(256, 352));
    TempFile four(L"veloma_four.bmp", PieceBmp(128, 352));
    TempFile narrow(L"veloma_100.bmp", PieceBmp(100, 352));
    TempFile low(L"veloma_320.bmp", PieceBmp(128, 320));
    TempFile text(L"veloma_text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    TempFile locked(L"veloma_locked.bmp", PieceBmp(128, 352));
    const std::string folder = Narrow(good.dir);
    HANDLE holder = CreateFileW(Widen(locked.Path()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const struct { const char* name; std::string path; int frames; } cases[] = {
        {"128 wide", four.Path(), 4},
        {"100 wide", narrow.Path(), 0},
        {"320 high", low.Path(), 0},
        {"not a bitmap", text.Path(), 0},
        {"open elsewhere", locked.Path(), 0},
        {"missing", folder + "veloma_missing.bmp", 0},
        {"a folder", folder, 0},
    };
    HostedBoard b;
    ASSERT_TRUE(b.Make(160, 120));
    b.board.CellSize = 20;
    ASSERT_TRUE(b.board.LoadPieces(good.Path()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(b.board.LoadPieces(c.path) != FALSE, c.frames > 0);
        if (c.frames > 0) {
            EXPECT_EQ(b.board.m_nFrames, c.frames);
            EXPECT_EQ(b.board.Bitmap, c.path);
            EXPECT_TRUE(b.board.TakeTimer(1)) << "a good load starts play";
        } else {
            EXPECT_FALSE(b.board.HasImage() || b.board.m_pDib || b.board.m_palette);
            EXPECT_EQ(b.board.Bitmap, good.Path());
            EXPECT_FALSE(b.board.TakeTimer(1)) << "timer 1 must be stopped";
            EXPECT_EQ(NotAll(CaptureWindow(b.board.Handle(), true), RGB(0, 0, 0)), "");
        }
        ASSERT_TRUE(b.board.LoadPieces(good.Path()));
        EXPECT_EQ(b.board.m_nFrames, 8);
        EXPECT_TRUE(b.board.TakeTimer(1)) << "a good load after it plays again";
    }
    CloseHandle(holder);

    // No strip can be made without a window: a good image is refused too.
    ProbeBoard windowless;
    windowless.Bitmap = "before";
    EXPECT_FALSE(windowless.LoadPieces(good.Path()));
    EXPECT_FALSE(windowless.HasImage() || windowless.m_pDib);
    EXPECT_EQ(windowless.Bitmap, "before");
}

// A 256-colour image brings its palette into the window's and the memory
// context; the next load puts the old one back and deletes the palette
// first, whatever it loads then.
TEST(BoardDrawingTest, PaletteLivesFromItsImageToTheNextLoad)
{
    TempFile indexed(L"veloma_pal.bmp", PieceBmp(64, 352));
    BmpFile deepBmp;
    deepBmp.width = 64, deepBmp.height = 352, deepBmp.bitCount = 24;
    TempFile deep(L"veloma_pal24.bmp", deepBmp.Bytes());
    HostedBoard b;
    ASSERT_TRUE(b.Make(100, 100));
    const struct { const char* name; std::string path; bool loads, palette; } next[] = {
        {"256 colours again", indexed.Path(), true, true},
        {"24-bit", deep.Path(), true, false},
        {"refused", "", false, false},
    };
    for (const auto& c : next) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(b.board.LoadPieces(indexed.Path()));
        HPALETTE first = b.board.m_palette.Get();
        ASSERT_NE(first, nullptr);
        EXPECT_NE(b.board.m_pOldPalette, nullptr);
        EXPECT_EQ(GetCurrentObject(b.board.StripDC(), OBJ_PAL), first);
        PALETTEENTRY entry{};
        ASSERT_EQ(GetPaletteEntries(first, 200, 1, &entry), 1u);
        EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), IndexColour(200));

        EXPECT_EQ(b.board.LoadPieces(c.path) != FALSE, c.loads);
        EXPECT_EQ(GetObjectType(first), 0u) << "the first palette must be deleted";
        EXPECT_EQ(b.board.m_palette.Get() != nullptr, c.palette);
        EXPECT_EQ(b.board.m_pOldPalette != nullptr, c.palette);
        EXPECT_EQ(GetCurrentObject(b.board.StripDC(), OBJ_PAL),
                  c.palette ? b.board.m_palette.Get() : GetStockObject(DEFAULT_PALETTE));
    }
}
