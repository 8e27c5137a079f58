// The settings dialog and its sub-dialogs on the real registry of the test
// prefix, driven from inside their modal loops.
#include "settings/win/SettingsDialog.h"

#include "app/win/Modes.h"
#include "platform/RegKey.h"
#include "res/SettingsIds.h"
#include "settings/win/MidiListDialog.h"
#include "base/ValueForms.h"
#include "win/PieceFiles.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>

namespace {

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const wchar_t kSystemKey[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const wchar_t kSoundKey[] = L"Software\\Tamsk soft\\VelomaSS\\Sound";
const wchar_t kTitle[] = L"Veloma Screen Saver";

// A file of the source tree as the program under Wine names it.
std::string SourcePath(const char* relative)
{
    std::string path = "Z:" + std::string(VELOMA_SOURCE_DIR) + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

const std::string kPieces = SourcePath("res/velomass.bmp");

// A stored text value, or "(missing)".
std::string Stored(const wchar_t* key, const wchar_t* name)
{
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return status == ERROR_SUCCESS ? Narrow(text) : "(missing)";
}

void Write(const wchar_t* key, std::initializer_list<std::pair<const wchar_t*, std::wstring>> values)
{
    RegKey k = RegKey::Create(HKEY_CURRENT_USER, key, KEY_WRITE);
    for (const auto& [name, text] : values)
        ASSERT_TRUE(k.SetString(name, text)) << Narrow(name);
}

// Every value under the saver's two keys, as type and bytes.
std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> Snapshot()
{
    std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> all;
    for (const wchar_t* path : {kSystemKey, kSoundKey}) {
        RegKey key = RegKey::Open(HKEY_CURRENT_USER, path, KEY_READ);
        wchar_t name[256];
        for (DWORD i = 0, length = 256;
             key && RegEnumValueW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, length = 256) {
            auto& value = all[std::wstring(path) + L"\\" + name];
            key.QueryValue(name, value.first, value.second);
        }
    }
    return all;
}

// The checked buttons among the dialog's controls, in id order.
std::vector<int> CheckedIds(HWND h)
{
    std::vector<int> ids;
    for (int id = 1000; id <= 1045; ++id)
        if (GetDlgItem(h, id) && Checked(h, id))
            ids.push_back(id);
    return ids;
}

bool Shown(HWND h, int id)
{
    return IsWindowVisible(GetDlgItem(h, id)) != FALSE;
}

// Acts on the dialog titled `title` from the modal loop the caller opens
// next, and counts it in `opened`; nothing happens when it is not open.
void WithDialog(const wchar_t* title, int& opened, std::function<void(HWND)> act)
{
    Later([title, &opened, act] {
        const std::vector<HWND> found = ThreadWindows(title);
        if (!found.empty()) {
            ++opened;
            act(found.front());
        }
    }, 50);
}

// Answers the choosers from a list (nullopt: Cancel) and keeps the boxes.
class FakePrompts : public SettingsPrompts {
public:
    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> requests;  // "ext / file name / filter"
    std::vector<std::string> messages;
    std::function<void()> whileOpen;  // runs as if the user took time to choose

    bool OpenFile(HWND, const std::string& ext, const std::string& fileName, const std::string& filter,
                  std::string& path) override
    {
        const size_t n = requests.size();
        requests.push_back(ext + " / " + fileName + " / " + filter);
        if (whileOpen)
            whileOpen();
        if (n >= answers.size() || !answers[n])
            return false;
        path = *answers[n];
        return true;
    }
    void Message(HWND, const std::string& text) override { messages.push_back(text); }
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        wchar_t cwd[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, cwd);
        m_cwd = cwd;
        // Our piece image is velomass.bmp there, where a fresh run looks.
        ASSERT_TRUE(SetCurrentDirectoryW(Widen(SourcePath("res")).c_str()));
        TakeQuitMessage();
    }

    void TearDown() override
    {
        DropPendingSteps();
        SetCurrentDirectoryW(m_cwd.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        TakeQuitMessage();
    }

    INT_PTR Run(SettingsDialog& dlg, std::function<void(HWND)> script)
    {
        dlg.SetPrompts(&prompts);
        return RunModal(dlg, std::move(script));
    }

    FakePrompts prompts;

private:
    std::wstring m_cwd;
};

TEST_F(SettingsDialogTest, FreshRegistryShowsTheDefaultsAndTips)
{
    SettingsDialog dlg;
    const INT_PTR result = Run(dlg, [&](HWND h) {
        EXPECT_EQ(CheckedIds(h), (std::vector<int>{IDC_PATTERN_RANDOM, IDC_NUMBER_5, IDC_SIZE_1}));
        EXPECT_EQ(ItemText(h, IDC_SPEED_TEXT) + " " + ItemText(h, IDC_BLACKOUT_TEXT), "50 0");
        EXPECT_EQ(BarPos(h, IDC_SPEED_BAR), 50);
        EXPECT_EQ(BarPos(h, IDC_BLACKOUT_BAR), 0);
        EXPECT_EQ(ItemText(h, IDC_BITMAP_PATH), kPieces);
        EXPECT_FALSE(Shown(h, IDC_FILL_COLOUR)) << "button 1044 must be hidden without a fill option";
        wchar_t item[128] = {};
        GetMenuStringW(GetSystemMenu(h, FALSE), IDM_ABOUT, item, 128, MF_BYCOMMAND);
        EXPECT_EQ(Narrow(item), "ﾊﾞｰｼﾞｮﾝ情報(Veloma Screen Saver) (&A)...");
        const LRESULT icon = SendMessageW(h, WM_GETICON, ICON_BIG, 0);
        EXPECT_NE(icon, 0);
        EXPECT_EQ(SendMessageW(h, WM_QUERYDRAGICON, 0, 0), icon);

        // The preview is a visible child without an id, exactly over static 1026.
        const auto corners = [](HWND w) {
            RECT r{};
            GetWindowRect(w, &r);
            return std::array<LONG, 4>{r.left, r.top, r.right, r.bottom};
        };
        HWND preview = dlg.Preview().Handle();
        EXPECT_TRUE(IsWindowVisible(preview) && GetParent(preview) == h && GetDlgCtrlID(preview) == 0);
        EXPECT_EQ(corners(preview), corners(GetDlgItem(h, IDC_PREVIEW_PLACE)));
        EXPECT_EQ(dlg.Preview().CurrentSettings().CellSize, 24) << "the preview shows the cells smaller";

        const struct {
            int id;
            const char* want;
        } tips[] = {
            {IDC_PATTERN_RANDOM, "コマを適当にならべる"},
            {IDC_SIZE_4, "コマサイズ 128x128ドット"},
            {IDC_BLACKOUT_TEXT, "表示をやめて画面を真っ黒にするまでの時間"},
            {IDC_INITIAL_CELL_OPTION, "静止時のコマを指定した色で塗りつぶす"},
            {IDOK, "(unhandled)"},  // string 1 is the saver's name, not a tip
            {IDC_CHOOSE_BITMAP, "(unhandled)"},
        };
        for (const auto& t : tips)
            EXPECT_EQ(ToolTipAnswer(h, t.id), t.want) << "tip of control " << t.id;
        ClickItem(h, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(prompts.messages.empty() && prompts.requests.empty()) << "velomass.bmp is in the current directory";
    EXPECT_TRUE(Snapshot().empty()) << "opening writes nothing";
}

TEST_F(SettingsDialogTest, ControlsChangeFieldPreviewAndBoard)
{
    const struct {
        int button;
        int Settings::*field;
        int value, previewValue;
    } radios[] = {
        {IDC_PATTERN_LINE, &Settings::CellArr, 2, 2},   {IDC_PATTERN_HLINE, &Settings::CellArr, 4, 4},
        {IDC_PATTERN_VLINE, &Settings::CellArr, 5, 5},  {IDC_PATTERN_SQUARE, &Settings::CellArr, 3, 3},
        {IDC_PATTERN_RANDOM, &Settings::CellArr, 1, 1}, {IDC_NUMBER_3, &Settings::CellNo, 3, 3},
        {IDC_NUMBER_4, &Settings::CellNo, 4, 4},        {IDC_NUMBER_5, &Settings::CellNo, 5, 5},
        {IDC_SIZE_2, &Settings::CellSize, 64, 36},      {IDC_SIZE_3, &Settings::CellSize, 96, 48},
        {IDC_SIZE_4, &Settings::CellSize, 128, 60},     {IDC_SIZE_1, &Settings::CellSize, 32, 24},
    };
    const struct {
        int box;
        bool shown;  // button 1044
        int blank, dovi;
    } fills[] = {
        {IDC_BLANK_CELL_OPTION, true, 1, 0},
        {IDC_INITIAL_CELL_OPTION, true, 1, 1},
        {IDC_BLANK_CELL_OPTION, true, 0, 1},  // 1045 still checked
        {IDC_INITIAL_CELL_OPTION, false, 0, 0},
    };
    // Music stored off, from our play list in its own order.
    const auto lower = [](std::string path) { return LowerAscii(path), path; };
    Write(kSoundKey, {{L"MIDI", Widen(SourcePath("samples/velomass.lst"))}, {L"BGMRandomPlay", L"0"}});
    SettingsDialog dlg;
    Run(dlg, [&](HWND h) {
        EXPECT_TRUE(PumpUntil([&] { return dlg.Preview().GetBoard().GroupSize() > 0; }, 3000))
            << "the preview did not start playing";
        for (const auto& c : radios) {
            ToggleItem(h, c.button);
            EXPECT_TRUE(Checked(h, c.button)) << "button " << c.button;
            EXPECT_EQ(dlg.Values().*(c.field), c.value) << "dialog field after button " << c.button;
            EXPECT_EQ(dlg.Preview().CurrentSettings().*(c.field), c.previewValue) << "preview member after button " << c.button;
        }
        EXPECT_EQ(CheckedIds(h), (std::vector<int>{IDC_PATTERN_RANDOM, IDC_NUMBER_5, IDC_SIZE_1}))
            << "one button per group stays checked";
        for (size_t i = 0; i < sizeof fills / sizeof fills[0]; ++i) {
            ToggleItem(h, fills[i].box);
            EXPECT_EQ(Shown(h, IDC_FILL_COLOUR), fills[i].shown) << "fill step " << i;
            EXPECT_EQ(dlg.Preview().CurrentSettings().BlankOption, fills[i].blank) << "fill step " << i;
            EXPECT_EQ(dlg.Preview().CurrentSettings().DoviOption, fills[i].dovi) << "fill step " << i;
        }
        // The other boxes reach the preview at once too.
        ToggleItem(h, IDC_SOUND);
        EXPECT_EQ(dlg.Preview().CurrentSettings().Sound, 1);
        ToggleItem(h, IDC_BMP_OPTION);
        EXPECT_EQ(dlg.Preview().CurrentSettings().AnimBMPOption, 1);
        ToggleItem(h, IDC_BGM);
        EXPECT_EQ(dlg.Values().BGM, 1);
        // The box keeps the preview's music going once the first piece
        // ends, which the sequencer here cannot report itself.
        const std::string first = dlg.Preview().Player().Midi();
        SendMessageW(dlg.Preview().Handle(), kMmMciNotify, kMciNotifySuccessful, 0);
        EXPECT_EQ(first + " then " + dlg.Preview().Player().Midi(),
                  lower(SourcePath("samples/loop1.mid")) + " then " + lower(SourcePath("samples/loop2.mid")));
        // Home gives 1, the speed bar holds 50; End gives 200, the black-out bar holds 120.
        Scroll(h, IDC_SPEED_BAR, SB_PAGERIGHT);
        Scroll(h, IDC_SPEED_BAR, SB_LEFT);
        Scroll(h, IDC_BLACKOUT_BAR, SB_RIGHT);
        EXPECT_EQ(ItemText(h, IDC_SPEED_TEXT) + " " + ItemText(h, IDC_BLACKOUT_TEXT), "50 120");
        EXPECT_EQ(dlg.Values().AnimIntrvl, 50);
        EXPECT_EQ(dlg.Preview().CurrentSettings().AnimIntrvl, 50);
        EXPECT_EQ(dlg.Values().BlackOutTime, 120);
        EXPECT_EQ(dlg.Preview().CurrentSettings().BlackOutTime, 0) << "the preview never blacks out";
        ClickItem(h, IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, OkSavesEveryValueInItsStoredForm)
{
    Write(kSystemKey, {{L"CellSize", L"96"}, {L"CellArr", L"4"}, {L"CellNo", L"3"}, {L"BCCol", L"00FF"},
                       {L"BlankOption", L"7"}, {L"PassWord", L"secret"}});
    Write(kSoundKey, {{L"MIDI", L"C:\\music\\song.mid"}, {L"BGMRandomPlay", L"0"}, {L"Sound", L"1"}});
    size_t dialogs = 0;
    int opened = 0;
    WithDialog(kTitle, opened, [&](HWND h) {
        RunSettingsDialog();  // a second configure run only finds this one
        dialogs = ThreadWindows(kTitle).size();
        Scroll(h, IDC_SPEED_BAR, SB_PAGERIGHT);
        Scroll(h, IDC_BLACKOUT_BAR, SB_RIGHT);
        ClickItem(h, IDOK);
    });
    RunSettingsDialog();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(dialogs, 1u) << "a second configure run opened another dialog";

    const struct {
        const wchar_t* key;
        const wchar_t* name;
        std::string want;
    } values[] = {
        {kSystemKey, L"Bitmap", kPieces},        {kSystemKey, L"AnimIntrvl", "60"},
        {kSystemKey, L"BlackOutTime", "120"},    {kSystemKey, L"AnimBMPOption", "0"},
        {kSystemKey, L"CellSize", "96"},         {kSystemKey, L"CellArr", "4"},
        {kSystemKey, L"CellNo", "3"},            {kSystemKey, L"BlankOption", "1"},
        {kSystemKey, L"DoviOption", "0"},        {kSystemKey, L"BCCol", "00FF"},  // as it was read
        {kSystemKey, L"PassWord", "secret"},     {kSoundKey, L"MIDI", "C:\\music\\song.mid"},
        {kSoundKey, L"Select", ""},              {kSoundKey, L"Disappear", ""},
        {kSoundKey, L"BGM", "0"},                {kSoundKey, L"Sound", "1"},
        {kSoundKey, L"BGMRandomPlay", "0"},
    };
    for (const auto& v : values)
        EXPECT_EQ(Stored(v.key, v.name), v.want) << Narrow(v.name);
    EXPECT_EQ(Snapshot().size(), sizeof values / sizeof values[0]) << "no other value is written";
}

TEST_F(SettingsDialogTest, CancelLeavesTheRegistryUntouched)
{
    Write(kSystemKey, {{L"CellSize", L"64"}, {L"AnimIntrvl", L"abc"}});
    Write(kSoundKey, {{L"Select", L"C:\\old.wav"}});
    const auto before = Snapshot();
    const struct {
        const char* how;
        void (*close)(HWND);
    } ways[] = {
        {"Cancel button", [](HWND h) { ClickItem(h, IDCANCEL); }},
        {"Escape", [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        int opened = 0;
        WithDialog(kTitle, opened, [&](HWND h) {
            for (int id : {IDC_SIZE_4, IDC_PATTERN_SQUARE, IDC_NUMBER_3, IDC_BGM, IDC_SOUND, IDC_BMP_OPTION,
                           IDC_BLANK_CELL_OPTION, IDC_INITIAL_CELL_OPTION})
                ToggleItem(h, id);
            Scroll(h, IDC_SPEED_BAR, SB_RIGHT);
            Scroll(h, IDC_BLACKOUT_BAR, SB_PAGERIGHT);
            way.close(h);
        });
        RunSettingsDialog();
        EXPECT_EQ(opened, 1) << way.how;
        EXPECT_TRUE(Snapshot() == before) << way.how << ": the registry changed";
        EXPECT_TRUE(ThreadWindows(kTitle).empty()) << way.how << ": the dialog is still open";
    }
}

TEST_F(SettingsDialogTest, SoundChoosers)
{
    Write(kSoundKey, {{L"Select", L"C:\\old select.wav"}});
    SettingsDialog dlg;
    prompts.answers = {std::nullopt, std::string("D:\\new.wav"), std::nullopt, std::string("D:\\gone.wav")};
    Run(dlg, [&](HWND h) {
        ClickItem(h, IDC_CHOOSE_SELECT);  // Cancel takes the sound away
        EXPECT_EQ(ItemText(h, IDC_SELECT_PATH) + "|" + dlg.Values().Select + "|" + dlg.Preview().CurrentSettings().Select, "||");
        ClickItem(h, IDC_CHOOSE_SELECT);
        ClickItem(h, IDC_CHOOSE_DISAPPEAR);  // Cancel with nothing set
        ClickItem(h, IDC_CHOOSE_DISAPPEAR);
        EXPECT_EQ(ItemText(h, IDC_SELECT_PATH) + "|" + dlg.Preview().CurrentSettings().Select, "D:\\new.wav|D:\\new.wav");
        EXPECT_EQ(ItemText(h, IDC_DISAPPEAR_PATH) + "|" + dlg.Preview().CurrentSettings().Disappear, "D:\\gone.wav|D:\\gone.wav");
        ClickItem(h, IDOK);
    });
    const std::string wave = "wav / *.wav / Wave File |*.wav||";
    EXPECT_EQ(prompts.requests,
              (std::vector<std::string>{"wav / C:\\old select.wav / Wave File |*.wav||", wave, wave, wave}));
    EXPECT_EQ(dlg.Values().Select + "|" + dlg.Values().Disappear, "D:\\new.wav|D:\\gone.wav") << "OK reads the edits back";
}

TEST_F(SettingsDialogTest, MusicChooserAndTheListDialog)
{
    const struct {
        const char* what;
        std::optional<std::string> chosen;
        void (*answer)(HWND);  // acts on the list dialog; null: none may open
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
        {"list, its dialog closed with Escape", std::string("C:\\MUSIC\\SET.LST"),
         [](HWND d) {
             ToggleItem(d, IDC_LIST_IN_ORDER);
             SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
         },
         1, "C:\\MUSIC\\SET.LST"},
        {"not a list", std::string("C:\\a.lst.mid"), nullptr, 1, "C:\\a.lst.mid"},
        {"cancelled", std::nullopt, nullptr, 1, "C:\\old.mid"},
    };
    for (const auto& c : cases) {
        Write(kSoundKey, {{L"MIDI", L"C:\\old.mid"}});
        prompts = FakePrompts();
        prompts.answers = {c.chosen};
        SettingsDialog dlg;
        int listOpened = 0;
        Run(dlg, [&](HWND h) {
            WithDialog(L"MIDIファイルリストの設定", listOpened,
                       c.answer ? c.answer : +[](HWND list) { EndDialog(list, IDCANCEL); });
            ClickItem(h, IDC_CHOOSE_MIDI);
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(listOpened, c.answer ? 1 : 0) << c.what;
        EXPECT_EQ(dlg.Values().BGMRandomPlay, c.wantRandom) << c.what;
        EXPECT_EQ(dlg.Values().MIDI, c.wantMidi) << c.what;
        if (c.chosen) {
            EXPECT_EQ(dlg.Preview().CurrentSettings().MIDI, c.wantMidi) << c.what;
            EXPECT_EQ(dlg.Preview().CurrentSettings().BGMRandomPlay, c.wantRandom) << c.what;
        }
        EXPECT_EQ(prompts.requests,
                  std::vector<std::string>{" / C:\\old.mid / MIDI File & List File|*.rmi;*.mid;*.lst||"})
            << c.what;
    }
}

TEST_F(SettingsDialogTest, MissingBitmapAsksForOne)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring empty = std::wstring(temp) + L"veloma dialog test";
    CreateDirectoryW(empty.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(empty.c_str()));
    Write(kSystemKey, {{L"Bitmap", L"C:\\no\\such.bmp"}});
    for (bool answer : {false, true}) {
        prompts = FakePrompts();
        if (answer)
            prompts.answers = {kPieces};
        SettingsDialog dlg;
        Run(dlg, [&](HWND h) {
            EXPECT_EQ(ItemText(h, IDC_BITMAP_PATH), answer ? kPieces : "velomass.bmp");
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"VelomaSS標準コマデータファイルがみつかりません。\n"
                                                             "適当なコマデータファイルを選択して下さい。"});
        EXPECT_EQ(prompts.requests, std::vector<std::string>{"bmp / velomass.bmp / BMP File |*.bmp||"});
    }
    SetCurrentDirectoryW(Widen(SourcePath("res")).c_str());
    RemoveDirectoryW(empty.c_str());
}

TEST_F(SettingsDialogTest, BitmapChooserTakesAGoodImageAndKeepsTheOldForABadOne)
{
    const TempFile fresh(PieceBmp(2));
    // What a playing board shows changes at every tick.
    const auto playState = [](const BoardWnd& b) {
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(b.Handle());
        for (int y = 0; y < 120; y += 3)
            for (int x = 0; x < 160; x += 3)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(b.Handle(), dc);
        return pixels;
    };
    SettingsDialog dlg;
    prompts.answers = {SourcePath("samples/select.wav"), std::nullopt, fresh.Path()};
    bool stillWhileOpen = false;
    prompts.whileOpen = [&] {
        const auto before = playState(dlg.Preview());
        PumpUntil([] { return false; }, 600);
        stillWhileOpen = playState(dlg.Preview()) == before;
    };
    Run(dlg, [&](HWND h) {
        PumpUntil([&] { return dlg.Preview().Pieces().Loaded(); }, 3000);
        ClickItem(h, IDC_CHOOSE_BITMAP);
        EXPECT_EQ(dlg.Values().Bitmap, kPieces) << "a file that cannot be loaded is not taken";
        EXPECT_EQ(ItemText(h, IDC_BITMAP_PATH), kPieces);
        EXPECT_TRUE(dlg.Preview().Pieces().Loaded()) << "the preview lost its image";
        EXPECT_TRUE(stillWhileOpen) << "the preview played while the chooser was open";
        stillWhileOpen = false;
        ClickItem(h, IDC_CHOOSE_BITMAP);  // Cancel
        EXPECT_TRUE(stillWhileOpen) << "the preview played while the chooser was open";
        EXPECT_EQ(dlg.Values().Bitmap, kPieces);
        const auto afterCancel = playState(dlg.Preview());
        EXPECT_TRUE(PumpUntil([&] { return playState(dlg.Preview()) != afterCancel; }, 3000))
            << "the preview did not play again after Cancel";

        // A good one: its path in the box, its pieces in the preview.
        ClickItem(h, IDC_CHOOSE_BITMAP);
        EXPECT_EQ(dlg.Values().Bitmap + " | " + ItemText(h, IDC_BITMAP_PATH), fresh.Path() + " | " + fresh.Path());
        BoardWnd& p = dlg.Preview();
        p.Pause(true);
        InvalidateRect(p.Handle(), nullptr, FALSE);
        UpdateWindow(p.Handle());
        // An unmarked piece of the bottom row shows the chosen image's picture.
        const BoardLayout& l = p.Layout();
        const Board& b = p.GetBoard();
        int x = 0;
        while (x < b.Cols() && (b.Cell(x, b.Rows() - 1) & Board::kMark))
            ++x;
        ASSERT_LT(x, b.Cols());
        const int kind = b.Cell(x, b.Rows() - 1);
        HDC dc = GetDC(p.Handle());
        const COLORREF got = GetPixel(dc, l.offsetX + x * l.cellSize + l.cellSize / 2,
                                      l.offsetY + (b.Rows() - 1) * l.cellSize + l.cellSize / 2);
        ReleaseDC(p.Handle(), dc);
        EXPECT_EQ(got, IndexColour(PictureIndex(SlotImageRow(kind), 0))) << "a bottom-row piece, kind " << kind;
        ClickItem(h, IDCANCEL);
    });
    ASSERT_FALSE(prompts.requests.empty());
    EXPECT_EQ(prompts.requests[0], "bmp / " + kPieces + " / BMP File |*.bmp||");
}

TEST_F(SettingsDialogTest, AboutAndPasswordDialogsOpenFromTheirButtons)
{
    Write(kSystemKey, {{L"PassWord", L"secret"}});
    SettingsDialog dlg;
    int aboutOpened = 0, passwordOpened = 0;
    bool versionShown = false;
    const auto closeAbout = [&](HWND about) {
        EXPECT_EQ(GetWindow(about, GW_OWNER), dlg.Handle());
        for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(c, text, 256);
            versionShown |= Narrow(text) == "Veloma Screen Saver " VELOMA_VERSION_TEXT;
        }
        ClickItem(about, IDOK);
    };
    Run(dlg, [&](HWND h) {
        WithDialog(L"ﾊﾞｰｼﾞｮﾝ情報", aboutOpened, closeAbout);
        ClickItem(h, IDC_ABOUT);
        WithDialog(L"ﾊﾞｰｼﾞｮﾝ情報", aboutOpened, closeAbout);
        SendMessageW(h, WM_SYSCOMMAND, IDM_ABOUT, 0);
        WithDialog(L"ﾊﾟｽﾜｰﾄﾞの変更", passwordOpened, [](HWND p) { SendMessageW(p, WM_COMMAND, IDCANCEL, 0); });
        ClickItem(h, IDC_CHANGE_PASSWORD);
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(aboutOpened, 2) << "About from button 16 and the system menu";
    EXPECT_TRUE(versionShown) << "no line with the name and version " << VELOMA_VERSION_TEXT;
    EXPECT_EQ(passwordOpened, 1) << "button 1030 opens the change-password dialog";
    EXPECT_EQ(Stored(kSystemKey, L"PassWord"), "secret");
    EXPECT_EQ(dlg.Values().PassWord + dlg.Preview().CurrentSettings().PassWord, "") << "neither the dialog nor its preview carries the password";
}

TEST_F(SettingsDialogTest, ColourChoosing)
{
    Write(kSystemKey, {{L"BCCol", L"ff"}, {L"BlankOption", L"1"}});
    for (bool ok : {true, false}) {
        SettingsDialog dlg;
        int opened = 0;
        Run(dlg, [&](HWND h) {
            EXPECT_TRUE(Shown(h, IDC_FILL_COLOUR)) << "a stored BlankOption offers the fill colour";
            WithDialog(L"Color設定", opened, [&](HWND colour) {
                EXPECT_EQ(GetWindow(colour, GW_OWNER), h);
                const COLORREF shown =
                    RGB(BarPos(colour, IDC_RED_BAR), BarPos(colour, IDC_GREEN_BAR), BarPos(colour, IDC_BLUE_BAR));
                EXPECT_EQ(shown, 0xFFu) << "the bars open on the stored colour";
                Scroll(colour, IDC_GREEN_BAR, SB_PAGERIGHT);
                ClickItem(colour, ok ? IDOK : IDCANCEL);
            });
            ClickItem(h, IDC_FILL_COLOUR);
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(opened, 1) << "button 1044 opens the colour dialog";
        const std::uint32_t want = ok ? 0x000AFFu : 0x0000FFu;
        EXPECT_EQ(dlg.Values().BCCol, want) << (ok ? "OK" : "Cancel");
        EXPECT_EQ(dlg.Preview().CurrentSettings().BCCol, want) << (ok ? "OK" : "Cancel");
        EXPECT_EQ(dlg.BCColText, ok ? "aff" : "ff");
    }
}

TEST(MidiListDialogTest, AnswersWithTheCheckedOrder)
{
    for (int given : {2, 0}) {
        int opened = 0;
        WithDialog(L"MIDIファイルリストの設定", opened, [&](HWND h) {
            // An unknown stored value shows as random.
            EXPECT_TRUE(Checked(h, given ? IDC_LIST_AT_RANDOM : IDC_LIST_IN_ORDER)) << "given " << given;
            ToggleItem(h, given ? IDC_LIST_IN_ORDER : IDC_LIST_AT_RANDOM);
            ClickItem(h, IDOK);
        });
        EXPECT_EQ(RunMidiListDialog(nullptr, given), given ? 0 : 1) << "given " << given;
        EXPECT_EQ(opened, 1);
    }
}

}  // namespace
