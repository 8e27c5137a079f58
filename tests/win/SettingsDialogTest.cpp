// The settings dialog and its sub-dialogs on the real registry of the test
// prefix, driven from inside their modal loops.
#include "settings/SettingsDialog.h"

#include "app/SaverApp.h"
#include "board/BoardObserver.h"
#include "platform/RegKey.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "settings/AboutDialog.h"
#include "settings/MidiListDialog.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const wchar_t kSystemKey[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const wchar_t kSoundKey[] = L"Software\\Tamsk soft\\VelomaSS\\Sound";
const wchar_t kDesktopKey[] = L"Control Panel\\desktop";
const wchar_t kMidiListCaption[] = L"MIDIファイルリストの設定";
const wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報";
const wchar_t kColourCaption[] = L"Color設定";

std::wstring SourcePath(const char* relative)
{
    std::wstring path = L"Z:" + Widen(VELOMA_SOURCE_DIR) + L"/" + Widen(relative);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::optional<std::wstring> ReadValue(const wchar_t* keyPath, const wchar_t* name)
{
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, keyPath, KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key || !key.QueryValue(name, type, data))
        return std::nullopt;
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos)
        text.resize(end);
    return text;
}

void WriteValue(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text)
{
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, keyPath, KEY_WRITE);
    ASSERT_TRUE(key.SetString(name, text)) << Narrow(name);
}

void DeleteValue(const wchar_t* keyPath, const wchar_t* name)
{
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, keyPath, KEY_WRITE);
    if (key)
        RegDeleteValueW(key.Get(), name);
}

// Every value under the saver's two keys, as type and bytes.
std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> Snapshot()
{
    std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> all;
    for (const wchar_t* path : {kSystemKey, kSoundKey}) {
        RegKey key = RegKey::Open(HKEY_CURRENT_USER, path, KEY_READ);
        if (!key)
            continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256, type = 0, size = 0;
            if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            std::vector<BYTE> data;
            key.QueryValue(name, type, data);
            all[std::wstring(path) + L"\\" + name] = {type, data};
        }
    }
    return all;
}

std::string Show(const std::optional<std::wstring>& value)
{
    return value ? "\"" + Narrow(*value) + "\"" : "(missing)";
}

// Answers the choosers from a list (nullopt: Cancel) and keeps the boxes.
class FakePrompts : public SettingsPrompts {
public:
    struct Request {
        std::string defaultExt, fileName, filter;
    };
    std::vector<std::optional<std::string>> answers;
    std::vector<Request> requests;
    std::vector<std::string> messages;
    std::function<void()> whileOpen;  // runs as if the user took time to choose

    bool OpenFile(HWND, const std::string& defaultExt, const std::string& fileName, const std::string& filter,
                  std::string& path) override
    {
        const size_t n = requests.size();
        requests.push_back({defaultExt, fileName, filter});
        if (whileOpen)
            whileOpen();
        if (n >= answers.size() || !answers[n])
            return false;
        path = *answers[n];
        return true;
    }
    void Message(HWND, const std::string& text) override { messages.push_back(text); }
};

// Counts the new boards the preview deals.
class DealCounter : public BoardObserver {
public:
    int dealt = 0;
    void BoardDealt(const BoardGame&) override { ++dealt; }
};

// What changes on every tick of a playing board.
std::vector<int> PlayState(const BoardWnd& b)
{
    return {b.m_nFrame, b.m_bDisappearing ? 1 : 0, b.m_nSelectCycles, b.m_nSelX, b.m_nSelY, b.m_nGroupSize};
}

// Lets the board's timer run for a while.
void Idle(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        for (const wchar_t* name : {L"ScreenSaveLowPowerActive", L"ScreenSaveLowPowerTimeOut"})
            m_desktop[name] = ReadValue(kDesktopKey, name);
        WriteValue(kDesktopKey, L"ScreenSaveLowPowerActive", L"0");
        wchar_t cwd[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, cwd);
        m_cwd = cwd;
        // Our piece image is velomass.bmp there, where a fresh run looks.
        ASSERT_TRUE(SetCurrentDirectoryW(SourcePath("res").c_str()));
        TakeQuitMessage();
    }

    void TearDown() override
    {
        DropPendingSteps();
        SetCurrentDirectoryW(m_cwd.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        for (const auto& [name, value] : m_desktop) {
            if (value)
                WriteValue(kDesktopKey, name.c_str(), *value);
            else
                DeleteValue(kDesktopKey, name.c_str());
        }
        TakeQuitMessage();
    }

    // Runs the dialog with `script` acting inside it; the script ends it.
    INT_PTR Run(SettingsDialog& dlg, std::function<void(HWND)> script)
    {
        dlg.SetPrompts(&prompts);
        Later([&dlg, script] {
            HWND h = dlg.Handle();
            script(h);
            // A script that stopped early must not leave the dialog open.
            Later([h] {
                if (IsWindow(h))
                    EndDialog(h, IDCANCEL);
            }, 2000);
        });
        return dlg.DoModal();
    }

    FakePrompts prompts;

private:
    std::map<std::wstring, std::optional<std::wstring>> m_desktop;
    std::wstring m_cwd;
};

