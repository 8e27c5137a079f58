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

// Values of other types read as missing, even bytes that would read as
// valid text; a missing default image stays the bare default name. A key
// that cannot be opened keeps the defaults when read and is skipped when
// saved.
TEST(SettingsStoreTest, MissingUnreadableAndUnopenableValuesGiveTheDefaults)
{
    Settings defaults;
    defaults.Bitmap = "velomass.bmp";
    for (const std::string bytes : {"", "1"}) {
        FakeRegistry registry;
        FakeFiles files;
        files.Add(bytes);
        if (!bytes.empty()) {
            for (const char* name : kSystemNames)
                registry.keys[kSystem][name] = {RegValueType::Other, bytes};
            for (const char* name : kSoundNames)
                registry.keys[kSound][name] = {RegValueType::Other, bytes};
        }
        Settings s;
        s.CellSize = 99, s.MIDI = "x", s.BCCol = 5;  // read over, not kept
        ReadSettings(s, registry, files);
        EXPECT_EQ(Dump(s), Dump(defaults)) << bytes.size() << " bytes";
        EXPECT_TRUE(registry.keys.count(kSystem) && registry.keys.count(kSound));
        EXPECT_EQ(registry.writes, std::vector<std::string>{});
    }

    for (const std::string& failing : {kSystem, kSound}) {
        const bool systemFails = failing == kSystem;
        FakeRegistry registry;
        FakeFiles files;
        registry.SetText(kSystem, "CellSize", "64");
        registry.SetText(kSound, "BGMRandomPlay", "0");
        registry.unopenable = {failing};
        Settings s;
        ReadSettings(s, registry, files);
        EXPECT_EQ(s.CellSize, systemFails ? 32 : 64) << failing;
        EXPECT_EQ(s.BGMRandomPlay, systemFails ? 0 : 1) << failing;
        SaveSettings(s, "ff", registry);
        EXPECT_EQ(SavePassword(registry, "pw"), !systemFails) << failing;
        EXPECT_EQ(registry.writes.size(), systemFails ? 6u : 11u) << failing;
    }
}

// Our own image for the default name: the current folder, the saver's,
// the install folder, else the one built in. An image the user chose is
// loaded as it is, found or not; the current folder joins as it is.
TEST(SettingsStoreTest, TheDefaultImageIsLookedForBesideTheSaverThenBuiltIn)
{
    const PieceImagePlaces places{"C:\\Windows\\System32", "C:\\Program Files\\VelomaSS\\"};
    const std::string cwd = "D:\\Work\\velomass.bmp", beside = "C:\\Windows\\System32\\velomass.bmp",
                      installed = "C:\\Program Files\\VelomaSS\\velomass.bmp";
    // want: empty for the built-in image
    const struct {
        std::string bitmap; std::vector<std::string> files; std::string want; PieceImagePlaces places;
        std::string directory = "D:\\Work";
    } cases[] = {
        {"", {cwd, beside, installed}, cwd, places},
        {"velomass.bmp", {beside, installed}, beside, places},
        {"VeloMass.BMP", {installed}, installed, places},
        {"", {}, "", places},
        {"", {"C:\\velomass.bmp"}, "C:\\velomass.bmp", {"C:\\", ""}},
        {"", {"C:\\\\velomass.bmp"}, "C:\\\\velomass.bmp", {}, "C:\\"},
        {"", {"velomass.bmp"}, "", {}},  // only where no folder looks
        {"E:\\gone.bmp", {beside, installed}, "E:\\gone.bmp", places},
        {"D:\\Work\\velomass.bmp", {beside}, "D:\\Work\\velomass.bmp", places},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        files.currentDirectory = c.directory;
        for (const std::string& f : c.files)
            files.Add(f);
        const PieceImageSource source = FindPieceImage(c.bitmap, c.places, files);
        EXPECT_EQ(source.builtIn ? std::string() : source.path, c.want) << "Bitmap \"" << c.bitmap << "\"";
        EXPECT_EQ(source.builtIn, c.want.empty()) << "Bitmap \"" << c.bitmap << "\"";
    }

    // The folder the installer recorded, in the machine's registry.
    FakeRegistry machine;
    EXPECT_EQ(ReadInstallFolder(machine), "");
    EXPECT_TRUE(machine.keys.empty()) << "reading created the key";
    machine.SetText("Software\\Tamsk soft\\VelomaSS", "InstallDir", "C:\\Program Files\\VelomaSS");
    EXPECT_EQ(ReadInstallFolder(machine), "C:\\Program Files\\VelomaSS");
    EXPECT_TRUE(machine.writes.empty());
}

