// The settings dialog and its small dialogs, driven from inside their modal
// loops; the configure run reads and saves on the real registry of the test
// prefix. What OK stores in full, the second configure run and the missing
// piece image are end-to-end cases.
#include "settings/win/SettingsDialog.h"

#include "app/win/Modes.h"
#include "board/win/BoardWnd.h"
#include "platform/Gdi.h"
#include "platform/RegKey.h"
#include "res/SettingsIds.h"
#include "win/ModalScript.h"
#include "win/PieceFiles.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const wchar_t kSystemKey[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const wchar_t kSoundKey[] = L"Software\\Tamsk soft\\VelomaSS\\Sound";

const std::string kPieces = "Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp";

Settings WithPieces() { Settings s; s.Bitmap = kPieces; return s; }

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

// The checked buttons among the dialog's controls, in id order.
std::vector<int> CheckedIds(HWND h)
{
    std::vector<int> ids;
    for (int id = 1000; id <= 1045; ++id)
        if (GetDlgItem(h, id) && Checked(h, id))
            ids.push_back(id);
    return ids;
}

bool Shown(HWND h, int id) { return IsWindowVisible(GetDlgItem(h, id)) != FALSE; }

// The board playing in an open settings dialog.
const BoardWnd& Preview(HWND h)
{
    static const BoardWnd none;
    const BoardWnd* board = SettingsPreview(h);
    return board ? *board : (ADD_FAILURE() << "no settings dialog open", none);
}

// Acts on the dialog titled `title` once it is up, counting it in `opened`.
void WithDialog(const wchar_t* title, int& opened, std::function<void(HWND)> act)
{
    WhenShown(title, [&opened, act](HWND h) { ++opened, act(h); });
}

// Answers the choosers from a list, in turn (nullopt: Cancel).
struct FakePrompts : SettingsPrompts {
    std::vector<std::optional<std::string>> answers;
    std::size_t asked = 0;
    std::function<void()> whileOpen;    // runs as if the user took time to choose
    std::vector<std::string> messages;  // a test takes those it expects

    std::optional<std::string> OpenFile(HWND, const std::string&, const std::string&, const std::string&) override
    {
        if (whileOpen)
            whileOpen();
        return asked < answers.size() ? answers[asked++] : std::nullopt;
    }
    void Message(HWND, const std::string& text) override { messages.push_back(text); }
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { TakeQuitMessage(); }

    void TearDown() override
    {
        EXPECT_EQ(prompts.messages, std::vector<std::string>{}) << "messages no one expected";
        DropPendingSteps();
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        TakeQuitMessage();
    }

    std::optional<Settings> Edit(const Settings& start, std::function<void(HWND)> script)
    {
        return RunModal([&] { return EditSettings(nullptr, start, &prompts); }, std::move(script));
    }

    FakePrompts prompts;
};

