#include "settings/DialogValues.h"
#include "settings/Password.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/SettingsFakes.h"

namespace {

// Each stored value has a button of its own, which gives the value back.
TEST(DialogValuesTest, RadioButtonsGiveTheirValuesBack)
{
    const struct { int (*button)(int); int (*value)(int); std::set<int> values; } groups[] = {
        {SizeButton, CellSizeOf, {32, 64, 96, 128}}, {PatternButton, CellArrOf, {1, 2, 3, 4, 5}},
        {NumberButton, CellNoOf, {3, 4, 5}}};
    for (const auto& g : groups) {
        std::set<int> buttons;
        for (int v : g.values)
            EXPECT_EQ(g.value(*buttons.insert(g.button(v)).first), v);
        EXPECT_EQ(buttons.size(), g.values.size());
    }
}

TEST(DialogValuesTest, ScrollSteps)
{
    const int kMax = 2147483647;
    // low, high: the bar's range
    const struct { const char* what; const ScrollRule& rule; int low, high, code, pos, thumb, want; } cases[] = {
        {"black-out End holds at 120", kSettingsScroll, 0, 120, kScrollRight, 30, 0, 120},
        {"black-out Home is 1, not 0", kSettingsScroll, 0, 120, kScrollLeft, 30, 0, 1},
        {"speed Home lands on 50", kSettingsScroll, 50, 200, kScrollLeft, 120, 0, 50},
        {"line left", kSettingsScroll, 50, 200, kScrollLineLeft, 120, 0, 119},
        {"line right to the end", kSettingsScroll, 50, 200, kScrollLineRight, 199, 0, 200},
        {"page left stops at the bar's end", kSettingsScroll, 50, 200, kScrollPageLeft, 55, 0, 50},
        {"thumb past the rule's limit", kSettingsScroll, 0, 500, kScrollThumbTrack, 50, 500, 200},
        {"unknown request keeps it", kSettingsScroll, 50, 200, 99, 120, 0, 120},
        {"colour Home", kColourScroll, 0, 255, kScrollLeft, 200, 0, 0},
        {"colour thumb below 0", kColourScroll, 0, 255, kScrollThumbTrack, 50, -3, 0},
        {"position at the int limit", kColourScroll, 0, 255, kScrollLineRight, kMax, 0, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampToRange(ScrollStep(c.rule, c.code, c.pos, c.thumb), c.low, c.high), c.want) << c.what;
}

TEST(DialogValuesTest, PreviewCellSizeColourPartsAndAreas)
{
    const struct { int stored, want; } sizes[] = {
        {32, 24}, {50, 30}, {0, 12},
        // Hand-edited sizes stay inside what the board can draw.
        {-2147483647 - 1, 12}, {1000, 128}, {2147483647, 128},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(PreviewCellSize(c.stored), c.want) << "stored CellSize " << c.stored;

    EXPECT_EQ(ColourOf(1, 2, 3), 0x030201u);
    EXPECT_EQ(ColourOf(-1, 256, 255), 0xFFFF00u);
    // A stored colour with a top byte keeps only its three parts.
    const ColourParts p = PartsOf(0xAB030201u);
    EXPECT_EQ(std::to_string(p.red) + "," + std::to_string(p.green) + "," + std::to_string(p.blue), "1,2,3");

    // The colour dialog's two image boxes sit right of the sample, 64 wide
    // 10 apart at 96 DPI, scaled to the dialog's.
    const ColourAreas a = ColourDialogAreas(AreaRect{10, 10, 60, 70}, 144);
    EXPECT_TRUE(a.sample.right == 60 && a.firstBox.left == 75 && a.firstBox.bottom == 106 && a.secondBox.left == 171 &&
                a.secondBox.right == 267 && a.mouseArea.left == 75 && a.mouseArea.right == 267);
}

TEST(DialogValuesTest, BlackOutTimeHeldToTheLowPowerTimeOut)
{
    const struct { int stored; long lowPower; int want; } cases[] = {
        {30, 15, 15}, {30, 0, 30}, {30, 30, 30}, {120, 1, 1}, {0, 15, 0}, {-3, 15, -3}};
    for (const auto& c : cases)
        EXPECT_EQ(LimitBlackOutTime(c.stored, c.lowPower), c.want) << c.stored << " min, low power " << c.lowPower;

    // The dialog starts from the stored settings with the desktop's limit
    // and without the password, and writes nothing.
    FakeRegistry registry;
    registry.SetText("Software\\Tamsk soft\\VelomaSS\\System", "BlackOutTime", "30");
    registry.SetText("Software\\Tamsk soft\\VelomaSS\\System", "PassWord", "secret");
    registry.SetText("Control Panel\\desktop", "ScreenSaveLowPowerActive", "1");
    registry.SetText("Control Panel\\desktop", "ScreenSaveLowPowerTimeOut", "900");
    Settings s;
    std::string colour;
    ReadDialogSettings(s, colour, registry);
    EXPECT_EQ(std::to_string(s.BlackOutTime) + " " + colour + " " + s.PassWord, "15 000000 ");
    EXPECT_TRUE(registry.writes.empty());

    // The colour keeps the text it was read from, in any spelling, until it changes.
    EXPECT_EQ(SavedColourText("00FF", 0xFF, 0xFF), "00FF");
    EXPECT_EQ(SavedColourText("00FF", 0xFF, 0xAFF), "aff");
}

TEST(DialogValuesTest, PasswordChange)
{
    using A = PasswordChangeAction;
    const struct { bool focusOnOk; const char *newPassword, *confirmation; A want; } cases[] = {
        {false, "abc", "abc", A::NextControl},  // Enter in a text box never stores
        {true, "abc", "", A::FocusConfirmation}, {true, "", "", A::Store},  // both empty removes it
        {true, "秘密", "秘密", A::Store},        {true, "", "abc", A::Mismatch},
        {true, "abc", "ABC", A::Mismatch},      {true, "abc", "ab", A::Mismatch},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(DecidePasswordChange(c.focusOnOk, c.newPassword, c.confirmation)),
                  static_cast<int>(c.want))
            << "focus on OK " << c.focusOnOk << ", '" << c.newPassword << "' / '" << c.confirmation << "'";
}

TEST(DialogValuesTest, BitmapCheck)
{
    const std::string stored = "D:\\pieces.bmp", byDefault = "C:\\Saver\\velomass.bmp";
    const struct { std::string stored, exists; BitmapFound want; std::string wantPath; } cases[] = {
        {stored, stored, BitmapFound::Stored, stored},
        {"D:\\gone.bmp", byDefault, BitmapFound::Default, byDefault},
        {"", byDefault, BitmapFound::Default, byDefault},
        {"D:\\gone.bmp", "velomass.bmp", BitmapFound::Missing, "velomass.bmp"},
        // the default in use: our image, wherever the board finds it, and no message
        {"", "D:\\elsewhere\\velomass.bmp", BitmapFound::Ours, "velomass.bmp"},
        {"Velomass.bmp", "", BitmapFound::Ours, "velomass.bmp"},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        files.Add(c.exists);
        std::string bitmap = c.stored;
        EXPECT_EQ(FindDialogBitmap(bitmap, files), c.want) << "stored \"" << c.stored << "\"";
        EXPECT_EQ(bitmap, c.wantPath) << "stored \"" << c.stored << "\"";
    }
}

}  // namespace
