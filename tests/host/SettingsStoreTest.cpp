#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/SettingsFakes.h"

namespace {

const std::string kSystem = "Software\\Tamsk soft\\VelomaSS\\System";
const std::string kSound = "Software\\Tamsk soft\\VelomaSS\\Sound";
const std::string kDesktop = "Control Panel\\desktop";
const char* const kSystemNames[] = {"Bitmap",  "AnimIntrvl", "BlackOutTime", "AnimBMPOption", "CellSize",
                                    "CellArr", "CellNo",     "PassWord",     "BlankOption",   "DoviOption", "BCCol"};
const char* const kSoundNames[] = {"MIDI", "Select", "Disappear", "BGM", "BGMRandomPlay", "Sound"};
const std::string kKoma = "\xE3\x82\xB3\xE3\x83\x9E";  // two kana, three bytes each

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "  " + line + "\n";
    return text;
}

std::string DefaultsWithBitmap(const std::string& bitmap)
{
    Settings s;
    s.Bitmap = bitmap;
    return Dump(s);
}

} // namespace

TEST(SettingsStoreTest, EmptyRegistryCreatesKeysWritesNothingAndGivesDefaults)
{
    std::vector<std::string> want = {"create " + kSystem + " read"};
    for (const char* name : kSystemNames)
        want.push_back("get " + kSystem + "\\" + name);
    want.push_back("create " + kSound + " read");
    for (const char* name : kSoundNames)
        want.push_back("get " + kSound + "\\" + name);

    // The current directory is joined as it is, a drive root included.
    const std::pair<std::string, std::string> directories[] = {
        {"C:\\Saver", "C:\\Saver\\velomass.bmp"}, {"C:\\", "C:\\\\velomass.bmp"}, {"", "\\velomass.bmp"}};
    for (const auto& d : directories) {
        FakeRegistry registry;
        FakeFiles files;
        files.currentDirectory = d.first;
        Settings s;
        s.CellSize = 99, s.MIDI = "x", s.BCCol = 5;  // read over, not kept
        ReadSettings(s, registry, files);
        EXPECT_EQ(Dump(s), DefaultsWithBitmap(d.second)) << "current directory \"" << d.first << "\"";
        EXPECT_EQ(registry.keys.size(), 2u);
        EXPECT_EQ(registry.log, want) << "got\n" << Join(registry.log) << "want\n" << Join(want);
        // An empty path is never looked up; the default bitmap path is not checked.
        EXPECT_TRUE(files.asked.empty()) << "asked\n" << Join(files.asked);
    }
}

// Hand-edited numbers are not range-checked and never overflow; flags come
// out 0 or 1.
TEST(SettingsStoreTest, StoredValuesAreReadInTheirFormsAndSavedBackInOrderWithoutThePassword)
{
    const std::string bitmap = "D:\\" + kKoma + ".bmp";
    FakeRegistry registry;
    FakeFiles files;
    files.existing = {bitmap, "D:\\a.lst", "D:\\s.wav", "D:\\d.wav"};
    const std::string system[] = {bitmap, "12abc", "-5", "2", "96", "99999999999", "4", "secret", "-1", "x", "FF"};
    const std::string sound[] = {"D:\\a.lst", "D:\\s.wav", "D:\\d.wav", "1", "0", "1"};
    for (int i = 0; i < 11; ++i)
        registry.SetText(kSystem, kSystemNames[i], system[i]);
    for (int i = 0; i < 6; ++i)
        registry.SetText(kSound, kSoundNames[i], sound[i]);

    Settings s;
    std::string bcColText;
    ReadStoredSettings(s, bcColText, registry);
    CheckSettingsPaths(s, files);
    EXPECT_EQ(Dump(s), "Bitmap=" + bitmap +
                           " AnimIntrvl=12 BlackOutTime=-5 AnimBMPOption=1 CellSize=96 CellArr=2147483647 CellNo=4"
                           " PassWord=secret BlankOption=1 DoviOption=0 BCCol=ff MIDI=D:\\a.lst Select=D:\\s.wav"
                           " Disappear=D:\\d.wav BGM=1 BGMRandomPlay=0 Sound=1");
    EXPECT_EQ(bcColText, "FF") << "the colour text is kept for writing back";
    EXPECT_TRUE(registry.Writes().empty()) << Join(registry.Writes());

    // Flags go out as 1 and 0 whatever they hold; PassWord is left alone.
    s.CellSize = 64, s.DoviOption = -1, s.PassWord = "changed";
    registry.log.clear();
    SaveSettings(s, "123456", registry);
    const auto set = [](const std::string& key, const std::string& value) { return "set " + key + "\\" + value; };
    const std::vector<std::string> want = {
        "create " + kSystem + " write", set(kSystem, "Bitmap=" + bitmap), set(kSystem, "AnimIntrvl=12"),
        set(kSystem, "BlackOutTime=-5"), set(kSystem, "AnimBMPOption=1"), set(kSystem, "CellSize=64"),
        set(kSystem, "CellArr=2147483647"), set(kSystem, "CellNo=4"), set(kSystem, "BlankOption=1"),
        set(kSystem, "DoviOption=1"), set(kSystem, "BCCol=123456"),
        "create " + kSound + " write", set(kSound, "MIDI=D:\\a.lst"), set(kSound, "Select=D:\\s.wav"),
        set(kSound, "Disappear=D:\\d.wav"), set(kSound, "BGM=1"), set(kSound, "Sound=1"),
        set(kSound, "BGMRandomPlay=0"),
    };
    EXPECT_EQ(registry.log, want) << "got\n" << Join(registry.log) << "want\n" << Join(want);

    Settings back;
    ReadSettings(back, registry, files);
    s.DoviOption = 1, s.BCCol = 0x123456, s.PassWord = "secret";
    EXPECT_EQ(Dump(back), Dump(s));
}

