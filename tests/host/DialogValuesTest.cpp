#include "settings/DialogValues.h"

#include <gtest/gtest.h>

#include <string>

#include "host/SettingsFakes.h"
#include "res/SettingsIds.h"
#include "settings/ValueForms.h"
#include "sound/PlayList.h"

namespace {

const std::string kSystem = "Software\\Tamsk soft\\VelomaSS\\System";
const std::string kSound = "Software\\Tamsk soft\\VelomaSS\\Sound";
const std::string kDesktop = "Control Panel\\desktop";

// A step as the dialogs take it: the rule, then the bar's own range.
int Scrolled(const ScrollRule& rule, int low, int high, int code, int pos, int thumb = 0)
{
    return ClampToRange(ScrollStep(rule, code, pos, thumb), low, high);
}

TEST(DialogValuesTest, ScrollSteps)
{
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
        {"page left", kSettingsScroll, 50, 200, kScrollPageLeft, 120, 0, 110},
        {"page right", kSettingsScroll, 50, 200, kScrollPageRight, 120, 0, 130},
        {"page left stops at the bar's end", kSettingsScroll, 50, 200, kScrollPageLeft, 55, 0, 50},
        {"line left below 0 on black-out", kSettingsScroll, 0, 120, kScrollLineLeft, 0, 0, 0},
        {"page right past 200", kSettingsScroll, 50, 200, kScrollPageRight, 195, 0, 200},
        {"page right past the black-out end", kSettingsScroll, 0, 120, kScrollPageRight, 115, 0, 120},
        {"thumb track", kSettingsScroll, 50, 200, kScrollThumbTrack, 120, 0, 77},
        {"thumb position", kSettingsScroll, 0, 120, kScrollThumbPosition, 12, 0, 64},
        {"end of scrolling keeps it", kSettingsScroll, 50, 200, kScrollEnd, 120, 0, 120},
        {"unknown request keeps it", kSettingsScroll, 50, 200, 99, 120, 0, 120},
        {"colour End", kColourScroll, 0, 255, kScrollRight, 3, 0, 255},
        {"colour Home", kColourScroll, 0, 255, kScrollLeft, 200, 0, 0},
        {"colour page right stops at 255", kColourScroll, 0, 255, kScrollPageRight, 250, 0, 255},
        {"colour page left stops at 0", kColourScroll, 0, 255, kScrollPageLeft, 4, 0, 0},
        {"colour line right", kColourScroll, 0, 255, kScrollLineRight, 254, 0, 255},
        {"colour line right at the end", kColourScroll, 0, 255, kScrollLineRight, 255, 0, 255},
        {"colour thumb", kColourScroll, 0, 255, kScrollThumbTrack, 0, 0, 0},
        {"position at the int limit", kColourScroll, 0, 255, kScrollLineRight, 2147483647, 0, 255},
        {"position at the int floor", kSettingsScroll, 0, 120, kScrollPageLeft, -2147483647 - 1, 0, 0},
    };
    // Thumb cases carry their target in `thumb`.
    for (const auto& c : cases) {
        int thumb = c.thumb;
        if (c.code == kScrollThumbTrack || c.code == kScrollThumbPosition)
            thumb = c.want;
        EXPECT_EQ(Scrolled(c.rule, c.low, c.high, c.code, c.pos, thumb), c.want) << c.what;
    }
    // A thumb value outside the rule's limits is held to them first.
    EXPECT_EQ(ScrollStep(kSettingsScroll, kScrollThumbTrack, 50, 500), 200);
    EXPECT_EQ(ScrollStep(kColourScroll, kScrollThumbTrack, 50, -3), 0);
}