TEST_F(SettingsDialogTest, OpensWithTipsAndItsPreviewAndControlsReachBoth)
{
    const std::optional<Settings> result = Edit(WithPieces(), [&](HWND h) {
        EXPECT_EQ(CheckedIds(h), (std::vector<int>{IDC_PATTERN_RANDOM, IDC_NUMBER_5, IDC_SIZE_1}));
        EXPECT_FALSE(Shown(h, IDC_FILL_COLOUR)) << "button 1044 must be hidden without a fill option";
        EXPECT_GT(GetMenuStringW(GetSystemMenu(h, FALSE), IDM_ABOUT, nullptr, 0, MF_BYCOMMAND), 0) << "no About item";
        EXPECT_NE(SendMessageW(h, WM_GETICON, ICON_BIG, 0), 0);
        // Only the option controls have tips; string 1 is the saver's name, not a tip for OK.
        EXPECT_EQ(ToolTipAnswer(h, IDC_SIZE_4) + "|" + ToolTipAnswer(h, IDOK), "コマサイズ 128x128ドット|(unhandled)");

        // The preview is a visible child without an id, exactly over static 1026.
        const auto corners = [](HWND w) {
            RECT r{};
            GetWindowRect(w, &r);
            return std::array<LONG, 4>{r.left, r.top, r.right, r.bottom};
        };
        const BoardWnd& preview = Preview(h);
        const HWND board = preview.Handle(), marker = GetDlgItem(h, IDC_PREVIEW_PLACE);
        EXPECT_TRUE(IsWindowVisible(board) && GetParent(board) == h && GetDlgCtrlID(board) == 0);
        EXPECT_EQ(corners(board), corners(marker));
        // Moved to a monitor of another DPI, the dialog takes the suggested
        // rectangle; once the dialog manager has scaled the marker (done by
        // hand here), the preview follows it and lays out cells anew.
        const std::array<LONG, 4> was = corners(marker);
        SetWindowPos(marker, nullptr, 0, 0, (was[2] - was[0]) * 3 / 2, (was[3] - was[1]) * 3 / 2,
                     SWP_NOMOVE | SWP_NOZORDER);
        const int colsBefore = preview.View().Layout().cols;
        const std::array<LONG, 4> at = corners(h);
        RECT suggested{at[0] + 7, at[1] + 5, at[2] + 60, at[3] + 40};
        SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_TRUE(PumpUntil([&] { return corners(board) == corners(marker); }, 2000)) << "the preview stayed";
        EXPECT_EQ(corners(h), (std::array<LONG, 4>{suggested.left, suggested.top, suggested.right, suggested.bottom}));
        EXPECT_GT(preview.View().Layout().cols, colsBefore) << "the preview kept its old layout";

        // One button of each group, each box and bar reach the preview
        // (small cells, never a black-out) and the value OK returns.
        const Settings& played = preview.View().CurrentSettings();
        for (int id :
             {IDC_PATTERN_SQUARE, IDC_NUMBER_4, IDC_SIZE_3, IDC_BLANK_CELL_OPTION, IDC_SOUND, IDC_BMP_OPTION, IDC_BGM})
            ToggleItem(h, id);
        EXPECT_EQ(CheckedIds(h), (std::vector<int>{IDC_PATTERN_SQUARE, IDC_NUMBER_4, IDC_SOUND, IDC_BGM, IDC_BMP_OPTION,
                                                   IDC_SIZE_3, IDC_BLANK_CELL_OPTION}));
        EXPECT_EQ(played.CellSize + played.Sound, 48 + 1) << "the preview missed a button or a box";
        // Either fill option offers the fill colour.
        EXPECT_TRUE(Shown(h, IDC_FILL_COLOUR));
        ToggleItem(h, IDC_INITIAL_CELL_OPTION);
        ToggleItem(h, IDC_BLANK_CELL_OPTION);
        EXPECT_TRUE(Shown(h, IDC_FILL_COLOUR) && played.DoviOption == 1 && played.BlankOption == 0);
        ToggleItem(h, IDC_INITIAL_CELL_OPTION);
        EXPECT_FALSE(Shown(h, IDC_FILL_COLOUR));
        // Home gives 1, the speed bar holds 50; End gives 200, the black-out bar holds 120.
        Scroll(h, IDC_SPEED_BAR, SB_PAGERIGHT);
        Scroll(h, IDC_SPEED_BAR, SB_LEFT);
        Scroll(h, IDC_BLACKOUT_BAR, SB_RIGHT);
        EXPECT_EQ(ItemText(h, IDC_SPEED_TEXT) + " " + ItemText(h, IDC_BLACKOUT_TEXT), "50 120");
        EXPECT_EQ(played.AnimIntrvl, 50);
        EXPECT_EQ(played.BlackOutTime, 0) << "the preview never blacks out";
        ClickItem(h, IDOK);
    });
    ASSERT_TRUE(result) << "OK returned nothing";
    const Settings& s = *result;
    EXPECT_EQ(std::vector<int>({s.CellArr, s.CellNo, s.CellSize, s.AnimIntrvl, s.BlackOutTime, s.Sound,
                                s.AnimBMPOption, s.BGM, s.BlankOption, s.DoviOption}),
              std::vector<int>({3, 4, 96, 50, 120, 1, 1, 1, 0, 0}));
}

