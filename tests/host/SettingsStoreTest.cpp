#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/SettingsFakes.h"

namespace {

const std::string kSystem = "Software\\Tamsk soft\\VelomaSS\\System";
const std::string kSound = "Software\\Tamsk soft\\VelomaSS\\Sound";
const std::string kDesktop = "Control Panel\\desktop";

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "  " + line + "\n";
    return text;
}

void ExpectDefaultsBesidesBitmap(const SaverSettings& s)
{
    EXPECT_EQ(s.AnimIntrvl, 50);
    EXPECT_EQ(s.BlackOutTime, 0);
    EXPECT_EQ(s.AnimBMPOption, 0);
    EXPECT_EQ(s.CellSize, 32);
    EXPECT_EQ(s.CellArr, 1);
    EXPECT_EQ(s.CellNo, 5);
    EXPECT_EQ(s.PassWord, "");
    EXPECT_EQ(s.BlankOption, 0);
    EXPECT_EQ(s.DoviOption, 0);
    EXPECT_EQ(s.BCCol, 0u);
    EXPECT_EQ(s.MIDI, "");
    EXPECT_EQ(s.Select, "");
    EXPECT_EQ(s.Disappear, "");
    EXPECT_EQ(s.BGM, 0);
    EXPECT_EQ(s.BGMRandomPlay, 1);
    EXPECT_EQ(s.Sound, 0);
}

SaverSettings Filled()
{
    SaverSettings s;
    s.Bitmap = "D:\\pics\\\xE3\x82\xB3\xE3\x83\x9E.bmp";
    s.AnimIntrvl = 120;
    s.BlackOutTime = 15;
    s.AnimBMPOption = 1;
    s.CellSize = 96;
    s.CellArr = 3;
    s.CellNo = 4;
    s.PassWord = "secret";
    s.BlankOption = 1;
    s.DoviOption = 0;
    s.BCCol = 0xFF;
    s.MIDI = "D:\\music\\a.lst";
    s.Select = "D:\\wav\\select.wav";
    s.Disappear = "D:\\wav\\gone.wav";
    s.BGM = 1;
    s.BGMRandomPlay = 0;
    s.Sound = 1;
    return s;
}

} // namespace

TEST(SettingsStoreTest, EmptyRegistryCreatesKeysWritesNothingAndGivesDefaults)
{
    FakeRegistry registry;
    FakeFiles files;
    SaverSettings s = Filled();   // every field must be reset, not kept
    ReadSettings(s, registry, files);

    ExpectDefaultsBesidesBitmap(s);
    EXPECT_EQ(s.Bitmap, "C:\\Saver\\velomass.bmp");
    EXPECT_EQ(registry.keys.size(), 2u);
    EXPECT_EQ(registry.keys[kSystem].size(), 0u);
    EXPECT_EQ(registry.keys[kSound].size(), 0u);

    const std::vector<std::string> want = {
        "create " + kSystem + " read",
        "get " + kSystem + "\\Bitmap",
        "get " + kSystem + "\\AnimIntrvl",
        "get " + kSystem + "\\BlackOutTime",
        "get " + kSystem + "\\AnimBMPOption",
        "get " + kSystem + "\\CellSize",
        "get " + kSystem + "\\CellArr",
        "get " + kSystem + "\\CellNo",
        "get " + kSystem + "\\PassWord",
        "get " + kSystem + "\\BlankOption",
        "get " + kSystem + "\\DoviOption",
        "get " + kSystem + "\\BCCol",
        "create " + kSound + " read",
        "get " + kSound + "\\MIDI",
        "get " + kSound + "\\Select",
        "get " + kSound + "\\Disappear",
        "get " + kSound + "\\BGM",
        "get " + kSound + "\\BGMRandomPlay",
        "get " + kSound + "\\Sound",
    };
    EXPECT_EQ(registry.log, want) << "got\n" << Join(registry.log) << "want\n" << Join(want);
    // An empty path is never looked up; the default bitmap path is not checked.
    EXPECT_TRUE(files.asked.empty()) << "asked\n" << Join(files.asked);
}