// What the store writes it reads back whole, up to the path limit counted
// as Windows counts it; a longer text is neither written nor read.
TEST(SettingsStoreTest, TextsUpToThePathLimitReadBackWhole)
{
    const auto times = [](const std::string& piece, int n) {
        std::string text;
        while (n-- > 0)
            text += piece;
        return text;
    };
    const std::string kata = "\xEF\xBD\xB1", pair = "\xF0\x9F\x8E\xB5";  // 3 bytes, 1 unit; 4 bytes, 2 units
    const struct { const char* what; std::string text; bool fits; } cases[] = {
        {"600 characters", std::string(600, 'x'), true},
        {"171 half-width katakana", times(kata, 171), true},
        {"a path of 170 kanji", "D:\\" + times("\xE6\xBC\xA2", 170) + ".mid", true},
        {"the limit", std::string(32767, 'x'), true},
        {"the limit, in pairs", times(pair, 16383) + "x", true},
        {"one past the limit", std::string(32768, 'x'), false},
        {"one past, in pairs", times(pair, 16384), false},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        FakeFiles files;
        files.existing = {c.text, "D:\\old.mid"};
        registry.SetText(kSystem, "PassWord", "old");
        Settings s;
        s.MIDI = "D:\\old.mid";
        SaveSettings(s, "0", registry);
        s.MIDI = c.text;
        SaveSettings(s, "0", registry);
        EXPECT_EQ(SavePassword(registry, c.text), c.fits) << c.what;
        ReadSettings(s, registry, files);
        EXPECT_TRUE(s.PassWord == (c.fits ? c.text : "old")) << c.what;
        EXPECT_TRUE(s.MIDI == (c.fits ? c.text : "D:\\old.mid")) << c.what;

        // Made by hand.
        registry.SetText(kSystem, "PassWord", c.text);
        registry.SetText(kSound, "Select", c.text);
        ReadSettings(s, registry, files);
        EXPECT_TRUE(s.PassWord == (c.fits ? c.text : "")) << c.what;
        EXPECT_TRUE(s.Select == (c.fits ? c.text : "")) << c.what;
    }
}

TEST(SettingsStoreTest, ValuesOfOtherTypesReadAsMissing)
{
    // Bytes that would read as a valid value if the type were ignored.
    for (const std::string bytes : {std::string("\0\0\0\0", 4), std::string("\x78\0\0\0", 4), std::string("1")}) {
        FakeRegistry registry;
        FakeFiles files;
        files.existing = {bytes};
        for (const char* name : kSystemNames)
            registry.keys[kSystem][name] = {RegValueType::Other, bytes};
        for (const char* name : kSoundNames)
            registry.keys[kSound][name] = {RegValueType::Other, bytes};
        Settings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(Dump(s), DefaultsWithBitmap("C:\\Saver\\velomass.bmp")) << "binary of " << bytes.size() << " bytes";
    }
}

