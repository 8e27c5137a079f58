// The settings store on the real registry: what the core's text forms
// become as value types, and the odd stored types and lengths it meets.
#include "platform/Files.h"
#include "platform/Registry.h"
#include "settings/SettingsStore.h"

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
const std::wstring kSystem = L"Software\\Tamsk soft\\VelomaSS\\System";
const std::wstring kSound = L"Software\\Tamsk soft\\VelomaSS\\Sound";

// The store's keys under a scratch key of the current user, so these cases
// never touch the saver's own settings.
class SettingsRegistryTest : public ::testing::Test {
protected:
    static RegKey FreshSandbox()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
        return RegKey::Create(HKEY_CURRENT_USER, kSandbox, KEY_ALL_ACCESS);
    }
    void SetUp() override { ASSERT_TRUE(m_root.IsOpen()); }
    void TearDown() override
    {
        m_root.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    }

    void SetRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_TRUE(RegKey::Create(m_root.Get(), path, KEY_WRITE).SetValue(name, type, data, size)) << Narrow(name);
    }
    void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text)
    {
        SetRaw(path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    RegKey m_root = FreshSandbox();
    WinRegistry m_registry{m_root.Get()};
    WinFileSystem m_files;
};

} // namespace

TEST_F(SettingsRegistryTest, ValuesAreSavedAsTerminatedText)
{
    Settings s;
    s.AnimBMPOption = 1;
    SaveSettings(s, "ff0000", m_registry);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RegKey::Open(m_root.Get(), kSystem, KEY_READ).QueryValue(L"AnimBMPOption", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, (std::vector<BYTE>{'1', 0, 0, 0})) << "UTF-16, terminator counted";

    const std::string japanese = "\xE3\x82\xB3\xE3\x83\x9E\xE7\x94\xBB\xE5\x83\x8F";  // コマ画像
    ASSERT_TRUE(SavePassword(m_registry, japanese));
    Settings read;
    ReadSettings(read, m_registry, m_files);
    EXPECT_EQ(read.AnimBMPOption, 1);
    EXPECT_EQ(read.PassWord, japanese);
}

TEST_F(SettingsRegistryTest, ValuesThatCannotBeReadTakeTheirDefaults)
{
    const DWORD sixtyFour = 64;
    SetRaw(kSystem, L"CellSize", REG_DWORD, &sixtyFour, sizeof sixtyFour);
    SetRaw(kSystem, L"AnimIntrvl", REG_BINARY, "120", 3);
    SetText(kSystem, L"PassWord", std::wstring(171, L'\uFF71'));       // 513 bytes in UTF-8
    SetText(kSystem, L"CellNo", std::wstring(32766, L' ') + L"3");   // the path limit: fits
    SetText(kSystem, L"CellArr", std::wstring(32767, L' ') + L"3");  // one more: does not
    SetRaw(kSystem, L"BlackOutTime", REG_EXPAND_SZ, L"7", 4);
    SetRaw(kSound, L"Sound", REG_SZ, L"1", 2);                     // no terminator
    SetRaw(kSound, L"BGM", REG_SZ, L"1x", 3);                      // odd length

    Settings s;
    ReadSettings(s, m_registry, m_files);
    EXPECT_EQ(s.CellSize, 32) << "REG_DWORD";
    EXPECT_EQ(s.AnimIntrvl, 50) << "REG_BINARY";
    EXPECT_EQ(s.PassWord, Narrow(std::wstring(171, L'\uFF71'))) << "171 half-width katakana";
    EXPECT_EQ(s.CellNo, 3);
    EXPECT_EQ(s.CellArr, 1);
    EXPECT_EQ(s.BlackOutTime, 7) << "REG_EXPAND_SZ is text";
    EXPECT_EQ(s.Sound, 1);
    EXPECT_EQ(s.BGM, 1);

    // The desktop's flag, a REG_DWORD read as bytes.
    const DWORD one = 1;
    SetRaw(L"Control Panel\\desktop", L"ScreenSaveUsePassword", REG_DWORD, &one, sizeof one);
    EXPECT_TRUE(ReadDesktopValues(m_registry).UsePassword) << "REG_DWORD 1";
}