TEST(SettingsStoreTest, DefaultBitmapPathJoinsCurrentDirectoryAsItIs)
{
    struct Case {
        std::string directory;
        std::string want;
    };
    const Case cases[] = {
        {"C:\\Saver", "C:\\Saver\\velomass.bmp"},
        {"C:\\", "C:\\\\velomass.bmp"},
        {"D:\\\xE3\x82\xB3\xE3\x83\x9E", "D:\\\xE3\x82\xB3\xE3\x83\x9E\\velomass.bmp"},
        {"", "\\velomass.bmp"},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        FakeFiles files;
        files.currentDirectory = c.directory;
        registry.SetText(kSystem, "Bitmap", "C:\\gone.bmp");
        SaverSettings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(s.Bitmap, c.want) << "current directory \"" << c.directory << "\"";
    }
}

TEST(SettingsStoreTest, StoredValuesAreReadInTheirForms)
{
    FakeRegistry registry;
    FakeFiles files;
    const SaverSettings want = Filled();
    files.existing = {want.Bitmap, want.MIDI, want.Select, want.Disappear};
    registry.SetText(kSystem, "Bitmap", want.Bitmap);
    registry.SetText(kSystem, "AnimIntrvl", "120");
    registry.SetText(kSystem, "BlackOutTime", "15");
    registry.SetText(kSystem, "AnimBMPOption", "1");
    registry.SetText(kSystem, "CellSize", "96");
    registry.SetText(kSystem, "CellArr", "3");
    registry.SetText(kSystem, "CellNo", "4");
    registry.SetText(kSystem, "PassWord", "secret");
    registry.SetText(kSystem, "BlankOption", "1");
    registry.SetText(kSystem, "DoviOption", "0");
    registry.SetText(kSystem, "BCCol", "ff");
    registry.SetText(kSound, "MIDI", want.MIDI);
    registry.SetText(kSound, "Select", want.Select);
    registry.SetText(kSound, "Disappear", want.Disappear);
    registry.SetText(kSound, "BGM", "1");
    registry.SetText(kSound, "BGMRandomPlay", "0");
    registry.SetText(kSound, "Sound", "1");

    SaverSettings s;
    std::string bcColText;
    ReadStoredSettings(s, bcColText, registry);
    EXPECT_EQ(bcColText, "ff");
    CheckSettingsPaths(s, files);

    EXPECT_EQ(s.Bitmap, want.Bitmap);
    EXPECT_EQ(s.AnimIntrvl, want.AnimIntrvl);
    EXPECT_EQ(s.BlackOutTime, want.BlackOutTime);
    EXPECT_EQ(s.AnimBMPOption, want.AnimBMPOption);
    EXPECT_EQ(s.CellSize, want.CellSize);
    EXPECT_EQ(s.CellArr, want.CellArr);
    EXPECT_EQ(s.CellNo, want.CellNo);
    EXPECT_EQ(s.PassWord, want.PassWord);
    EXPECT_EQ(s.BlankOption, want.BlankOption);
    EXPECT_EQ(s.DoviOption, want.DoviOption);
    EXPECT_EQ(s.BCCol, want.BCCol);
    EXPECT_EQ(s.MIDI, want.MIDI);
    EXPECT_EQ(s.Select, want.Select);
    EXPECT_EQ(s.Disappear, want.Disappear);
    EXPECT_EQ(s.BGM, want.BGM);
    EXPECT_EQ(s.BGMRandomPlay, want.BGMRandomPlay);
    EXPECT_EQ(s.Sound, want.Sound);
    EXPECT_TRUE(registry.Writes().empty()) << Join(registry.Writes());
}

TEST(SettingsStoreTest, HandEditedValues)
{
    struct Case {
        const char* name;
        std::string text;
        int want;
    };
    // Numbers are not range-checked; flags come out 0 or 1.
    const Case cases[] = {
        {"AnimIntrvl", "abc", 0},
        {"AnimIntrvl", "12abc", 12},
        {"AnimIntrvl", "  -7", -7},
        {"AnimIntrvl", "", 0},
        {"AnimIntrvl", "99999999999", 2147483647},
        {"CellSize", "50", 50},
        {"CellNo", "9", 9},
        {"BlackOutTime", "-5", -5},
        {"AnimBMPOption", "2", 1},
        {"AnimBMPOption", "-1", 1},
        {"AnimBMPOption", "x", 0},
        {"AnimBMPOption", "0", 0},
        {"BlankOption", "99999999999999999999", 1},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        FakeFiles files;
        registry.SetText(kSystem, c.name, c.text);
        SaverSettings s;
        ReadSettings(s, registry, files);
        const std::string name = c.name;
        const int got = name == "AnimIntrvl"      ? s.AnimIntrvl
                        : name == "CellSize"      ? s.CellSize
                        : name == "CellNo"        ? s.CellNo
                        : name == "BlackOutTime"  ? s.BlackOutTime
                        : name == "AnimBMPOption" ? s.AnimBMPOption
                                                  : s.BlankOption;
        EXPECT_EQ(got, c.want) << name << " stored as \"" << c.text << "\"";
    }
}