// The configure run reads the stored settings and saves on OK only.
TEST_F(SettingsDialogTest, OkSavesWhatTheControlsSayAndEveryOtherCloseNothing)
{
    Write(kSystemKey, {{L"Bitmap", Widen(kPieces)}, {L"CellSize", L"64"}, {L"BCCol", L"00FF"}, {L"PassWord", L"secret"}});
    Write(kSoundKey, {{L"Select", L"C:\\old.wav"}});
    // OK comes last: what it saves is checked below.
    const struct { const char* how; void (*close)(HWND); } ways[] = {
        {"Cancel button", [](HWND h) { ClickItem(h, IDCANCEL); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"OK", [](HWND h) { ClickItem(h, IDOK); }},
    };
    for (const auto& way : ways) {
        int opened = 0;
        WithDialog(L"Veloma Screen Saver", opened, [&](HWND h) {
            EXPECT_EQ(Preview(h).View().CurrentSettings().CellSize, 36) << "the stored size was not read";
            for (int id : {IDC_SIZE_4, IDC_PATTERN_SQUARE, IDC_SOUND})
                ToggleItem(h, id);
            way.close(h);
        });
        RunSettingsDialog();
        EXPECT_EQ(opened, 1) << way.how;
        if (&way != std::end(ways) - 1)
            EXPECT_EQ(Stored(kSystemKey, L"CellSize") + Stored(kSystemKey, L"CellArr"), "64(missing)") << way.how;
    }
    EXPECT_EQ(Stored(kSystemKey, L"CellSize") + " " + Stored(kSystemKey, L"CellArr") + " " +
                  Stored(kSoundKey, L"Sound") + " " + Stored(kSystemKey, L"BCCol") + " " +
                  Stored(kSystemKey, L"PassWord") + " " + Stored(kSoundKey, L"Select"),
              "128 3 1 00FF secret C:\\old.wav");
}

// Cancel takes a sound away but keeps the music; a chosen list asks how to
// play it, and only its OK with a click changes that.
TEST_F(SettingsDialogTest, SoundAndMusicChoosers)
{
    Settings start = WithPieces();
    start.Select = "C:\\old select.wav", start.MIDI = "C:\\old.mid";
    const std::string list = "C:\\MUSIC\\SET.LST";
    prompts.answers = {std::nullopt, std::string("D:\\gone.wav"), std::nullopt, list, list, "C:\\a.lst.mid"};
    int listOpened = 0;
    const wchar_t kListTitle[] = L"MIDIファイルリストの設定";
    const std::optional<Settings> result = Edit(start, [&](HWND h) {
        const Settings& played = Preview(h).View().CurrentSettings();
        ClickItem(h, IDC_CHOOSE_SELECT);
        ClickItem(h, IDC_CHOOSE_DISAPPEAR);
        EXPECT_EQ(ItemText(h, IDC_SELECT_PATH) + "|" + played.Select, "|");
        EXPECT_EQ(ItemText(h, IDC_DISAPPEAR_PATH) + "|" + played.Disappear, "D:\\gone.wav|D:\\gone.wav");
        ClickItem(h, IDC_CHOOSE_MIDI);
        EXPECT_EQ(ItemText(h, IDC_MIDI_PATH) + "|" + played.MIDI, "C:\\old.mid|C:\\old.mid");
        WithDialog(kListTitle, listOpened, [](HWND d) {
            ToggleItem(d, IDC_LIST_IN_ORDER);
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        ClickItem(h, IDC_CHOOSE_MIDI);
        EXPECT_EQ(played.BGMRandomPlay, 1);
        WithDialog(kListTitle, listOpened, [](HWND d) {
            EXPECT_TRUE(Checked(d, IDC_LIST_AT_RANDOM)) << "the stored 1 shows as random";
            ToggleItem(d, IDC_LIST_IN_ORDER);
            ClickItem(d, IDOK);
        });
        ClickItem(h, IDC_CHOOSE_MIDI);
        EXPECT_EQ(ItemText(h, IDC_MIDI_PATH) + "|" + played.MIDI, list + "|" + list);
        EXPECT_EQ(played.BGMRandomPlay, 0);
        WithDialog(kListTitle, listOpened, [](HWND d) { EndDialog(d, IDCANCEL); });
        ClickItem(h, IDC_CHOOSE_MIDI);  // not a list: no question
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(listOpened, 2);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Select + "|" + result->Disappear + "|" + result->MIDI + "|" + std::to_string(result->BGMRandomPlay),
              "|D:\\gone.wav|C:\\a.lst.mid|0");
}

TEST_F(SettingsDialogTest, BitmapChooserTakesAGoodImageAndKeepsTheOldForABadOne)
{
    const TempFile fresh(PieceBmp(2));
    // What a playing board shows changes at every tick.
    const auto playState = [](const BoardWnd& b) {
        std::vector<COLORREF> pixels;
        RECT r{};
        GetClientRect(b.Handle(), &r);
        ClientDC dc(b.Handle());
        for (int y = 0; y < r.bottom; y += 3)
            for (int x = 0; x < r.right; x += 3)
                pixels.push_back(GetPixel(dc.Handle(), x, y));
        return pixels;
    };
    prompts.answers = {"Z:" VELOMA_SOURCE_DIR "/samples/select.wav", std::nullopt, fresh.Path()};
    int stillWhileOpen = 0;
    const BoardWnd* preview = nullptr;
    prompts.whileOpen = [&] {
        const auto before = playState(*preview);
        PumpUntil([] { return false; }, 600);
        stillWhileOpen += playState(*preview) == before;
    };
    const std::optional<Settings> result = Edit(WithPieces(), [&](HWND h) {
        preview = &Preview(h);
        PumpUntil([&] { return preview->View().Pieces().Loaded(); }, 3000);
        ClickItem(h, IDC_CHOOSE_BITMAP);
        EXPECT_EQ(ItemText(h, IDC_BITMAP_PATH) + " | " + preview->View().CurrentSettings().Bitmap, kPieces + " | " + kPieces)
            << "a file that cannot be loaded is taken";
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"このファイルはコマデータとして使えません。\n"
                                                              "BMPファイルではありません（先頭が \"BM\" ではありません）。"});
        prompts.messages.clear();
        EXPECT_TRUE(preview->View().Pieces().Loaded()) << "the preview lost its image";
        ClickItem(h, IDC_CHOOSE_BITMAP);  // Cancel
        const auto afterCancel = playState(*preview);
        EXPECT_TRUE(PumpUntil([&] { return playState(*preview) != afterCancel; }, 3000))
            << "the preview did not play again after Cancel";
        ClickItem(h, IDC_CHOOSE_BITMAP);
        EXPECT_EQ(ItemText(h, IDC_BITMAP_PATH) + " | " + preview->View().CurrentSettings().Bitmap,
                  fresh.Path() + " | " + fresh.Path());
        EXPECT_TRUE(preview->View().Pieces().Loaded());
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(stillWhileOpen, 3) << "the preview played while the chooser was open";
    EXPECT_EQ(result.value_or(Settings()).Bitmap, fresh.Path());
}

// About (from its button and the system menu), the password and the colour
// dialogs open owned by the settings dialog.
TEST_F(SettingsDialogTest, SmallDialogsFromTheirButtons)
{
    Settings start = WithPieces();
    start.PassWord = "secret", start.BCCol = 0xFF, start.BlankOption = 1;
    int about = 0, password = 0, colour = 0;
    std::vector<std::uint32_t> colours;
    const std::optional<Settings> result = Edit(start, [&](HWND h) {
        const auto closeAbout = [h](HWND box) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), h);
            ClickItem(box, IDOK);
        };
        WithDialog(L"ﾊﾞｰｼﾞｮﾝ情報", about, closeAbout);
        ClickItem(h, IDC_ABOUT);
        WithDialog(L"ﾊﾞｰｼﾞｮﾝ情報", about, closeAbout);
        SendMessageW(h, WM_SYSCOMMAND, IDM_ABOUT, 0);
        WithDialog(L"ﾊﾟｽﾜｰﾄﾞの変更", password, [&](HWND p) {
            EXPECT_EQ(GetWindow(p, GW_OWNER), h);
            SendMessageW(p, WM_COMMAND, IDCANCEL, 0);
        });
        ClickItem(h, IDC_CHANGE_PASSWORD);
        for (int button : {IDOK, IDCANCEL}) {
            WithDialog(L"Color設定", colour, [&](HWND c) {
                EXPECT_EQ(GetWindow(c, GW_OWNER), h);
                colours.push_back(RGB(BarPos(c, IDC_RED_BAR), BarPos(c, IDC_GREEN_BAR), BarPos(c, IDC_BLUE_BAR)));
                Scroll(c, IDC_GREEN_BAR, SB_PAGERIGHT);
                ClickItem(c, button);
            });
            ClickItem(h, IDC_FILL_COLOUR);
            colours.push_back(Preview(h).View().CurrentSettings().BCCol);
        }
        EXPECT_EQ(Preview(h).View().CurrentSettings().PassWord, "") << "the preview carries the password";
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(about, 2) << "About from button 16 and the system menu";
    EXPECT_EQ(password, 1) << "button 1030 opens the change-password dialog";
    EXPECT_EQ(colour, 2) << "button 1044 opens the colour dialog";
    // Shown, then in the preview after OK; the same after Cancel.
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{0xFF, 0xAFF, 0xAFF, 0xAFF}));
    EXPECT_EQ(result.value_or(Settings()).BCCol, 0xAFFu);
}

}  // namespace
