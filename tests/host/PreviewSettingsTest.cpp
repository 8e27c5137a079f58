#include "app/PreviewSettings.h"

#include <gtest/gtest.h>

namespace {

// Small cells, silent, never blacked out; the rest as stored.
TEST(PreviewSettingsTest, SmallCellsNoSoundNoBlackOut)
{
    const struct { int stored, want; } cases[] = {{32, 18}, {63, 18}, {64, 36}, {128, 36}, {-5, 18}, {100000, 36}};
    for (const auto& c : cases) {
        Settings s;
        s.CellSize = c.stored;
        s.MIDI = "C:\\music\\a.mid", s.Select = "C:\\wave\\s.wav", s.Disappear = "C:\\wave\\d.wav";
        s.BGM = s.Sound = 1;
        s.BlackOutTime = 15;
        s.AnimIntrvl = 120;
        ApplyPreviewSettings(s);
        EXPECT_EQ(s.CellSize, c.want) << "stored CellSize " << c.stored;
        EXPECT_EQ(s.MIDI + s.Select + s.Disappear, "") << "sound files left";
        EXPECT_EQ(s.BlackOutTime, 0);
        EXPECT_EQ(s.AnimIntrvl + s.BGM + s.Sound, 122);
    }
}

}  // namespace