TEST(SettingsStoreTest, ColourTextIsReadAndKeptForWritingBack)
{
    struct Case {
        std::string text;
        std::uint32_t want;
    };
    const Case cases[] = {
        {"ff", 0x0000FFu}, {"ff0000", 0xFF0000u}, {"FF", 0x0000FFu},
        {"zz", 0},         {"000000", 0},         {"0", 0},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.SetText(kSystem, "BCCol", c.text);
        SaverSettings s;
        std::string bcColText;
        ReadStoredSettings(s, bcColText, registry);
        EXPECT_EQ(s.BCCol, c.want) << "BCCol \"" << c.text << "\"";
        EXPECT_EQ(bcColText, c.text);
    }
}

TEST(SettingsStoreTest, TextsPastTheBufferReadAsMissing)
{
    const std::string kana = "\xE3\x82\xB3";   // three bytes in UTF-8
    std::string kanaText;
    for (int i = 0; i < 168; ++i)
        kanaText += kana;                       // 504 bytes
    struct Case {
        std::string text;
        bool readable;
    };
    const Case cases[] = {
        {std::string(507, ' ') + "120", true},
        {std::string(508, ' ') + "120", false},
        {std::string(1997, ' ') + "120", false},
        {"D:\\" + kanaText + "\\ab", true},    // 510 bytes
        {"D:\\" + kanaText + "\\abc", false},  // 511 bytes
        // Only the text before a zero counts, as the platform reads it.
        {std::string("120\0", 4) + std::string(600, 'x'), true},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.text.size()) + " stored bytes";
        const std::string text = c.text.substr(0, c.text.find('\0'));
        FakeRegistry registry;
        FakeFiles files;
        files.existing = {text};
        registry.SetText(kSystem, "Bitmap", c.text);
        registry.SetText(kSystem, "AnimIntrvl", c.text);
        registry.SetText(kSystem, "BlankOption", c.text);
        registry.SetText(kSound, "MIDI", c.text);
        SaverSettings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(s.Bitmap, c.readable ? text : "C:\\Saver\\velomass.bmp") << what;
        EXPECT_EQ(s.MIDI, c.readable ? text : "") << what;
        if (text.find("120") != std::string::npos) {
            EXPECT_EQ(s.AnimIntrvl, c.readable ? 120 : 50) << what;
            EXPECT_EQ(s.BlankOption, c.readable ? 1 : 0) << what;
        }
    }
}

