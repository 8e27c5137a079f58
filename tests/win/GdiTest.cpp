#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsLiveObject(HGDIOBJ object)
{
    return GetObjectType(object) != 0;
}

TEST(GdiTest, SelectGuardPutsThePreviousObjectBack)
{
    MemoryDC dc;
    ASSERT_TRUE(dc);
    HGDIOBJ original = GetCurrentObject(dc.Handle(), OBJ_BITMAP);
    GdiBitmap bitmap(CreateBitmap(4, 4, 1, 1, nullptr));
    ASSERT_TRUE(bitmap);
    {
        SelectGuard guard(dc.Handle(), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_BITMAP), original);
    // Deselected, so it can really be deleted now.
    HBITMAP raw = bitmap.Get();
    bitmap.Reset();
    EXPECT_FALSE(IsLiveObject(raw));
}

TEST(GdiTest, OwnershipMovesAndIsReleasedOnce)
{
    HBITMAP raw = CreateBitmap(2, 2, 1, 1, nullptr);
    {
        GdiBitmap a(raw);
        GdiBitmap b(std::move(a));
        EXPECT_EQ(a.Get(), nullptr);
        EXPECT_EQ(b.Get(), raw);
        GdiBitmap c;
        c = std::move(b);
        EXPECT_EQ(c.Get(), raw);
        EXPECT_TRUE(IsLiveObject(raw));
    }
    EXPECT_FALSE(IsLiveObject(raw)) << "the last owner did not delete the bitmap";

    // Assigning over an owner deletes what it held.
    HBITMAP first = CreateBitmap(2, 2, 1, 1, nullptr);
    HBITMAP second = CreateBitmap(2, 2, 1, 1, nullptr);
    GdiBitmap holder(first);
    holder = GdiBitmap(second);
    EXPECT_FALSE(IsLiveObject(first));
    EXPECT_TRUE(IsLiveObject(second));

    // Release hands the handle back without deleting it.
    HBITMAP released = holder.Release();
    EXPECT_EQ(holder.Get(), nullptr);
    EXPECT_TRUE(IsLiveObject(released));
    DeleteObject(released);
}

TEST(GdiTest, MemoryDCMovesAndDeletesOnce)
{
    MemoryDC a;
    HDC raw = a.Handle();
    ASSERT_NE(raw, nullptr);
    {
        MemoryDC b(std::move(a));
        EXPECT_EQ(a.Handle(), nullptr);
        EXPECT_EQ(b.Handle(), raw);
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(GdiTest, PaletteGuardRestoresTheDefaultPalette)
{
    MemoryDC dc;
    HGDIOBJ original = GetCurrentObject(dc.Handle(), OBJ_PAL);
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[1];
    } pal{};
    pal.head.palVersion = 0x300;
    pal.head.palNumEntries = 2;
    pal.head.palPalEntry[0] = {255, 0, 0, 0};
    pal.more[0] = {0, 0, 255, 0};
    GdiPalette palette(CreatePalette(&pal.head));
    ASSERT_TRUE(palette);
    {
        PaletteGuard guard(dc.Handle(), palette.Get());
        EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_PAL), palette.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_PAL), original);
}

}  // namespace