TEST_F(SettingsDialogTest, FreshRegistryShowsTheDefaults)
{
    SettingsDialog dlg;
    struct Seen {
        std::vector<int> checked;
        std::wstring speed, blackOut, bitmap;
        int speedPos = -1, blackOutPos = -1, speedMin = -1, speedMax = -1, blackOutMin = -1, blackOutMax = -1;
        bool fillButtonVisible = true;
        std::wstring menuItem;
        HICON bigIcon = nullptr, dragIcon = nullptr;
        RECT previewRect{}, placeRect{};
        bool previewVisible = false;
        int previewId = -1;
        int previewCellSize = 0, previewBlackOut = -1;
        std::string previewPassword = "?";
    } seen;
    const INT_PTR result = Run(dlg, [&](HWND h) {
        for (int id = 1000; id <= 1045; ++id)
            if (GetDlgItem(h, id) && Checked(h, id))
                seen.checked.push_back(id);
        seen.speed = ItemText(h, IDC_SPEED_TEXT);
        seen.blackOut = ItemText(h, IDC_BLACKOUT_TEXT);
        seen.bitmap = ItemText(h, IDC_BITMAP_PATH);
        seen.speedPos = GetScrollPos(GetDlgItem(h, IDC_SPEED_BAR), SB_CTL);
        seen.blackOutPos = GetScrollPos(GetDlgItem(h, IDC_BLACKOUT_BAR), SB_CTL);
        GetScrollRange(GetDlgItem(h, IDC_SPEED_BAR), SB_CTL, &seen.speedMin, &seen.speedMax);
        GetScrollRange(GetDlgItem(h, IDC_BLACKOUT_BAR), SB_CTL, &seen.blackOutMin, &seen.blackOutMax);
        seen.fillButtonVisible = IsWindowVisible(GetDlgItem(h, IDC_FILL_COLOUR)) != FALSE;
        wchar_t item[128] = {};
        GetMenuStringW(GetSystemMenu(h, FALSE), IDM_ABOUT, item, 128, MF_BYCOMMAND);
        seen.menuItem = item;
        seen.bigIcon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
        seen.dragIcon = reinterpret_cast<HICON>(SendMessageW(h, WM_QUERYDRAGICON, 0, 0));

        HWND preview = dlg.Preview().Handle();
        GetWindowRect(preview, &seen.previewRect);
        GetWindowRect(GetDlgItem(h, IDC_PREVIEW_PLACE), &seen.placeRect);
        seen.previewVisible = IsWindowVisible(preview) != FALSE && GetParent(preview) == h;
        seen.previewId = GetDlgCtrlID(preview);
        seen.previewCellSize = dlg.Preview().CellSize;
        seen.previewBlackOut = dlg.Preview().BlackOutTime;
        seen.previewPassword = dlg.Preview().PassWord;
        ClickItem(h, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);

    const std::vector<int> wantChecked{IDC_PATTERN_RANDOM, IDC_NUMBER_5, IDC_SIZE_1};
    EXPECT_EQ(seen.checked, wantChecked) << "checked controls";
    EXPECT_EQ(Narrow(seen.speed), "50");
    EXPECT_EQ(Narrow(seen.blackOut), "0");
    EXPECT_EQ(seen.speedPos, 50);
    EXPECT_EQ(seen.blackOutPos, 0);
    EXPECT_EQ(seen.speedMin, 50);
    EXPECT_EQ(seen.speedMax, 200);
    EXPECT_EQ(seen.blackOutMin, 0);
    EXPECT_EQ(seen.blackOutMax, 120);
    EXPECT_FALSE(seen.fillButtonVisible) << "button 1044 must be hidden without a fill option";
    EXPECT_EQ(Narrow(seen.bitmap), Narrow(SourcePath("res") + L"\\velomass.bmp"));
    EXPECT_TRUE(prompts.messages.empty()) << "no message when velomass.bmp is in the current directory";
    EXPECT_TRUE(prompts.requests.empty());
    EXPECT_EQ(Narrow(seen.menuItem), "ﾊﾞｰｼﾞｮﾝ情報(Veloma Screen Saver) (&A)...");
    EXPECT_NE(seen.bigIcon, nullptr);
    EXPECT_EQ(seen.dragIcon, seen.bigIcon);

    EXPECT_TRUE(seen.previewVisible) << "the preview is a visible child of the dialog";
    EXPECT_EQ(seen.previewId, 0);
    EXPECT_EQ(seen.previewRect.left, seen.placeRect.left);
    EXPECT_EQ(seen.previewRect.top, seen.placeRect.top);
    EXPECT_EQ(seen.previewRect.right, seen.placeRect.right);
    EXPECT_EQ(seen.previewRect.bottom, seen.placeRect.bottom);
    EXPECT_EQ(seen.previewCellSize, 24);
    EXPECT_EQ(seen.previewBlackOut, 0);
    EXPECT_EQ(seen.previewPassword, "");

    // Opening writes nothing; the keys are created empty.
    EXPECT_TRUE(Snapshot().empty());
}

TEST_F(SettingsDialogTest, StoredValuesAndThePreviewsOwnCopy)
{
    WriteValue(kSystemKey, L"CellSize", L"50");
    WriteValue(kSystemKey, L"CellArr", L"9");
    WriteValue(kSystemKey, L"CellNo", L"7");
    WriteValue(kSystemKey, L"BlackOutTime", L"30");
    WriteValue(kSystemKey, L"AnimIntrvl", L"120");
    WriteValue(kSystemKey, L"PassWord", L"secret");
    WriteValue(kSystemKey, L"DoviOption", L"1");
    WriteValue(kSystemKey, L"AnimBMPOption", L"1");
    WriteValue(kSoundKey, L"BGM", L"1");
    WriteValue(kSoundKey, L"Select", L"C:\\no\\such.wav");
    WriteValue(kDesktopKey, L"ScreenSaveLowPowerActive", L"1");
    WriteValue(kDesktopKey, L"ScreenSaveLowPowerTimeOut", L"900");

    SettingsDialog dlg;
    std::vector<int> checked;
    std::wstring blackOut, select;
    bool fillButton = false;
    int previewCellSize = 0, previewBlackOut = -1;
    std::string previewPassword;
    Run(dlg, [&](HWND h) {
        for (int id = 1000; id <= 1045; ++id)
            if (GetDlgItem(h, id) && Checked(h, id))
                checked.push_back(id);
        blackOut = ItemText(h, IDC_BLACKOUT_TEXT);
        select = ItemText(h, IDC_SELECT_PATH);
        fillButton = IsWindowVisible(GetDlgItem(h, IDC_FILL_COLOUR)) != FALSE;
        previewCellSize = dlg.Preview().CellSize;
        previewBlackOut = dlg.Preview().BlackOutTime;
        previewPassword = dlg.Preview().PassWord;
        ClickItem(h, IDCANCEL);
    });
    const std::vector<int> wantChecked{IDC_PATTERN_VLINE, IDC_NUMBER_5, IDC_BGM, IDC_BMP_OPTION, IDC_SIZE_4,
                                       IDC_INITIAL_CELL_OPTION};
    EXPECT_EQ(checked, wantChecked);
    EXPECT_EQ(Narrow(blackOut), "15") << "held to the 900-second low-power time-out";
    EXPECT_EQ(dlg.BlackOutTime, 15);
    EXPECT_EQ(Narrow(select), "C:\\no\\such.wav") << "the dialog shows the stored path as it is";
    EXPECT_TRUE(fillButton) << "DoviOption offers the fill colour";
    EXPECT_EQ(previewCellSize, 30) << "stored 50 gives 50 * 12 / 32 + 12";
    EXPECT_EQ(previewBlackOut, 0) << "the preview never blacks out";
    EXPECT_EQ(previewPassword, "") << "the preview never asks for a password";
    EXPECT_EQ(dlg.PassWord, "") << "the password is not the dialog's";
}

TEST_F(SettingsDialogTest, RadioButtonsChangeFieldPreviewAndBoard)
{
    const struct {
        int button;
        int SaverSettings::*field;
        int value;
        int previewValue;
    } cases[] = {
        {IDC_PATTERN_LINE, &SaverSettings::CellArr, 2, 2},
        {IDC_PATTERN_HLINE, &SaverSettings::CellArr, 4, 4},
        {IDC_PATTERN_VLINE, &SaverSettings::CellArr, 5, 5},
        {IDC_PATTERN_SQUARE, &SaverSettings::CellArr, 3, 3},
        {IDC_PATTERN_RANDOM, &SaverSettings::CellArr, 1, 1},
        {IDC_NUMBER_3, &SaverSettings::CellNo, 3, 3},
        {IDC_NUMBER_4, &SaverSettings::CellNo, 4, 4},
        {IDC_NUMBER_5, &SaverSettings::CellNo, 5, 5},
        {IDC_SIZE_2, &SaverSettings::CellSize, 64, 36},
        {IDC_SIZE_3, &SaverSettings::CellSize, 96, 48},
        {IDC_SIZE_4, &SaverSettings::CellSize, 128, 60},
        {IDC_SIZE_1, &SaverSettings::CellSize, 32, 24},
    };
    SettingsDialog dlg;
    DealCounter boards;
    dlg.Preview().SetObserver(&boards);
    Run(dlg, [&](HWND h) {
        EXPECT_TRUE(PumpUntil([&] { return boards.dealt > 0; }, 3000)) << "the preview did not start playing";
        for (const auto& c : cases) {
            const int before = boards.dealt;
            ToggleItem(h, c.button);
            EXPECT_TRUE(Checked(h, c.button)) << "button " << c.button;
            EXPECT_EQ(dlg.*(c.field), c.value) << "dialog field after button " << c.button;
            EXPECT_EQ(dlg.Preview().*(c.field), c.previewValue) << "preview member after button " << c.button;
            EXPECT_EQ(boards.dealt, before + 1) << "a new board after button " << c.button;
        }
        // One button per group stays checked.
        EXPECT_FALSE(Checked(h, IDC_PATTERN_SQUARE));
        EXPECT_FALSE(Checked(h, IDC_NUMBER_4));
        EXPECT_FALSE(Checked(h, IDC_SIZE_4));
        ClickItem(h, IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, FillOptionsShowAndHideTheColourButton)
{
    SettingsDialog dlg;
    Run(dlg, [&](HWND h) {
        const struct {
            int box;
            bool shown;
            int blank, dovi;  // the preview's members after the click
        } steps[] = {
            {IDC_BLANK_CELL_OPTION, true, 1, 0},
            {IDC_INITIAL_CELL_OPTION, true, 1, 1},
            {IDC_BLANK_CELL_OPTION, true, 0, 1},  // 1045 still checked
            {IDC_INITIAL_CELL_OPTION, false, 0, 0},
            {IDC_INITIAL_CELL_OPTION, true, 0, 1},
            {IDC_INITIAL_CELL_OPTION, false, 0, 0},
        };
        for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
            ToggleItem(h, steps[i].box);
            EXPECT_EQ(IsWindowVisible(GetDlgItem(h, IDC_FILL_COLOUR)) != FALSE, steps[i].shown) << "step " << i;
            EXPECT_EQ(dlg.Preview().BlankOption, steps[i].blank) << "step " << i;
            EXPECT_EQ(dlg.Preview().DoviOption, steps[i].dovi) << "step " << i;
        }
        // The other boxes reach the preview at once too.
        ToggleItem(h, IDC_SOUND);
        EXPECT_EQ(dlg.Sound, 1);
        EXPECT_EQ(dlg.Preview().Sound, 1);
        ToggleItem(h, IDC_BMP_OPTION);
        EXPECT_EQ(dlg.Preview().AnimBMPOption, 1);
        ToggleItem(h, IDC_BGM);
        EXPECT_EQ(dlg.BGM, 1);
        ClickItem(h, IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, ScrollBarsMoveTheirValues)
{
    SettingsDialog dlg;
    struct Step {
        int bar, code, thumb;
        int speed, blackOut;
    };
    const Step steps[] = {
        {IDC_SPEED_BAR, SB_LINERIGHT, 0, 51, 0},
        {IDC_SPEED_BAR, SB_PAGERIGHT, 0, 61, 0},
        {IDC_SPEED_BAR, SB_RIGHT, 0, 200, 0},
        {IDC_SPEED_BAR, SB_LINERIGHT, 0, 200, 0},
        {IDC_SPEED_BAR, SB_LEFT, 0, 50, 0},  // Home gives 1, the bar holds 50
        {IDC_SPEED_BAR, SB_THUMBTRACK, 123, 123, 0},
        {IDC_SPEED_BAR, SB_ENDSCROLL, 0, 123, 0},
        {IDC_BLACKOUT_BAR, SB_RIGHT, 0, 123, 120},  // End gives 200, held as 120
        {IDC_BLACKOUT_BAR, SB_LEFT, 0, 123, 1},
        {IDC_BLACKOUT_BAR, SB_LINELEFT, 0, 123, 0},
        {IDC_BLACKOUT_BAR, SB_PAGELEFT, 0, 123, 0},
        {IDC_BLACKOUT_BAR, SB_THUMBPOSITION, 45, 123, 45},
        {IDC_BLACKOUT_BAR, SB_PAGERIGHT, 0, 123, 55},
    };
    Run(dlg, [&](HWND h) {
        for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
            const Step& s = steps[i];
            Scroll(h, s.bar, s.code, s.thumb);
            EXPECT_EQ(dlg.AnimIntrvl, s.speed) << "step " << i;
            EXPECT_EQ(dlg.BlackOutTime, s.blackOut) << "step " << i;
            EXPECT_EQ(dlg.Preview().AnimIntrvl, s.speed) << "step " << i;
            EXPECT_EQ(dlg.Preview().BlackOutTime, 0) << "step " << i;
            EXPECT_EQ(Narrow(ItemText(h, IDC_SPEED_TEXT)), std::to_string(s.speed)) << "step " << i;
            EXPECT_EQ(Narrow(ItemText(h, IDC_BLACKOUT_TEXT)), std::to_string(s.blackOut)) << "step " << i;
        }
        ClickItem(h, IDCANCEL);
    });
}

class RunApp : public SaverApp {
public:
    RunApp() : SaverApp({}) {}
};

TEST_F(SettingsDialogTest, OkSavesEveryValueInItsStoredForm)
{
    WriteValue(kSystemKey, L"CellSize", L"96");
    WriteValue(kSystemKey, L"CellArr", L"4");
    WriteValue(kSystemKey, L"CellNo", L"3");
    WriteValue(kSystemKey, L"BCCol", L"00FF");
    WriteValue(kSystemKey, L"BlankOption", L"7");
    WriteValue(kSystemKey, L"PassWord", L"secret");
    WriteValue(kSoundKey, L"MIDI", L"C:\\music\\song.mid");
    WriteValue(kSoundKey, L"BGMRandomPlay", L"0");
    WriteValue(kSoundKey, L"Sound", L"1");

    RunApp app;
    int dialogs = 0;
    Later([&] {
        HWND h = FindThreadDialog(L"Veloma Screen Saver");
        ASSERT_NE(h, nullptr);
        // A second configure run only finds this one.
        app.RunSettingsDialog();
        dialogs = CountThreadWindows(L"Veloma Screen Saver");
        Scroll(h, IDC_SPEED_BAR, SB_PAGERIGHT);
        Scroll(h, IDC_BLACKOUT_BAR, SB_RIGHT);
        ClickItem(h, IDOK);
    });
    app.RunSettingsDialog();
    EXPECT_EQ(dialogs, 1) << "a second configure run opened another dialog";

    const struct {
        const wchar_t* key;
        const wchar_t* name;
        std::wstring want;
    } values[] = {
        {kSystemKey, L"Bitmap", SourcePath("res") + L"\\velomass.bmp"},
        {kSystemKey, L"AnimIntrvl", L"60"},
        {kSystemKey, L"BlackOutTime", L"120"},
        {kSystemKey, L"AnimBMPOption", L"0"},
        {kSystemKey, L"CellSize", L"96"},
        {kSystemKey, L"CellArr", L"4"},
        {kSystemKey, L"CellNo", L"3"},
        {kSystemKey, L"BlankOption", L"1"},
        {kSystemKey, L"DoviOption", L"0"},
        {kSystemKey, L"BCCol", L"00FF"},  // saved back as it was read
        {kSystemKey, L"PassWord", L"secret"},
        {kSoundKey, L"MIDI", L"C:\\music\\song.mid"},
        {kSoundKey, L"Select", L""},
        {kSoundKey, L"Disappear", L""},
        {kSoundKey, L"BGM", L"0"},
        {kSoundKey, L"Sound", L"1"},
        {kSoundKey, L"BGMRandomPlay", L"0"},
    };
    for (const auto& v : values)
        EXPECT_EQ(Show(ReadValue(v.key, v.name)), Show(v.want)) << Narrow(v.name);
    EXPECT_EQ(Snapshot().size(), sizeof values / sizeof values[0]) << "no other value is written";
}

TEST_F(SettingsDialogTest, CancelLeavesTheRegistryUntouched)
{
    WriteValue(kSystemKey, L"CellSize", L"64");
    WriteValue(kSystemKey, L"AnimIntrvl", L"abc");
    WriteValue(kSoundKey, L"Select", L"C:\\old.wav");
    const auto before = Snapshot();

    const struct {
        const char* how;
        std::function<void(HWND)> close;
    } ways[] = {
        {"Cancel button", [](HWND h) { ClickItem(h, IDCANCEL); }},
        {"Escape", [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        RunApp app;
        Later([&] {
            HWND h = FindThreadDialog(L"Veloma Screen Saver");
            ASSERT_NE(h, nullptr) << way.how;
            for (int id : {IDC_SIZE_4, IDC_PATTERN_SQUARE, IDC_NUMBER_3, IDC_BGM, IDC_SOUND, IDC_BMP_OPTION,
                           IDC_BLANK_CELL_OPTION, IDC_INITIAL_CELL_OPTION})
                ToggleItem(h, id);
            Scroll(h, IDC_SPEED_BAR, SB_RIGHT);
            Scroll(h, IDC_BLACKOUT_BAR, SB_PAGERIGHT);
            way.close(h);
        });
        app.RunSettingsDialog();
        EXPECT_TRUE(Snapshot() == before) << way.how << ": the registry changed";
        EXPECT_EQ(FindThreadDialog(L"Veloma Screen Saver"), nullptr) << way.how;
    }
}

TEST_F(SettingsDialogTest, SoundChoosers)
{
    WriteValue(kSoundKey, L"Select", L"C:\\old select.wav");
    SettingsDialog dlg;
    prompts.answers = {std::nullopt, std::string("D:\\new.wav"), std::nullopt, std::string("D:\\gone.wav")};
    Run(dlg, [&](HWND h) {
        ClickItem(h, IDC_CHOOSE_SELECT);  // Cancel takes the sound away
        EXPECT_EQ(Narrow(ItemText(h, IDC_SELECT_PATH)), "");
        EXPECT_EQ(dlg.Select, "");
        EXPECT_EQ(dlg.Preview().Select, "");
        ClickItem(h, IDC_CHOOSE_SELECT);  // chosen
        EXPECT_EQ(Narrow(ItemText(h, IDC_SELECT_PATH)), "D:\\new.wav");
        EXPECT_EQ(dlg.Preview().Select, "D:\\new.wav");
        ClickItem(h, IDC_CHOOSE_DISAPPEAR);  // Cancel with nothing set
        EXPECT_EQ(dlg.Disappear, "");
        ClickItem(h, IDC_CHOOSE_DISAPPEAR);
        EXPECT_EQ(Narrow(ItemText(h, IDC_DISAPPEAR_PATH)), "D:\\gone.wav");
        EXPECT_EQ(dlg.Preview().Disappear, "D:\\gone.wav");
        ClickItem(h, IDOK);
    });
    ASSERT_EQ(prompts.requests.size(), 4u);
    const FakePrompts::Request want[] = {
        {"wav", "C:\\old select.wav", "Wave File |*.wav||"},
        {"wav", "*.wav", "Wave File |*.wav||"},
        {"wav", "*.wav", "Wave File |*.wav||"},
        {"wav", "*.wav", "Wave File |*.wav||"},
    };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(prompts.requests[i].defaultExt, want[i].defaultExt) << "request " << i;
        EXPECT_EQ(prompts.requests[i].fileName, want[i].fileName) << "request " << i;
        EXPECT_EQ(prompts.requests[i].filter, want[i].filter) << "request " << i;
    }
    EXPECT_EQ(dlg.Select, "D:\\new.wav") << "OK reads the edits back";
    EXPECT_EQ(dlg.Disappear, "D:\\gone.wav");
}

TEST_F(SettingsDialogTest, MusicChooserAndTheListDialog)
{
    const struct {
        const char* what;
        std::optional<std::string> chosen;
        std::function<void(HWND)> answer;  // acts on the list dialog; null: none may open
        int wantRandom;
        std::string wantMidi;
    } cases[] = {
        {"list, in order", std::string("C:\\MUSIC\\SET.LST"),
         [](HWND d) {
             EXPECT_TRUE(Checked(d, IDC_LIST_AT_RANDOM)) << "the stored 1 shows as random";
             ToggleItem(d, IDC_LIST_IN_ORDER);
             ClickItem(d, IDOK);
         },
         0, "C:\\MUSIC\\SET.LST"},
        {"list, Escape keeps the value", std::string("C:\\MUSIC\\SET.LST"),
         [](HWND d) {
             ToggleItem(d, IDC_LIST_IN_ORDER);
             SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
         },
         1, "C:\\MUSIC\\SET.LST"},
        {"not a list", std::string("C:\\a.lst.mid"), nullptr, 1, "C:\\a.lst.mid"},
        {"list inside a folder name", std::string("C:\\x.lst\\y.lst"), nullptr, 1, "C:\\x.lst\\y.lst"},
        {"cancelled", std::nullopt, nullptr, 1, "C:\\old.mid"},
    };
    for (const auto& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        WriteValue(kSoundKey, L"MIDI", L"C:\\old.mid");
        FakePrompts fresh;
        prompts = fresh;
        prompts.answers = {c.chosen};
        SettingsDialog dlg;
        bool listOpened = false;
        Run(dlg, [&](HWND h) {
            Later([&] {
                HWND list = FindThreadDialog(kMidiListCaption);
                listOpened = list != nullptr;
                if (list && c.answer)
                    c.answer(list);
                else if (list)
                    EndDialog(list, IDCANCEL);
            }, 50);
            ClickItem(h, IDC_CHOOSE_MIDI);
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(listOpened, c.answer != nullptr) << c.what;
        EXPECT_EQ(dlg.BGMRandomPlay, c.wantRandom) << c.what;
        EXPECT_EQ(dlg.MIDI, c.wantMidi) << c.what;
        if (c.chosen) {
            EXPECT_EQ(dlg.Preview().MIDI, c.wantMidi) << c.what;
            EXPECT_EQ(dlg.Preview().BGMRandomPlay, c.wantRandom) << c.what;
        }
        ASSERT_EQ(prompts.requests.size(), 1u) << c.what;
        EXPECT_EQ(prompts.requests[0].defaultExt, "") << c.what;
        EXPECT_EQ(prompts.requests[0].fileName, "C:\\old.mid") << c.what;
        EXPECT_EQ(prompts.requests[0].filter, "MIDI File & List File|*.rmi;*.mid;*.lst||") << c.what;
    }
}

TEST_F(SettingsDialogTest, MissingBitmapAsksForOne)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring empty = std::wstring(temp) + L"veloma dialog test";
    CreateDirectoryW(empty.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(empty.c_str()));
    WriteValue(kSystemKey, L"Bitmap", L"C:\\no\\such.bmp");
    const std::string picked = Narrow(SourcePath("res") + L"\\velomass.bmp");

    for (bool answer : {false, true}) {
        FakePrompts fresh;
        prompts = fresh;
        if (answer)
            prompts.answers = {picked};
        SettingsDialog dlg;
        std::wstring shown;
        Run(dlg, [&](HWND h) {
            shown = ItemText(h, IDC_BITMAP_PATH);
            ClickItem(h, IDCANCEL);
        });
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0],
                  "VelomaSS標準コマデータファイルがみつかりません。\n適当なコマデータファイルを選択して下さい。");
        ASSERT_EQ(prompts.requests.size(), 1u);
        EXPECT_EQ(prompts.requests[0].defaultExt, "bmp");
        EXPECT_EQ(prompts.requests[0].fileName, "velomass.bmp");
        EXPECT_EQ(prompts.requests[0].filter, "BMP File |*.bmp||");
        EXPECT_EQ(Narrow(shown), answer ? picked : "velomass.bmp");
    }
    SetCurrentDirectoryW(SourcePath("res").c_str());
    RemoveDirectoryW(empty.c_str());
}

TEST_F(SettingsDialogTest, BitmapChooserKeepsTheOldImageForABadFile)
{
    const std::string good = Narrow(SourcePath("res") + L"\\velomass.bmp");
    const std::string notAnImage = Narrow(SourcePath("samples") + L"\\select.wav");
    SettingsDialog dlg;
    prompts.answers = {notAnImage, std::nullopt};
    bool stillWhileOpen = false;
    prompts.whileOpen = [&] {
        const std::vector<int> before = PlayState(dlg.Preview());
        Idle(600);
        stillWhileOpen = PlayState(dlg.Preview()) == before;
    };
    Run(dlg, [&](HWND h) {
        PumpUntil([&] { return dlg.Preview().m_pDib != nullptr; }, 3000);
        ClickItem(h, IDC_CHOOSE_BITMAP);
        EXPECT_EQ(dlg.Bitmap, good) << "a file that cannot be loaded is not taken";
        EXPECT_EQ(Narrow(ItemText(h, IDC_BITMAP_PATH)), good);
        EXPECT_NE(dlg.Preview().m_pDib, nullptr) << "the preview lost its image";
        EXPECT_TRUE(stillWhileOpen) << "the preview played while the chooser was open";

        stillWhileOpen = false;
        ClickItem(h, IDC_CHOOSE_BITMAP);  // Cancel
        EXPECT_TRUE(stillWhileOpen) << "the preview played while the chooser was open";
        EXPECT_EQ(dlg.Bitmap, good);
        const std::vector<int> afterCancel = PlayState(dlg.Preview());
        EXPECT_TRUE(PumpUntil([&] { return PlayState(dlg.Preview()) != afterCancel; }, 3000))
            << "the preview did not play again after Cancel";
        ClickItem(h, IDCANCEL);
    });
    ASSERT_GE(prompts.requests.size(), 2u);
    EXPECT_EQ(prompts.requests[0].defaultExt, "bmp");
    EXPECT_EQ(prompts.requests[0].fileName, good);
    EXPECT_EQ(prompts.requests[0].filter, "BMP File |*.bmp||");
}

TEST_F(SettingsDialogTest, ToolTipsAnswerWithTheirStrings)
{
    SettingsDialog dlg;
    struct Ask {
        int id;
        bool handled;
        std::string text;
    };
    std::vector<Ask> got;
    Run(dlg, [&](HWND h) {
        for (int id : {IDC_PATTERN_RANDOM, IDC_NUMBER_3, IDC_SIZE_4, IDC_BGM, IDC_SPEED_TEXT, IDC_BLACKOUT_TEXT,
                       IDC_BLANK_CELL_OPTION, IDC_INITIAL_CELL_OPTION, IDOK, IDC_CHOOSE_BITMAP}) {
            NMTTDISPINFOW info{};
            info.hdr.hwndFrom = dlg.ToolTipWindow();
            info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(h, id));
            info.hdr.code = TTN_GETDISPINFOW;
            info.uFlags = TTF_IDISHWND;
            const LRESULT handled = SendMessageW(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
            got.push_back({id, handled != 0, handled && info.lpszText ? Narrow(info.lpszText) : std::string()});
        }
        ClickItem(h, IDCANCEL);
    });
    const Ask want[] = {
        {IDC_PATTERN_RANDOM, true, "コマを適当にならべる"},
        {IDC_NUMBER_3, true, "3種類のコマを使用する"},
        {IDC_SIZE_4, true, "コマサイズ 128x128ドット"},
        {IDC_BGM, true, "指定したMIDIファイルをBGMとして演奏する"},
        {IDC_SPEED_TEXT, true, "アニメーションの１コマの表示にかける時間"},
        {IDC_BLACKOUT_TEXT, true, "表示をやめて画面を真っ黒にするまでの時間"},
        {IDC_BLANK_CELL_OPTION, true, "除去後のコマを指定した色で塗りつぶす"},
        {IDC_INITIAL_CELL_OPTION, true, "静止時のコマを指定した色で塗りつぶす"},
        {IDOK, false, ""},
        {IDC_CHOOSE_BITMAP, false, ""},
    };
    ASSERT_EQ(got.size(), sizeof want / sizeof want[0]);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].handled, want[i].handled) << "control " << want[i].id;
        EXPECT_EQ(got[i].text, want[i].text) << "control " << want[i].id;
    }
}

TEST_F(SettingsDialogTest, AboutFromButtonAndSystemMenu)
{
    SettingsDialog dlg;
    std::vector<std::wstring> texts;
    int opened = 0;
    auto closeAbout = [&] {
        HWND about = FindThreadDialog(kAboutCaption);
        if (!about)
            return;
        ++opened;
        EXPECT_EQ(GetWindow(about, GW_OWNER), dlg.Handle());
        for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(c, text, 256);
            texts.push_back(text);
        }
        ClickItem(about, IDOK);
    };
    Run(dlg, [&](HWND h) {
        Later(closeAbout, 50);
        ClickItem(h, IDC_ABOUT);
        Later(closeAbout, 50);
        SendMessageW(h, WM_SYSCOMMAND, IDM_ABOUT, 0);
        ClickItem(h, IDCANCEL);
    });
    EXPECT_EQ(opened, 2);
    bool version = false;
    for (const std::wstring& t : texts) {
        if (Narrow(t) == "Veloma Screen Saver " VELOMA_VERSION_TEXT)
            version = true;
    }
    EXPECT_TRUE(version) << "no line with the name and version " << VELOMA_VERSION_TEXT;
}

TEST_F(SettingsDialogTest, PasswordButtonOpensTheChangeDialog)
{
    WriteValue(kSystemKey, L"PassWord", L"secret");
    SettingsDialog dlg;
    bool opened = false;
    Run(dlg, [&](HWND h) {
        Later([&] {
            HWND password = FindThreadDialog(L"ﾊﾟｽﾜｰﾄﾞの変更");
            opened = password != nullptr;
            if (password)
                SendMessageW(password, WM_COMMAND, IDCANCEL, 0);
        }, 50);
        ClickItem(h, IDC_CHANGE_PASSWORD);
        ClickItem(h, IDOK);
    });
    EXPECT_TRUE(opened) << "button 1030 opened no change-password dialog";
    EXPECT_EQ(Show(ReadValue(kSystemKey, L"PassWord")), "\"secret\"");
    EXPECT_EQ(dlg.PassWord, "") << "the settings dialog carries no password";
}

TEST_F(SettingsDialogTest, ColourChoosing)
{
    WriteValue(kSystemKey, L"BCCol", L"ff");
    WriteValue(kSystemKey, L"BlankOption", L"1");
    const struct {
        const char* what;
        bool ok;
        std::uint32_t want;
        const char* wantText;
    } cases[] = {
        {"OK", true, 0x000AFFu, "aff"},
        {"Cancel", false, 0x0000FFu, "ff"},
    };
    for (const auto& c : cases) {
        SettingsDialog dlg;
        DealCounter boards;
        dlg.Preview().SetObserver(&boards);
        int dealtBefore = -1;
        int red = -1, green = -1, blue = -1;
        HWND owner = nullptr, settings = nullptr;
        Run(dlg, [&](HWND h) {
            settings = h;
            PumpUntil([&] { return boards.dealt > 0; }, 3000);
            dealtBefore = boards.dealt;
            Later([&] {
                HWND colour = FindThreadDialog(kColourCaption);
                ASSERT_NE(colour, nullptr) << c.what;
                owner = GetWindow(colour, GW_OWNER);
                red = GetScrollPos(GetDlgItem(colour, IDC_RED_BAR), SB_CTL);
                green = GetScrollPos(GetDlgItem(colour, IDC_GREEN_BAR), SB_CTL);
                blue = GetScrollPos(GetDlgItem(colour, IDC_BLUE_BAR), SB_CTL);
                Scroll(colour, IDC_GREEN_BAR, SB_PAGERIGHT);
                ClickItem(colour, c.ok ? IDOK : IDCANCEL);
            }, 50);
            ClickItem(h, IDC_FILL_COLOUR);
            EXPECT_EQ(boards.dealt, dealtBefore + (c.ok ? 1 : 0)) << c.what << ": a new layout after OK only";
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(owner, settings) << c.what;
        EXPECT_EQ(red, 255) << c.what;
        EXPECT_EQ(green, 0) << c.what;
        EXPECT_EQ(blue, 0) << c.what;
        EXPECT_EQ(dlg.BCCol, c.want) << c.what;
        EXPECT_EQ(dlg.BCColText, c.wantText) << c.what;
        EXPECT_EQ(dlg.Preview().BCCol, c.want) << c.what;
    }
}

TEST(MidiListDialogTest, AnswersWithTheCheckedOrder)
{
    const struct {
        const char* what;
        int given;
        std::function<void(HWND)> act;
        INT_PTR wantResult;
        int wantRandom;
        int wantChecked;
    } cases[] = {
        {"2 shows random, in order then OK", 2,
         [](HWND d) {
             ToggleItem(d, IDC_LIST_IN_ORDER);
             ClickItem(d, IDOK);
         },
         IDOK, 0, IDC_LIST_AT_RANDOM},
        {"OK at once keeps 1", 1, [](HWND d) { ClickItem(d, IDOK); }, IDOK, 1, IDC_LIST_AT_RANDOM},
        {"OK at once keeps 0", 0, [](HWND d) { ClickItem(d, IDOK); }, IDOK, 0, IDC_LIST_IN_ORDER},
        {"random then OK", 0,
         [](HWND d) {
             ToggleItem(d, IDC_LIST_AT_RANDOM);
             ClickItem(d, IDOK);
         },
         IDOK, 1, IDC_LIST_IN_ORDER},
        {"close box", 0, [](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL, 0,
         IDC_LIST_IN_ORDER},
    };
    for (const auto& c : cases) {
        MidiListDialog dlg;
        dlg.RandomPlay = c.given;
        int checkedFirst = 0;
        Later([&] {
            HWND h = dlg.Handle();
            checkedFirst = Checked(h, IDC_LIST_AT_RANDOM) ? IDC_LIST_AT_RANDOM
                           : Checked(h, IDC_LIST_IN_ORDER) ? IDC_LIST_IN_ORDER
                                                            : 0;
            c.act(h);
        });
        EXPECT_EQ(dlg.DoModal(), c.wantResult) << c.what;
        EXPECT_EQ(checkedFirst, c.wantChecked) << c.what;
        if (c.wantResult == IDOK)
            EXPECT_EQ(dlg.RandomPlay, c.wantRandom) << c.what;
    }
}

}  // namespace