TEST(SettingsStoreTest, ValuesOfOtherTypesReadAsMissing)
{
    // Bytes that would read as a valid value if the type were ignored.
    const std::string cases[] = {
        std::string("\0\0\0\0", 4),   // DWORD 0
        std::string("\x78\0\0\0", 4), // DWORD 120
        "120",                        // binary holding text
        "",
    };
    for (const std::string& bytes : cases) {
        FakeRegistry registry;
        FakeFiles files;
        files.existing = {"120"};
        for (const char* name : {"Bitmap", "AnimIntrvl", "CellSize", "BCCol", "PassWord"})
            registry.SetOther(kSystem, name, bytes);
        for (const char* name : {"MIDI", "BGMRandomPlay", "BGM"})
            registry.SetOther(kSound, name, bytes);
        SaverSettings s;
        ReadSettings(s, registry, files);
        const std::string what = "binary of " + std::to_string(bytes.size()) + " bytes";
        EXPECT_EQ(s.Bitmap, "C:\\Saver\\velomass.bmp") << what;
        EXPECT_EQ(s.PassWord, "") << what;
        EXPECT_EQ(s.AnimIntrvl, 50) << what;
        EXPECT_EQ(s.CellSize, 32) << what;
        EXPECT_EQ(s.BCCol, 0u) << what;
        EXPECT_EQ(s.MIDI, "") << what;
        EXPECT_EQ(s.BGMRandomPlay, 1) << what;
        EXPECT_EQ(s.BGM, 0) << what;
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

    SaverSettings s;
    ReadSettings(s, registry, files);
    EXPECT_EQ(s.Bitmap, "C:\\Saver\\velomass.bmp");
    EXPECT_EQ(s.MIDI, "");
    EXPECT_EQ(s.Select, "D:\\here.wav");
    EXPECT_EQ(s.Disappear, "");
    EXPECT_EQ(s.BGM, 1) << "the flag stays; the empty path keeps the music off";
    const std::vector<std::string> asked = {"D:\\gone.bmp", "D:\\gone.mid", "D:\\here.wav", "D:\\gone.wav"};
    EXPECT_EQ(files.asked, asked) << "asked\n" << Join(files.asked);
}

TEST(SettingsStoreTest, SaveWritesEveryValueButThePasswordInOrder)
{
    FakeRegistry registry;
    SaverSettings s = Filled();
    s.AnimBMPOption = 2;     // flags go out as 1 and 0 whatever they hold
    s.DoviOption = -1;
    s.BGMRandomPlay = 0;
    s.BlackOutTime = -5;
    SaveSettings(s, "FF", registry);

    const std::vector<std::string> want = {
        "create " + kSystem + " write",
        "set " + kSystem + "\\Bitmap=" + s.Bitmap,
        "set " + kSystem + "\\AnimIntrvl=120",
        "set " + kSystem + "\\BlackOutTime=-5",
        "set " + kSystem + "\\AnimBMPOption=1",
        "set " + kSystem + "\\CellSize=96",
        "set " + kSystem + "\\CellArr=3",
        "set " + kSystem + "\\CellNo=4",
        "set " + kSystem + "\\BlankOption=1",
        "set " + kSystem + "\\DoviOption=1",
        "set " + kSystem + "\\BCCol=FF",
        "create " + kSound + " write",
        "set " + kSound + "\\MIDI=D:\\music\\a.lst",
        "set " + kSound + "\\Select=D:\\wav\\select.wav",
        "set " + kSound + "\\Disappear=D:\\wav\\gone.wav",
        "set " + kSound + "\\BGM=1",
        "set " + kSound + "\\Sound=1",
        "set " + kSound + "\\BGMRandomPlay=0",
    };
    EXPECT_EQ(registry.log, want) << "got\n" << Join(registry.log) << "want\n" << Join(want);
    EXPECT_EQ(registry.keys[kSystem].count("PassWord"), 0u);
}

TEST(SettingsStoreTest, SavedSettingsReadBack)
{
    FakeRegistry registry;
    FakeFiles files;
    SaverSettings saved = Filled();
    saved.BCCol = 0x123456;
    files.existing = {saved.Bitmap, saved.MIDI, saved.Select, saved.Disappear};
    registry.SetText(kSystem, "PassWord", "kept");
    SaveSettings(saved, "123456", registry);

    SaverSettings s;
    ReadSettings(s, registry, files);
    saved.PassWord = "kept";
    EXPECT_EQ(s.Bitmap, saved.Bitmap);
    EXPECT_EQ(s.PassWord, saved.PassWord);
    EXPECT_EQ(s.BCCol, saved.BCCol);
    EXPECT_EQ(s.AnimIntrvl, saved.AnimIntrvl);
    EXPECT_EQ(s.CellArr, saved.CellArr);
    EXPECT_EQ(s.MIDI, saved.MIDI);
    EXPECT_EQ(s.BGMRandomPlay, saved.BGMRandomPlay);
    EXPECT_EQ(s.Sound, saved.Sound);
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

        SaverSettings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(s.CellSize, systemFails ? 32 : 64) << "unopenable " << failing;
        EXPECT_EQ(s.BGMRandomPlay, systemFails ? 0 : 1) << "unopenable " << failing;

        registry.log.clear();
        SaveSettings(Filled(), "ff", registry);
        const std::vector<std::string> writes = registry.Writes();
        ASSERT_EQ(writes.size(), systemFails ? 6u : 10u) << "unopenable " << failing << "\n" << Join(writes);
        EXPECT_EQ(writes.front().find("set " + (systemFails ? kSound : kSystem)), 0u) << writes.front();
    }
}