TEST(SettingsStoreTest, MissingFilesAreClearedAndAMissingBitmapGetsTheDefault)
{
    FakeRegistry registry;
    FakeFiles files;
    registry.SetText(kSystem, "Bitmap", "D:\\gone.bmp");
    registry.SetText(kSound, "MIDI", "D:\\gone.mid");
    registry.SetText(kSound, "Select", "D:\\here.wav");
    registry.SetText(kSound, "Disappear", "D:\\gone.wav");
    registry.SetText(kSound, "BGM", "1");
    files.existing = {"D:\\here.wav"};

    Settings s;
    ReadSettings(s, registry, files);
    Settings want;
    want.Bitmap = "C:\\Saver\\velomass.bmp", want.Select = "D:\\here.wav";
    want.BGM = 1;  // the flag stays; the empty path keeps the music off
    EXPECT_EQ(Dump(s), Dump(want));
    const std::vector<std::string> asked = {"D:\\gone.bmp", "D:\\gone.mid", "D:\\here.wav", "D:\\gone.wav"};
    EXPECT_EQ(files.asked, asked) << "asked\n" << Join(files.asked);
}

TEST(SettingsStoreTest, AKeyThatCannotBeOpenedKeepsDefaultsOrIsSkipped)
{
    for (const std::string& failing : {kSystem, kSound}) {
        const bool systemFails = failing == kSystem;
        FakeRegistry registry;
        FakeFiles files;
        registry.SetText(kSystem, "CellSize", "64");
        registry.SetText(kSound, "BGMRandomPlay", "0");
        registry.unopenable = {failing};

        Settings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(s.CellSize, systemFails ? 32 : 64) << "unopenable " << failing;
        EXPECT_EQ(s.BGMRandomPlay, systemFails ? 0 : 1) << "unopenable " << failing;

        registry.log.clear();
        SaveSettings(s, "ff", registry);
        EXPECT_EQ(SavePassword(registry, kKoma), !systemFails);
        const std::vector<std::string> writes = registry.Writes();
        ASSERT_EQ(writes.size(), systemFails ? 6u : 11u) << "unopenable " << failing << "\n" << Join(writes);
        EXPECT_EQ(writes.front().find("set " + (systemFails ? kSound : kSystem)), 0u) << writes.front();
        if (!systemFails)
            EXPECT_EQ(writes.back(), "set " + kSystem + "\\PassWord=" + kKoma);
    }
}

// The low-power rules on text values are walked through by the dialog and
// full-screen tests; here the password flag's stored forms.
TEST(SettingsStoreTest, DesktopValues)
{
    const auto dword = [](const char* bytes) { return FakeValue{RegValueType::Other, std::string(bytes, 4)}; };
    const struct {
        const char* what;
        FakeValue password;
        const char* timeOut;  // with low power active; null: low power not stored
        bool usePassword;
        long lowPowerMinutes;
    } cases[] = {
        // Windows stores the flag as text: "0" is off, not a non-zero byte.
        {"text 0", {RegValueType::Text, "0"}, nullptr, false, 0},
        {"text 1", {RegValueType::Text, "1"}, "900", true, 15},
        {"DWORD 1", dword("\1\0\0\0"), nullptr, true, 0},
        {"DWORD 256, negative time-out", dword("\0\1\0\0"), "-900", false, 0},
        {"no bytes", {RegValueType::Other, ""}, "9999999999999", false, 35791394},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.keys[kDesktop]["ScreenSaveUsePassword"] = c.password;
        if (c.timeOut) {
            registry.SetText(kDesktop, "ScreenSaveLowPowerActive", "1");
            registry.SetText(kDesktop, "ScreenSaveLowPowerTimeOut", c.timeOut);
        }
        const DesktopSaverValues got = ReadDesktopValues(registry);
        EXPECT_EQ(got.UsePassword, c.usePassword) << c.what;
        EXPECT_EQ(got.LowPowerMinutes, c.lowPowerMinutes) << c.what;
        EXPECT_TRUE(registry.Writes().empty()) << c.what;
    }

    FakeRegistry absent;
    EXPECT_FALSE(ReadDesktopValues(absent).UsePassword);
    EXPECT_EQ(absent.keys.count(kDesktop), 0u) << "the desktop key must not be created";
}
