#include "platform/Gdi.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