TEST(SettingsStoreTest, PasswordIsStoredInTheSystemKey)
{
    FakeRegistry registry;
    EXPECT_TRUE(SavePassword(registry, "\xE3\x82\xB3\xE3\x83\x9E"));
    EXPECT_EQ(registry.Writes(), std::vector<std::string>{"set " + kSystem + "\\PassWord=\xE3\x82\xB3\xE3\x83\x9E"});

    FakeRegistry locked;
    locked.unopenable = {kSystem};
    EXPECT_FALSE(SavePassword(locked, "x"));
    EXPECT_TRUE(locked.Writes().empty());
}

TEST(SettingsStoreTest, DesktopValues)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, FakeValue>> values;
        bool usePassword;
        long lowPowerMinutes;
    };
    const FakeValue text0{RegValueType::Text, "0"};
    const FakeValue text1{RegValueType::Text, "1"};
    const auto dword = [](const char* bytes) { return FakeValue{RegValueType::Other, std::string(bytes, 4)}; };
    const auto timeOut = [](const char* text) {
        return std::make_pair(std::string("ScreenSaveLowPowerTimeOut"), FakeValue{RegValueType::Text, text});
    };
    const Case cases[] = {
        {"nothing stored", {}, false, 0},
        // Windows stores the password flag as text: "0" is off, not a non-zero byte.
        {"text 0", {{"ScreenSaveUsePassword", text0}}, false, 0},
        {"text 1", {{"ScreenSaveUsePassword", text1}}, true, 0},
        {"text 2", {{"ScreenSaveUsePassword", {RegValueType::Text, "2"}}}, true, 0},
        {"empty text", {{"ScreenSaveUsePassword", {RegValueType::Text, ""}}}, false, 0},
        {"DWORD 1", {{"ScreenSaveUsePassword", dword("\1\0\0\0")}}, true, 0},
        {"DWORD 0", {{"ScreenSaveUsePassword", dword("\0\0\0\0")}}, false, 0},
        {"DWORD 256", {{"ScreenSaveUsePassword", dword("\0\1\0\0")}}, false, 0},
        {"one byte", {{"ScreenSaveUsePassword", {RegValueType::Other, "\1"}}}, true, 0},
        {"no bytes", {{"ScreenSaveUsePassword", {RegValueType::Other, ""}}}, false, 0},
        {"900 s", {{"ScreenSaveLowPowerActive", text1}, timeOut("900")}, false, 15},
        {"59 s", {{"ScreenSaveLowPowerActive", text1}, timeOut("59")}, false, 0},
        {"119 s", {{"ScreenSaveLowPowerActive", {RegValueType::Text, "-1"}}, timeOut("119")}, false, 1},
        {"inactive", {{"ScreenSaveLowPowerActive", text0}, timeOut("900")}, false, 0},
        {"negative", {{"ScreenSaveLowPowerActive", text1}, timeOut("-900")}, false, 0},
        {"huge", {{"ScreenSaveLowPowerActive", text1}, timeOut("9999999999999")}, false, 35791394},
        {"DWORD active", {{"ScreenSaveLowPowerActive", dword("\1\0\0\0")}, timeOut("900")}, false, 0},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.keys[kDesktop];
        for (const auto& value : c.values)
            registry.keys[kDesktop][value.first] = value.second;
        const DesktopSaverValues got = ReadDesktopValues(registry);
        EXPECT_EQ(got.UsePassword, c.usePassword) << c.what;
        EXPECT_EQ(got.LowPowerMinutes, c.lowPowerMinutes) << c.what;
        EXPECT_TRUE(registry.Writes().empty()) << c.what;
    }

    // The time-out is not even read while low power is off.
    FakeRegistry inactive;
    inactive.SetText(kDesktop, "ScreenSaveLowPowerActive", "0");
    ReadDesktopValues(inactive);
    EXPECT_EQ(Join(inactive.log).find("ScreenSaveLowPowerTimeOut"), std::string::npos) << Join(inactive.log);

    FakeRegistry absent;
    const DesktopSaverValues got = ReadDesktopValues(absent);
    EXPECT_FALSE(got.UsePassword);
    EXPECT_EQ(got.LowPowerMinutes, 0);
    EXPECT_EQ(absent.keys.count(kDesktop), 0u) << "the desktop key must not be created";
}
