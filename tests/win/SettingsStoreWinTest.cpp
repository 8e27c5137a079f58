#include "settings/WinSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "platform/RegKey.h"
#include "platform/Text.h"

static_assert(!std::is_copy_constructible<RegKey>::value, "a key must have one owner");
static_assert(std::is_nothrow_move_constructible<RegKey>::value, "keys move");

namespace {

const wchar_t kSandbox[] = L"Software\\VelomaSS tests";
const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const std::wstring kSystem = L"Software\\Tamsk soft\\VelomaSS\\System";
const std::wstring kSound = L"Software\\Tamsk soft\\VelomaSS\\Sound";
const std::string kJapanese = "\xE3\x82\xB3\xE3\x83\x9E\xE7\x94\xBB\xE5\x83\x8F";   // コマ画像

// The store's keys under a scratch key of the current user, so these cases
// never touch the saver's own settings.
class SettingsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
        m_root = RegKey::Create(HKEY_CURRENT_USER, kSandbox, KEY_ALL_ACCESS);
        ASSERT_TRUE(m_root.IsOpen());
        m_registry = std::make_unique<WinRegistry>(m_root.Get());
    }
    void TearDown() override
    {
        m_registry.reset();
        m_root.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    }

    void SetRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        RegKey key = RegKey::Create(m_root.Get(), path, KEY_WRITE);
        ASSERT_TRUE(key.SetValue(name, type, data, size)) << Narrow(name);
    }
    void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text)
    {
        SetRaw(path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    DWORD ValueCount(const std::wstring& path)
    {
        RegKey key = RegKey::Open(m_root.Get(), path, KEY_READ);
        DWORD count = 12345;
        if (!key || RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                     nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return 12345;
        return count;
    }

    RegKey m_root;
    std::unique_ptr<WinRegistry> m_registry;
    WinFileProbe m_files;
};

// A scratch folder with a few files, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        m_path = base + std::wstring(L"veloma-settings-") + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::wstring& file : m_files)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    std::string Path() const { return Narrow(m_path); }
    std::string MakeFile(const std::string& name)
    {
        const std::wstring path = m_path + L"\\" + Widen(name);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
        CloseHandle(file);
        m_files.push_back(path);
        return Narrow(path);
    }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

std::string CurrentDirectory()
{
    wchar_t buffer[2048] = {};
    GetCurrentDirectoryW(2048, buffer);
    return Narrow(buffer);
}

} // namespace

TEST_F(SettingsRegistryTest, EmptyRegistryCreatesEmptyKeysAndGivesDefaults)
{
    SaverSettings s;
    ReadSettings(s, *m_registry, m_files);
    EXPECT_EQ(ValueCount(kSystem), 0u) << "System key created, nothing written";
    EXPECT_EQ(ValueCount(kSound), 0u) << "Sound key created, nothing written";
    EXPECT_EQ(s.Bitmap, CurrentDirectory() + "\\velomass.bmp");
    EXPECT_EQ(s.AnimIntrvl, 50);
    EXPECT_EQ(s.CellSize, 32);
    EXPECT_EQ(s.CellNo, 5);
    EXPECT_EQ(s.BCCol, 0u);
    EXPECT_EQ(s.BGMRandomPlay, 1);
    EXPECT_EQ(s.MIDI, "");
}

TEST_F(SettingsRegistryTest, SavedSettingsReadBackAndAreStoredAsText)
{
    TempFolder folder;
    SaverSettings saved;
    saved.Bitmap = folder.MakeFile(kJapanese + ".bmp");
    saved.MIDI = folder.MakeFile("music.mid");
    saved.Select = folder.MakeFile(kJapanese + ".wav");
    saved.Disappear = folder.MakeFile("gone.wav");
    saved.AnimIntrvl = 120;
    saved.BlackOutTime = -3;
    saved.AnimBMPOption = 5;
    saved.CellSize = 96;
    saved.CellArr = 4;
    saved.CellNo = 3;
    saved.PassWord = "never written here";
    saved.DoviOption = 1;
    saved.BCCol = 0xFF0000;
    saved.BGM = 1;
    saved.BGMRandomPlay = 0;
    saved.Sound = 1;
    SaveSettings(saved, "ff0000", *m_registry);
    EXPECT_EQ(ValueCount(kSystem), 10u);
    EXPECT_EQ(ValueCount(kSound), 6u);

    // The forms on the real registry: REG_SZ, terminator counted.
    RegKey system = RegKey::Open(m_root.Get(), kSystem, KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(system.QueryValue(L"AnimBMPOption", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, (std::vector<BYTE>{'1', 0, 0, 0}));
    ASSERT_TRUE(system.QueryValue(L"Bitmap", type, data));
    EXPECT_EQ(data.size(), (Widen(saved.Bitmap).size() + 1) * sizeof(wchar_t));
    EXPECT_FALSE(system.QueryValue(L"PassWord", type, data)) << "PassWord must not be written";

    SaverSettings s;
    ReadSettings(s, *m_registry, m_files);
    EXPECT_EQ(s.Bitmap, saved.Bitmap);
    EXPECT_EQ(s.MIDI, saved.MIDI);
    EXPECT_EQ(s.Select, saved.Select);
    EXPECT_EQ(s.Disappear, saved.Disappear);
    EXPECT_EQ(s.AnimIntrvl, 120);
    EXPECT_EQ(s.BlackOutTime, -3);
    EXPECT_EQ(s.AnimBMPOption, 1);
    EXPECT_EQ(s.CellSize, 96);
    EXPECT_EQ(s.CellArr, 4);
    EXPECT_EQ(s.CellNo, 3);
    EXPECT_EQ(s.PassWord, "");
    EXPECT_EQ(s.BlankOption, 0);
    EXPECT_EQ(s.DoviOption, 1);
    EXPECT_EQ(s.BCCol, 0xFF0000u);
    EXPECT_EQ(s.BGM, 1);
    EXPECT_EQ(s.BGMRandomPlay, 0);
    EXPECT_EQ(s.Sound, 1);

    // Japanese text survives the registry.
    ASSERT_TRUE(SavePassword(*m_registry, kJapanese));
    ReadSettings(s, *m_registry, m_files);
    EXPECT_EQ(s.PassWord, kJapanese);
}

TEST_F(SettingsRegistryTest, ValuesThatCannotBeReadTakeTheirDefaults)
{
    const DWORD sixtyFour = 64;
    SetRaw(kSystem, L"CellSize", REG_DWORD, &sixtyFour, sizeof sixtyFour);
    SetRaw(kSystem, L"AnimIntrvl", REG_BINARY, "120", 3);
    SetRaw(kSound, L"BGMRandomPlay", REG_DWORD, "\0\0\0\0", 4);
    SetText(kSystem, L"PassWord", std::wstring(600, L'x'));
    SetText(kSystem, L"BCCol", std::wstring(507, L' ') + L"ff");   // 509 bytes: fits, but not hex
    SetText(kSystem, L"CellNo", std::wstring(509, L' ') + L"3");     // 510 bytes: fits
    SetText(kSystem, L"CellArr", std::wstring(510, L' ') + L"3");    // 511 bytes: does not
    SetRaw(kSystem, L"BlackOutTime", REG_EXPAND_SZ, L"7", 4);
    SetRaw(kSound, L"Sound", REG_SZ, L"1", 2);                       // no terminator
    SetRaw(kSound, L"BGM", REG_SZ, L"1x", 3);                        // odd length

    SaverSettings s;
    ReadSettings(s, *m_registry, m_files);
    EXPECT_EQ(s.CellSize, 32) << "REG_DWORD";
    EXPECT_EQ(s.AnimIntrvl, 50) << "REG_BINARY";
    EXPECT_EQ(s.BGMRandomPlay, 1) << "REG_DWORD";
    EXPECT_EQ(s.PassWord, "") << "600 characters";
    EXPECT_EQ(s.BCCol, 0u);
    EXPECT_EQ(s.CellNo, 3);
    EXPECT_EQ(s.CellArr, 1);
    EXPECT_EQ(s.BlackOutTime, 7) << "REG_EXPAND_SZ is text";
    EXPECT_EQ(s.Sound, 1);
    EXPECT_EQ(s.BGM, 1);
}

TEST_F(SettingsRegistryTest, DesktopValues)
{
    const std::wstring desktop = L"Control Panel\\desktop";
    DesktopSaverValues got = ReadDesktopValues(*m_registry);
    EXPECT_FALSE(got.UsePassword);
    EXPECT_FALSE(RegKey::Open(m_root.Get(), desktop, KEY_READ).IsOpen()) << "the desktop key must not be created";

    struct Case {
        DWORD type;
        std::vector<BYTE> data;
        bool want;
    };
    const Case cases[] = {
        {REG_SZ, {'0', 0, 0, 0}, false},
        {REG_SZ, {'1', 0, 0, 0}, true},
        {REG_DWORD, {1, 0, 0, 0}, true},
        {REG_DWORD, {0, 0, 0, 0}, false},
        {REG_BINARY, {1}, true},
    };
    for (const Case& c : cases) {
        SetRaw(desktop, L"ScreenSaveUsePassword", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        got = ReadDesktopValues(*m_registry);
        EXPECT_EQ(got.UsePassword, c.want) << "type " << c.type << " first byte " << int(c.data[0]);
    }

    SetText(desktop, L"ScreenSaveLowPowerActive", L"1");
    SetText(desktop, L"ScreenSaveLowPowerTimeOut", L"900");
    EXPECT_EQ(ReadDesktopValues(*m_registry).LowPowerMinutes, 15);
    SetText(desktop, L"ScreenSaveLowPowerActive", L"0");
    EXPECT_EQ(ReadDesktopValues(*m_registry).LowPowerMinutes, 0);
}

TEST(SettingsRegistryHkcuTest, ConvenienceFunctionsUseTheSaversOwnKeys)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    TempFolder folder;
    SaverSettings saved;
    saved.Bitmap = folder.MakeFile("pieces.bmp");
    saved.CellNo = 4;
    SaveSettingsToRegistry(saved, "abcdef");
    ASSERT_TRUE(SavePasswordToRegistry("pw"));

    SaverSettings s;
    ReadSettingsFromRegistry(s);
    EXPECT_EQ(s.Bitmap, saved.Bitmap);
    EXPECT_EQ(s.CellNo, 4);
    EXPECT_EQ(s.BCCol, 0xABCDEFu);
    EXPECT_EQ(s.PassWord, "pw");
    EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, kSound, KEY_READ).IsOpen());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
}

TEST(RegKeyTest, MovesOwnership)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    RegKey first = RegKey::Create(HKEY_CURRENT_USER, kSandbox, KEY_ALL_ACCESS);
    ASSERT_TRUE(first.IsOpen());
    const HKEY handle = first.Get();
    RegKey second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(second.Get(), handle);
    RegKey third;
    third = std::move(second);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(third.SetString(L"v", L"x"));
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(third.QueryValue(L"v", type, data));
    EXPECT_FALSE(first.QueryValue(L"v", type, data)) << "an empty key reads nothing";
    third.Close();
    EXPECT_FALSE(third.IsOpen());
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, L"Software\\VelomaSS no such key", KEY_READ).IsOpen());
    RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
}

