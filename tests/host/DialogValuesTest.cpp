#include "settings/DialogValues.h"

#include <gtest/gtest.h>

#include <string>

#include "host/SettingsFakes.h"
#include "res/SettingsIds.h"
#include "sound/PlayList.h"

namespace {

const std::string kSystem = "Software\\Tamsk soft\\VelomaSS\\System";
const std::string kSound = "Software\\Tamsk soft\\VelomaSS\\Sound";
const std::string kDesktop = "Control Panel\\desktop";

TEST(DialogValuesTest, ScrollSteps)
{
    const int kMin = -2147483647 - 1, kMax = 2147483647;
    const struct {
        const char* what;
        const ScrollRule& rule;
        int low, high;  // the bar's range
        int code, pos, thumb;
        int want;
    } cases[] = {
        {"speed End", kSettingsScroll, 50, 200, kScrollRight, 120, 0, 200},
        {"black-out End holds at 120", kSettingsScroll, 0, 120, kScrollRight, 30, 0, 120},
        {"black-out Home is 1, not 0", kSettingsScroll, 0, 120, kScrollLeft, 30, 0, 1},
        {"speed Home lands on 50", kSettingsScroll, 50, 200, kScrollLeft, 120, 0, 50},
        {"line left", kSettingsScroll, 50, 200, kScrollLineLeft, 120, 0, 119},
        {"line right", kSettingsScroll, 50, 200, kScrollLineRight, 120, 0, 121},
        {"page left stops at the bar's end", kSettingsScroll, 50, 200, kScrollPageLeft, 55, 0, 50},
        {"page right", kSettingsScroll, 0, 120, kScrollPageRight, 100, 0, 110},
        {"thumb", kSettingsScroll, 0, 120, kScrollThumbPosition, 12, 64, 64},
        {"thumb past the rule's limit", kSettingsScroll, 0, 500, kScrollThumbTrack, 50, 500, 200},
        {"unknown request keeps it", kSettingsScroll, 50, 200, 99, 120, 0, 120},
        {"colour End", kColourScroll, 0, 255, kScrollRight, 3, 0, 255},
        {"colour Home", kColourScroll, 0, 255, kScrollLeft, 200, 0, 0},
        {"colour page right stops at 255", kColourScroll, 0, 255, kScrollPageRight, 250, 0, 255},
        {"colour thumb below 0", kColourScroll, 0, 255, kScrollThumbTrack, 50, -3, 0},
        {"position at the int limit", kColourScroll, 0, 255, kScrollLineRight, kMax, 0, 255},
        {"position at the int floor", kSettingsScroll, 0, 120, kScrollPageLeft, kMin, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampToRange(ScrollStep(c.rule, c.code, c.pos, c.thumb), c.low, c.high), c.want) << c.what;
}

TEST(DialogValuesTest, RadioButtons)
{
    // Each button gives its value, and the value shows that button again.
    const struct {
        int button;
        int (*valueOf)(int);
        int (*buttonFor)(int);
        int value;
    } buttons[] = {
        {IDC_PATTERN_RANDOM, CellArrOf, PatternButton, 1}, {IDC_PATTERN_LINE, CellArrOf, PatternButton, 2},
        {IDC_PATTERN_SQUARE, CellArrOf, PatternButton, 3}, {IDC_PATTERN_HLINE, CellArrOf, PatternButton, 4},
        {IDC_PATTERN_VLINE, CellArrOf, PatternButton, 5},  {IDC_NUMBER_3, CellNoOf, NumberButton, 3},
        {IDC_NUMBER_4, CellNoOf, NumberButton, 4},         {IDC_NUMBER_5, CellNoOf, NumberButton, 5},
        {IDC_SIZE_1, CellSizeOf, SizeButton, 32},          {IDC_SIZE_2, CellSizeOf, SizeButton, 64},
        {IDC_SIZE_3, CellSizeOf, SizeButton, 96},          {IDC_SIZE_4, CellSizeOf, SizeButton, 128},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.valueOf(b.button), b.value) << "button " << b.button;
        EXPECT_EQ(b.buttonFor(b.value), b.button) << "value " << b.value;
    }
    // Other stored values show the last button of the group.
    for (int cellSize : {50, 0, -1})
        EXPECT_EQ(SizeButton(cellSize), IDC_SIZE_4) << "CellSize " << cellSize;
    for (int cellArr : {0, 9, -1})
        EXPECT_EQ(PatternButton(cellArr), IDC_PATTERN_VLINE) << "CellArr " << cellArr;
    for (int cellNo : {7, 0})
        EXPECT_EQ(NumberButton(cellNo), IDC_NUMBER_5) << "CellNo " << cellNo;
    // Ids of another group stand for nothing.
    EXPECT_EQ(CellSizeOf(IDC_NUMBER_3), 0);
    EXPECT_EQ(CellArrOf(IDC_SIZE_1), 0);
    EXPECT_EQ(CellNoOf(IDC_PATTERN_RANDOM), 0);
}

TEST(DialogValuesTest, PreviewCellSize)
{
    const struct {
        int stored, want;
    } cases[] = {
        {32, 24}, {64, 36}, {96, 48}, {128, 60}, {50, 30}, {0, 12}, {200, 87},
        // Hand-edited sizes stay inside what the board can draw.
        {-32, 12}, {-2147483647 - 1, 12}, {1000, 128}, {2147483647, 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewCellSize(c.stored), c.want) << "stored CellSize " << c.stored;
}

TEST(DialogValuesTest, ColourParts)
{
    EXPECT_EQ(ColourOf(1, 2, 3), 0x030201u);
    const ColourParts p = PartsOf(0x030201u);
    EXPECT_EQ(std::to_string(p.red) + "," + std::to_string(p.green) + "," + std::to_string(p.blue), "1,2,3");
    // A stored colour with a top byte keeps only its three parts.
    const ColourParts odd = PartsOf(0xAB123456u);
    EXPECT_EQ(ColourOf(odd.red, odd.green, odd.blue), 0x123456u);
}

TEST(DialogValuesTest, BlackOutTimeHeldToTheLowPowerTimeOut)
{
    const struct {
        const char* what;
        const char* active;  // null: value missing
        const char* timeOut;
        const char* stored;
        int want;
    } cases[] = {
        {"900 s and 30 min", "1", "900", "30", 15},
        {"inactive", "0", "900", "30", 30},
        {"active missing", nullptr, "900", "30", 30},
        {"under 60 s is no limit", "1", "59", "30", 30},
        {"time-out missing", "1", nullptr, "30", 30},
        {"equal to the limit", "1", "1800", "30", 30},
        {"negative time-out is no limit", "1", "-600", "30", 30},
        {"120 min to 1 min", "1", "60", "120", 1},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.SetText(kSystem, "BlackOutTime", c.stored);
        registry.keys[kDesktop];
        if (c.active)
            registry.SetText(kDesktop, "ScreenSaveLowPowerActive", c.active);
        if (c.timeOut)
            registry.SetText(kDesktop, "ScreenSaveLowPowerTimeOut", c.timeOut);
        Settings s;
        std::string colour;
        ReadDialogSettings(s, colour, registry);
        EXPECT_EQ(s.BlackOutTime, c.want) << c.what;
        EXPECT_TRUE(registry.Writes().empty()) << c.what << ": opening must write nothing";
    }
}

TEST(DialogValuesTest, DialogOnAnEmptyRegistry)
{
    FakeRegistry registry;
    Settings s;
    std::string colour;
    ReadDialogSettings(s, colour, registry);
    EXPECT_EQ(colour, "000000");
    EXPECT_TRUE(registry.keys.count(kSystem) && registry.keys.count(kSound)) << "both keys are created";
    EXPECT_FALSE(registry.keys.count(kDesktop)) << "the desktop key is only read, never created";
    EXPECT_TRUE(registry.Writes().empty());
}

TEST(DialogValuesTest, BitmapCheck)
{
    const std::string stored = "D:\\pieces.bmp", byDefault = "C:\\Saver\\velomass.bmp";
    const struct {
        std::string stored;
        std::set<std::string> existing;
        BitmapFound want;
        std::string wantPath;
    } cases[] = {
        {stored, {stored, byDefault}, BitmapFound::Stored, stored},
        {"D:\\gone.bmp", {byDefault}, BitmapFound::Default, byDefault},
        {"", {byDefault}, BitmapFound::Default, byDefault},
        {"D:\\gone.bmp", {"velomass.bmp"}, BitmapFound::Missing, "velomass.bmp"},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        files.existing = c.existing;
        std::string bitmap = c.stored;
        EXPECT_EQ(FindDialogBitmap(bitmap, files), c.want) << "stored \"" << c.stored << "\"";
        EXPECT_EQ(bitmap, c.wantPath) << "stored \"" << c.stored << "\"";
    }
}

TEST(DialogValuesTest, MusicChoiceOpensTheListDialogOnlyForPlayLists)
{
    const struct {
        const char* path;
        bool list;
    } cases[] = {
        {"C:\\MUSIC\\SET.LST", true},
        {"C:\\a.lst.mid", false},
        {"C:\\x.lst\\y.lst", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPlayList(c.path), c.list) << c.path;
}

TEST(DialogValuesTest, ImageBoxes)
{
    // Even indexes: kinds 1 to 5 at rest; odd: the next frame of that row.
    const struct {
        int index;
        CellOrigin want;
    } cells[] = {{0, {0, 288}}, {1, {32, 288}}, {2, {0, 224}}, {7, {32, 96}}, {8, {0, 32}}, {9, {32, 32}}};
    for (const auto& c : cells) {
        EXPECT_EQ(ImageBoxCell(c.index).x, c.want.x) << "index " << c.index;
        EXPECT_EQ(ImageBoxCell(c.index).y, c.want.y) << "index " << c.index;
    }
    int index = 0;
    for (int click = 1; click <= 10; ++click)
        index = NextImageIndex(index);
    EXPECT_EQ(index, 0) << "ten right clicks bring back kind 1 at rest";
    EXPECT_EQ(NextImageIndex(-1), 0);
}

}  // namespace
