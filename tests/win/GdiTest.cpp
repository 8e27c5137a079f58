#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsLive(HGDIOBJ object) { return GetObjectType(object) != 0; }

TEST(GdiTest, GuardsPutThePreviousObjectBack)
{
    MemoryDC dc;
    HGDIOBJ bitmapBefore = GetCurrentObject(dc.Handle(), OBJ_BITMAP);
    HGDIOBJ paletteBefore = GetCurrentObject(dc.Handle(), OBJ_PAL);
    GdiBitmap bitmap(CreateBitmap(4, 4, 1, 1, nullptr));
    LOGPALETTE pal{0x300, 1, {{255, 0, 0, 0}}};
    GdiPalette palette(CreatePalette(&pal));
    ASSERT_TRUE(dc && bitmap && palette);
    {
        SelectGuard guard(dc.Handle(), bitmap.Get());
        PaletteGuard paletteGuard(dc.Handle(), palette.Get());
        EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BITMAP), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_PAL), palette.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BITMAP), bitmapBefore);
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_PAL), paletteBefore);
}

TEST(GdiTest, OwnershipMovesAndIsReleasedOnce)
{
    HBITMAP raw = CreateBitmap(2, 2, 1, 1, nullptr);
    HDC rawDC = nullptr;
    {
        GdiBitmap a(raw), b(std::move(a));
        MemoryDC dcA;
        rawDC = dcA.Handle();
        MemoryDC dcB(std::move(dcA));
        EXPECT_EQ(a.Get(), nullptr);
        EXPECT_EQ(dcA.Handle(), nullptr);
        EXPECT_TRUE(IsLive(raw) && IsLive(rawDC));
        // Assigning over an owner deletes what it held.
        b = GdiBitmap(CreateBitmap(2, 2, 1, 1, nullptr));
        EXPECT_FALSE(IsLive(raw));
        raw = b.Get();
    }
    EXPECT_FALSE(IsLive(raw)) << "the last owner did not delete the bitmap";
    EXPECT_FALSE(IsLive(rawDC)) << "the last owner did not delete the device context";
}

}  // namespace