TEST(DialogValuesTest, RadioButtonsForStoredValues)
{
    const struct {
        int value, sizeButton, patternButton, numberButton;
    } cases[] = {
        {32, IDC_SIZE_1, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {64, IDC_SIZE_2, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {96, IDC_SIZE_3, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {128, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {50, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {0, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {1, IDC_SIZE_4, IDC_PATTERN_RANDOM, IDC_NUMBER_5},
        {2, IDC_SIZE_4, IDC_PATTERN_LINE, IDC_NUMBER_5},
        {3, IDC_SIZE_4, IDC_PATTERN_SQUARE, IDC_NUMBER_3},
        {4, IDC_SIZE_4, IDC_PATTERN_HLINE, IDC_NUMBER_4},
        {5, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {7, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {9, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
        {-1, IDC_SIZE_4, IDC_PATTERN_VLINE, IDC_NUMBER_5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SizeButton(c.value), c.sizeButton) << "CellSize " << c.value;
        EXPECT_EQ(PatternButton(c.value), c.patternButton) << "CellArr " << c.value;
        EXPECT_EQ(NumberButton(c.value), c.numberButton) << "CellNo " << c.value;
    }
}

TEST(DialogValuesTest, ClickedButtonsGiveTheirValuesAndShowThemAgain)
{
    const struct {
        int button;
        int (*valueOf)(int);
        int (*buttonFor)(int);
        int want;
    } cases[] = {
        {IDC_PATTERN_RANDOM, CellArrOf, PatternButton, 1},
        {IDC_PATTERN_LINE, CellArrOf, PatternButton, 2},
        {IDC_PATTERN_SQUARE, CellArrOf, PatternButton, 3},
        {IDC_PATTERN_HLINE, CellArrOf, PatternButton, 4},
        {IDC_PATTERN_VLINE, CellArrOf, PatternButton, 5},
        {IDC_NUMBER_3, CellNoOf, NumberButton, 3},
        {IDC_NUMBER_4, CellNoOf, NumberButton, 4},
        {IDC_NUMBER_5, CellNoOf, NumberButton, 5},
        {IDC_SIZE_1, CellSizeOf, SizeButton, 32},
        {IDC_SIZE_2, CellSizeOf, SizeButton, 64},
        {IDC_SIZE_3, CellSizeOf, SizeButton, 96},
        {IDC_SIZE_4, CellSizeOf, SizeButton, 128},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.valueOf(c.button), c.want) << "button " << c.button;
        EXPECT_EQ(c.buttonFor(c.want), c.button) << "value " << c.want;
    }
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
        {32, 24}, {64, 36}, {96, 48}, {128, 60}, {50, 30}, {0, 12}, {33, 24}, {200, 87},
        // Hand-edited sizes stay inside what the board can draw.
        {-32, 12}, {-2147483647 - 1, 12}, {1000, 128}, {2147483647, 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewCellSize(c.stored), c.want) << "stored CellSize " << c.stored;
}

TEST(DialogValuesTest, ColourParts)
{
    const struct {
        int red, green, blue;
        std::uint32_t colour;
        const char* text;
    } cases[] = {
        {0, 0, 0, 0x000000u, "0"},
        {255, 0, 0, 0x0000FFu, "ff"},
        {0, 255, 0, 0x00FF00u, "ff00"},
        {0, 0, 255, 0xFF0000u, "ff0000"},
        {1, 2, 3, 0x030201u, "30201"},
        {255, 255, 255, 0xFFFFFFu, "ffffff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColourOf(c.red, c.green, c.blue), c.colour) << c.red << "," << c.green << "," << c.blue;
        EXPECT_EQ(LongToHex(ColourOf(c.red, c.green, c.blue)), c.text);
        const ColourParts parts = PartsOf(c.colour);
        EXPECT_EQ(parts.red, c.red) << std::hex << c.colour;
        EXPECT_EQ(parts.green, c.green) << std::hex << c.colour;
        EXPECT_EQ(parts.blue, c.blue) << std::hex << c.colour;
    }
    // A stored colour with a top byte keeps only its three parts.
    const ColourParts odd = PartsOf(0xAB123456u);
    EXPECT_EQ(ColourOf(odd.red, odd.green, odd.blue), 0x123456u);
}

TEST(DialogValuesTest, BlackOutTimeHeldToTheLowPowerTimeOut)
{
    const struct {
        const char* what;
        const char* active;   // null: value missing
        const char* timeOut;
        const char* stored;
        int want;
    } cases[] = {
        {"900 s and 30 min", "1", "900", "30", 15},
        {"inactive", "0", "900", "30", 30},
        {"active missing", nullptr, "900", "30", 30},
        {"under 60 s is no limit", "1", "59", "30", 30},
        {"time-out missing", "1", nullptr, "30", 30},
        {"below the limit", "1", "3600", "30", 30},
        {"equal to the limit", "1", "1800", "30", 30},
        {"0 stays 0", "1", "900", "0", 0},
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
        SaverSettings s;
        std::string colour;
        ReadDialogSettings(s, colour, registry);
        EXPECT_EQ(s.BlackOutTime, c.want) << c.what;
        EXPECT_TRUE(registry.Writes().empty()) << c.what << ": opening must write nothing";
    }
}

TEST(DialogValuesTest, DialogReadsStoredFormsAndKeepsTheColourText)
{
    FakeRegistry registry;
    registry.SetText(kSystem, "CellSize", "50");
    registry.SetText(kSystem, "CellArr", "9");
    registry.SetText(kSystem, "CellNo", "7");
    registry.SetText(kSystem, "BCCol", "00FF");
    registry.SetText(kSound, "BGMRandomPlay", "0");
    SaverSettings s;
    std::string colour;
    ReadDialogSettings(s, colour, registry);
    EXPECT_EQ(SizeButton(s.CellSize), IDC_SIZE_4);
    EXPECT_EQ(PreviewCellSize(s.CellSize), 30);
    EXPECT_EQ(PatternButton(s.CellArr), IDC_PATTERN_VLINE);
    EXPECT_EQ(NumberButton(s.CellNo), IDC_NUMBER_5);
    EXPECT_EQ(colour, "00FF") << "the text is saved back as it was read";
    EXPECT_EQ(s.BCCol, 0xFFu);
    EXPECT_EQ(s.BGMRandomPlay, 0);

    // No keys at all: the defaults, with the keys created empty.
    FakeRegistry fresh;
    ReadDialogSettings(s, colour, fresh);
    EXPECT_EQ(s.AnimIntrvl, 50);
    EXPECT_EQ(s.BlackOutTime, 0);
    EXPECT_EQ(s.CellSize, 32);
    EXPECT_EQ(s.CellArr, 1);
    EXPECT_EQ(s.CellNo, 5);
    EXPECT_EQ(s.BGMRandomPlay, 1);
    EXPECT_EQ(colour, "000000");
    EXPECT_TRUE(fresh.keys.count(kSystem) && fresh.keys.count(kSound));
    EXPECT_FALSE(fresh.keys.count(kDesktop)) << "the desktop key is only read, never created";
}

TEST(DialogValuesTest, BitmapCheck)
{
    const struct {
        const char* what;
        std::string stored;
        std::set<std::string> existing;
        BitmapFound want;
        std::string wantPath;
    } cases[] = {
        {"stored exists", "D:\\pieces.bmp", {"D:\\pieces.bmp", "C:\\Saver\\velomass.bmp"}, BitmapFound::Stored,
         "D:\\pieces.bmp"},
        {"stored missing, default there", "D:\\gone.bmp", {"C:\\Saver\\velomass.bmp"}, BitmapFound::Default,
         "C:\\Saver\\velomass.bmp"},
        {"empty, default there", "", {"C:\\Saver\\velomass.bmp"}, BitmapFound::Default, "C:\\Saver\\velomass.bmp"},
        {"neither", "D:\\gone.bmp", {}, BitmapFound::Missing, "velomass.bmp"},
        {"empty and no default", "", {"velomass.bmp"}, BitmapFound::Missing, "velomass.bmp"},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        files.existing = c.existing;
        std::string bitmap = c.stored;
        EXPECT_EQ(FindDialogBitmap(bitmap, files), c.want) << c.what;
        EXPECT_EQ(bitmap, c.wantPath) << c.what;
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
        {"C:\\MUSIC\\song.mid", false},
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
    } cases[] = {
        {0, {0, 288}}, {1, {32, 288}}, {2, {0, 224}}, {3, {32, 224}}, {4, {0, 160}},
        {5, {32, 160}}, {6, {0, 96}}, {7, {32, 96}}, {8, {0, 32}}, {9, {32, 32}},
    };
    for (const auto& c : cases) {
        const CellOrigin got = ImageBoxCell(c.index);
        EXPECT_EQ(got.x, c.want.x) << "index " << c.index;
        EXPECT_EQ(got.y, c.want.y) << "index " << c.index;
    }

    int index = 0;
    for (int click = 1; click <= 10; ++click) {
        index = NextImageIndex(index);
        EXPECT_EQ(index, click % 10) << "after " << click << " right clicks";
    }
    EXPECT_EQ(ImageBoxCell(index).y, 288) << "ten clicks bring back kind 1 at rest";
    EXPECT_EQ(NextImageIndex(-1), 0);

    const PixelRect sample{11, 11, 77, 84};
    const PixelRect first = FirstImageBox(sample), second = SecondImageBox(sample), area = ImageMouseArea(sample);
    EXPECT_EQ(first.left, 87);
    EXPECT_EQ(first.right - first.left, 64);
    EXPECT_EQ(second.left, 151);
    EXPECT_EQ(second.bottom, 75);
    EXPECT_EQ(area.left, first.left);
    EXPECT_EQ(area.right, second.right);
    const struct {
        int x, y;
        bool inside;
    } points[] = {
        {87, 11, true}, {214, 74, true}, {215, 40, false}, {87, 75, false}, {86, 40, false}, {40, 40, false},
    };
    for (const auto& p : points)
        EXPECT_EQ(area.Contains(p.x, p.y), p.inside) << p.x << "," << p.y;
}

}  // namespace
