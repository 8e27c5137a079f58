#include "app/PreviewSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewSettingsTest, CellSizeFromStoredSize)
{
    const struct {
        int stored;
        int want;
    } cases[] = {
        {32, 18}, {64, 36}, {96, 36}, {128, 36}, {63, 18}, {50, 18}, {0, 18}, {-5, 18}, {100000, 36},
    };
    for (const auto& c : cases) {
        SaverSettings s;
        s.CellSize = c.stored;
        ApplyPreviewSettings(s);
        EXPECT_EQ(s.CellSize, c.want) << "stored CellSize " << c.stored;
    }
}

TEST(PreviewSettingsTest, SilentAndNeverBlackedOut)
{
    SaverSettings s;
    s.MIDI = "C:\\music\\a.mid";
    s.Select = "C:\\wave\\s.wav";
    s.Disappear = "C:\\wave\\d.wav";
    s.BGM = 1;
    s.Sound = 1;
    s.BlackOutTime = 15;
    s.Bitmap = "C:\\pieces.bmp";
    s.AnimIntrvl = 120;
    ApplyPreviewSettings(s);
    EXPECT_EQ(s.MIDI, "");
    EXPECT_EQ(s.Select, "");
    EXPECT_EQ(s.Disappear, "");
    EXPECT_EQ(s.BlackOutTime, 0);
    // The rest is the stored settings.
    EXPECT_EQ(s.Bitmap, "C:\\pieces.bmp");
    EXPECT_EQ(s.AnimIntrvl, 120);
    EXPECT_EQ(s.BGM, 1);
    EXPECT_EQ(s.Sound, 1);
}

}  // namespace