// Hand-edited numbers are not range-checked and never overflow; flags come
// out 0 or 1; sound files that are gone are cleared; the password is never
// saved with the rest.
TEST(SettingsStoreTest, ValuesAreReadInTheirFormsAndSavedBack)
{
    const std::string bitmap = "D:\\\xE3\x82\xB3\xE3\x83\x9E.bmp";
    FakeRegistry registry;
    FakeFiles files;
    files.Add(bitmap);
    files.Add("D:\\s.wav");
    const std::string system[] = {bitmap, "12abc", "-5", "2", "96", "99999999999", "+4", "secret", "-1", "x", "Ff"};
    const std::string sound[] = {"D:\\gone.mid", "D:\\s.wav", "D:\\gone.wav", "1", "0", "0"};
    for (int i = 0; i < 11; ++i)
        registry.SetText(kSystem, kSystemNames[i], system[i]);
    for (int i = 0; i < 6; ++i)
        registry.SetText(kSound, kSoundNames[i], sound[i]);

    Settings s;
    ReadSettings(s, registry, files);
    EXPECT_EQ(Dump(s), "Bitmap=" + bitmap +
                           " AnimIntrvl=12 BlackOutTime=-5 AnimBMPOption=1 CellSize=96 CellArr=2147483647 CellNo=4"
                           " PassWord=secret BlankOption=1 DoviOption=0 BCCol=ff MIDI= Select=D:\\s.wav"
                           " Disappear= BGM=1 BGMRandomPlay=0 Sound=0");

    s.AnimIntrvl = 70, s.CellSize = 64, s.DoviOption = -1, s.PassWord = "changed";
    SaveSettings(s, "123456", registry);
    const std::vector<std::string> want = {
        kSystem + "\\Bitmap=" + bitmap, kSystem + "\\AnimIntrvl=70", kSystem + "\\BlackOutTime=-5",
        kSystem + "\\AnimBMPOption=1", kSystem + "\\CellSize=64", kSystem + "\\CellArr=2147483647",
        kSystem + "\\CellNo=4", kSystem + "\\BlankOption=1", kSystem + "\\DoviOption=1", kSystem + "\\BCCol=123456",
        kSound + "\\MIDI=", kSound + "\\Select=D:\\s.wav", kSound + "\\Disappear=", kSound + "\\BGM=1",
        kSound + "\\Sound=0", kSound + "\\BGMRandomPlay=0",
    };
    EXPECT_EQ(registry.writes, want);
    Settings back;
    ReadSettings(back, registry, files);
    s.DoviOption = 1, s.BCCol = 0x123456, s.PassWord = "secret";
    EXPECT_EQ(Dump(back), Dump(s));
}

// Up to the path limit, counted in UTF-16 units as Windows counts them; a
// longer text is neither written (the old value stays) nor read.
TEST(SettingsStoreTest, TextsUpToThePathLimitReadBackWhole)
{
    const std::string pair = "\xF0\x9F\x8E\xB5";  // 4 bytes, 2 units
    std::string pairs;
    for (int i = 0; i < 16383; ++i)
        pairs += pair;
    const struct { const char* what; std::string text; bool fits; } cases[] = {
        {"the limit", pairs + "x", true},
        {"one past the limit", pairs + pair, false},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        FakeFiles files;
        files.Add(c.text);
        files.Add("D:\\old.mid");
        registry.SetText(kSystem, "PassWord", "old");
        registry.SetText(kSound, "MIDI", "D:\\old.mid");
        Settings s;
        ReadSettings(s, registry, files);
        s.MIDI = c.text;
        SaveSettings(s, "0", registry);
        EXPECT_EQ(SavePassword(registry, c.text), c.fits) << c.what;
        ReadSettings(s, registry, files);
        EXPECT_TRUE(s.PassWord == (c.fits ? c.text : "old")) << c.what;
        EXPECT_TRUE(s.MIDI == (c.fits ? c.text : "D:\\old.mid")) << c.what;

        registry.SetText(kSound, "Select", c.text);  // by hand
        ReadSettings(s, registry, files);
        EXPECT_TRUE(s.Select == (c.fits ? c.text : "")) << c.what;
    }
}

TEST(SettingsStoreTest, DesktopValues)
{
    const auto dword = [](const char* bytes) { return FakeValue{RegValueType::Other, std::string(bytes, 4)}; };
    // timeOut: seconds, with low power active; null: low power not stored
    const struct { const char* what; FakeValue flag; const char* timeOut; bool usePassword; long lowPower; } cases[] = {
        // Windows stores the flag as text: "0" is off, not a non-zero byte.
        {"text 0", {RegValueType::Text, "0"}, nullptr, false, 0},
        {"text 1", {RegValueType::Text, "1"}, "900", true, 15},
        {"DWORD 1", dword("\1\0\0\0"), "59", true, 0},
        {"DWORD 256, negative time-out", dword("\0\1\0\0"), "-900", false, 0},
        {"no bytes", {RegValueType::Other, ""}, "9999999999999", false, 35791394},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.keys[kDesktop]["ScreenSaveUsePassword"] = c.flag;
        if (c.timeOut) {
            registry.SetText(kDesktop, "ScreenSaveLowPowerActive", "1");
            registry.SetText(kDesktop, "ScreenSaveLowPowerTimeOut", c.timeOut);
        }
        const DesktopSaverValues got = ReadDesktopValues(registry);
        EXPECT_EQ(got.UsePassword, c.usePassword) << c.what;
        EXPECT_EQ(got.LowPowerMinutes, c.lowPower) << c.what;
    }
    FakeRegistry absent;
    EXPECT_FALSE(ReadDesktopValues(absent).UsePassword);
    EXPECT_EQ(absent.keys.count(kDesktop), 0u) << "the desktop key must not be created";
}

} // namespace