TEST(WinFileProbeTest, DirectorySearchFindsFilesFoldersAndWildcards)
{
    TempFolder folder;
    const std::string file = folder.MakeFile("a.tmp");
    const std::string japanese = folder.MakeFile(kJapanese + ".wav");
    struct Case {
        std::string path;
        bool want;
    };
    const Case cases[] = {
        {file, true},
        {japanese, true},
        {folder.Path(), true},
        {folder.Path() + "\\*.tmp", true},
        {folder.Path() + "\\?.tmp", true},
        {folder.Path() + "\\*.mid", false},
        {folder.Path() + "\\b.tmp", false},
        {"Q:\\no\\such\\file.bmp", false},
        {"", false},
        {std::string(5000, 'a'), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WinFileExists(c.path), c.want) << "\"" << c.path.substr(0, 200) << "\"";
}

TEST(WinFileProbeTest, DefaultBitmapPathFollowsTheCurrentDirectory)
{
    const std::string before = CurrentDirectory();
    TempFolder folder;
    WinFileProbe files;
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(folder.Path()).c_str()));
    EXPECT_EQ(DefaultBitmapPath(files), folder.Path() + "\\velomass.bmp");
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    EXPECT_EQ(DefaultBitmapPath(files), "C:\\\\velomass.bmp");
    SetCurrentDirectoryW(Widen(before).c_str());
}
