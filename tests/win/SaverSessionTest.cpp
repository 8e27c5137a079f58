// The full-screen run under real Win32, on two monitors made up for the
// test: boards above all without a cursor, the input that does not end the
// run, the password asked once on the primary, the black-out on every
// board, and boards that follow a new monitor layout.
#include "platform/Gdi.h"
#include "host/SettingsFakes.h"
#include "host/SoundFakes.h"
#include "res/PasswordDialogs.h"
#include "saver/win/SaverSession.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t kTitle[] = L"SaverSessionTest";

// The second monitor is listed first and sits left of the primary.
const std::vector<ScreenArea> kTwoMonitors{{0, 0, 400, 300, false}, {400, 100, 1024, 768, true}};

// A run whose monitors are the test's and whose password question is
// scripted; `real` asks with the dialog.
class TestSession : public SaverSession {
public:
    explicit TestSession(const SoundServices* sound = nullptr)
        : SaverSession([this] { return monitors; }, sound)
    {
        SetMinuteLength(100);
    }
    std::vector<ScreenArea> monitors = kTwoMonitors;
    std::optional<std::string> answer;
    int asked = 0;
    bool blackWhenAsked = false;
    bool real = false;

protected:
    std::optional<std::string> AskPassword() override
    {
        if (real)
            return SaverSession::AskPassword();
        ++asked;
        blackWhenAsked = Primary()->View().BlackedOut();
        return std::exchange(answer, std::nullopt);
    }
};

int CursorCount() { return ShowCursor(TRUE), ShowCursor(FALSE); }

const Settings kPieces = [] { Settings s; s.Bitmap = "Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp"; return s; }();

// The boards on screen, by the area they cover.
HWND BoardAt(const TestSession& session, const ScreenArea& area)
{
    wchar_t name[128] = {};
    GetClassNameW(session.Primary()->Handle(), name, 128);
    const RECT want{area.left, area.top, area.right, area.bottom};
    for (HWND hwnd : ThreadWindows(name, true)) {
        RECT r{};
        if (GetWindowRect(hwnd, &r) && EqualRect(&r, &want))
            return hwnd;
    }
    return nullptr;
}

// Whether a board shows nothing but black once it has painted; points
// another window hides read as invalid and do not count.
bool Blank(HWND hwnd)
{
    UpdateWindow(hwnd);
    ClientDC dc(hwnd);
    int seen = 0;
    for (int y = 4; y < 300; y += 16)
        for (int x = 4; x < 400; x += 16) {
            const COLORREF c = GetPixel(dc.Handle(), x, y);
            if (c != CLR_INVALID && (++seen, c != 0))
                return false;
        }
    return seen > 0;
}

// A mouse move as the board reports it: client coordinates of a screen point.
void MoveOver(HWND board, POINT screen)
{
    ScreenToClient(board, &screen);
    SendMessageW(board, WM_MOUSEMOVE, 0, MAKELPARAM(screen.x, screen.y));
}

class SaverSessionTest : public ::testing::Test {
protected:
    void SetUp() override { TakeQuitMessage(); }
    void TearDown() override
    {
        PumpUntil([] { return false; }, 30);
        TakeQuitMessage();
    }

    // The moves the boards' appearance brings are let through; the first
    // position is then the cursor's, taken on the primary board.
    std::unique_ptr<TestSession> Start(const Settings& settings, const SoundServices* sound = nullptr)
    {
        auto session = std::make_unique<TestSession>(sound);
        if (!session->Start(settings, kTitle))
            return nullptr;
        PumpUntil([] { return false; }, 50);
        GetCursorPos(&cursor);
        MoveOver(session->Primary()->Handle(), cursor);
        return session;
    }

    // The close is posted, so the next turns of the loop show it.
    static bool EndsAfter(TestSession& session, HWND board, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_MOUSEMOVE)
            MoveOver(board, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        else
            SendMessageW(board, msg, wParam, lParam);
        // A hand's move ends the run after a brief look, well before a settled one would.
        return PumpUntil([&] { return !session.Primary()->Handle() && !IsWindow(board); }, kMoveSettleMs / 2);
    }

    POINT cursor{};
};

TEST_F(SaverSessionTest, ABoardAboveAllOnEveryMonitorWithoutACursor)
{
    const int cursorBefore = CursorCount();
    {
        Settings s = kPieces;
        s.BlackOutTime = 15;
        auto session = Start(s);
        ASSERT_NE(session, nullptr);
        const HWND primary = session->Primary()->Handle(), second = BoardAt(*session, kTwoMonitors[0]);
        ASSERT_NE(second, nullptr) << "no board on the second monitor";
        for (HWND hwnd : {primary, second}) {
            EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CHILD),
                      static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor(), nullptr) << "the cursor came back over a board";
        }
        EXPECT_TRUE(KillTimer(primary, SaverWnd::kBlackOutTimer)) << "no black-out timer";
        EXPECT_EQ(CursorCount(), cursorBefore - 1) << "the cursor should be hidden once";

        // Closed from outside, a board takes the whole run along.
        SendMessageW(second, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(primary) && !IsWindow(second); }, 300));
        EXPECT_TRUE(TakeQuitMessage()) << "the run would not end with its boards";
    }
    EXPECT_EQ(CursorCount(), cursorBefore) << "the cursor was not shown again";
}

// Without a password: the first position is one for all boards, in screen
// coordinates; input other than a key, a button or a move (which end the
// run, an end-to-end case) and the swallowed commands do not end it.
TEST_F(SaverSessionTest, InputOnAnyBoardEndsTheRun)
{
    auto session = Start(kPieces);
    ASSERT_NE(session, nullptr);
    const HWND second = BoardAt(*session, kTwoMonitors[0]);
    ASSERT_NE(second, nullptr);
    const struct { const char* what; UINT msg; WPARAM wParam; LPARAM lParam; } ignored[] = {
        {"move to the same screen point", WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y)},
        {"key up", WM_KEYUP, VK_SPACE, 0}, {"button up", WM_LBUTTONUP, 0, 0}, {"character", WM_CHAR, 'a', 0},
        {"screen-saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0},
        {"close command with the system's low bits", WM_SYSCOMMAND, SC_CLOSE | 3, 0},
    };
    for (const auto& c : ignored)
        for (HWND board : {second, session->Primary()->Handle()})
            EXPECT_FALSE(EndsAfter(*session, board, c.msg, c.wParam, c.lParam)) << c.what << " ended the run";
    EXPECT_TRUE(EndsAfter(*session, second, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x + 1, cursor.y)))
        << "a real move on the second board did not end the run";
    EXPECT_TRUE(TakeQuitMessage());
}

// With a password: the black-out stops the one music; any input asks once;
// the boards wake, with the music, before the question; a wrong answer keeps
// the run, forgets the mouse and starts the black-out countdown again; the
// real question is owned by the primary board.
TEST_F(SaverSessionTest, PasswordAndBlackOutAcrossBoards)
{
    RecordingMci sound;
    RecordingWave wave;
    FakeFiles files;
    files.Add("c:\\music\\loop.mid");
    MsvcRandom random(1);
    const SoundServices services{sound, wave, files, random};
    Settings s = kPieces;
    s.PassWord = "Secret", s.BlackOutTime = 2, s.BGM = 1, s.MIDI = "c:\\music\\loop.mid";
    auto session = Start(s, &services);
    ASSERT_NE(session, nullptr);
    const std::vector<std::string> music{"open c:\\music\\loop.mid type sequencer",
                                         "play c:\\music\\loop.mid from 0 notify"};
    EXPECT_EQ(sound.sent, music) << "one music for the run, from the primary board";
    const HWND second = BoardAt(*session, kTwoMonitors[0]);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return session->Primary()->View().BlackedOut(); }, 5000)) << "no black-out";
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(Blank(session->Primary()->Handle()) && Blank(second)) << "a board shows pieces in the black-out";
    EXPECT_EQ(sound.sent.back(), "close c:\\music\\loop.mid") << "the music plays on in the black-out";

    sound.sent.clear();
    session->answer = "secret";
    EXPECT_FALSE(EndsAfter(*session, second, WM_KEYDOWN, 'A', 0)) << "ended on a wrong password";
    EXPECT_EQ(session->asked, 1);
    EXPECT_FALSE(session->blackWhenAsked) << "the boards were not woken before asking";
    // (A new black-out may close it again meanwhile.)
    EXPECT_EQ(std::vector<std::string>(sound.sent.begin(), sound.sent.begin() + std::min<std::size_t>(sound.sent.size(), 2)), music)
        << "the music did not come back with the boards";
    EXPECT_EQ(std::count(sound.sent.begin(), sound.sent.end(), music[0]), 1) << "more than one board plays music";
    EXPECT_TRUE(PumpUntil([&] { return session->Primary()->View().BlackedOut(); }, 5000)) << "no black-out after the refusal";

    // Away from the first position: only a forgotten one lets this move pass.
    EXPECT_FALSE(EndsAfter(*session, second, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x + 3, cursor.y)))
        << "the first move after a refusal asked";
    EXPECT_EQ(session->asked, 1);

    // The real question, on a move: one dialog, which holds every board's
    // input while it is up.
    session->real = true;
    const HWND primary = session->Primary()->Handle();
    HWND owner = nullptr;
    std::size_t dialogs = 0;
    bool enabled = true;
    WhenShown(L"Veloma Screen Saver", [&](HWND question) {
        // Input on the other board while it is up asks no second time.
        SendMessageW(second, WM_KEYDOWN, 'B', 0);
        PumpUntil([] { return false; }, 50);
        dialogs = ThreadWindows(L"Veloma Screen Saver").size();
        owner = GetWindow(question, GW_OWNER);
        enabled = IsWindowEnabled(primary) || IsWindowEnabled(second);
        SetDlgItemTextW(question, IDC_PASSWORD, L"Secret");
        ClickItem(question, IDOK);
    });
    EXPECT_TRUE(EndsAfter(*session, second, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x + 4, cursor.y)))
        << "the right password did not end the run";
    DropPendingSteps();
    EXPECT_EQ(owner, primary) << "the primary board should own the question";
    EXPECT_EQ(dialogs, 1u);
    EXPECT_FALSE(enabled) << "a board took input while asking";
}

// A new layout, whether the system tells of it or not: a monitor that is
// gone loses its board, a moved primary takes its board along, a new
// monitor gets one. The pointer a new layout moves ends nothing.
TEST_F(SaverSessionTest, BoardsFollowTheMonitors)
{
    auto session = Start(kPieces);
    ASSERT_NE(session, nullptr);
    const HWND primary = session->Primary()->Handle(), second = BoardAt(*session, kTwoMonitors[0]);
    const ScreenArea alone{0, 0, 640, 480, true};
    session->monitors = {alone};
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(second); }, 2 * SaverSession::kMonitorPollMs))
        << "a board stayed on a monitor that is gone";
    EXPECT_EQ(BoardAt(*session, alone), primary) << "the primary board did not follow its monitor";
    EXPECT_EQ(session->Primary()->View().Layout().cols, 640 / 32) << "the moved board was not laid out anew";

    MoveOver(primary, cursor);
    session->monitors = kTwoMonitors;
    EXPECT_FALSE(EndsAfter(*session, primary, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x + 5, cursor.y)))
        << "the pointer the new layout moved ended the run";
    EXPECT_NE(BoardAt(*session, kTwoMonitors[0]), nullptr) << "no board on the monitor that came back";

    session->monitors = {alone};
    SendMessageW(primary, WM_DISPLAYCHANGE, 24, MAKELPARAM(640, 480));
    EXPECT_TRUE(PumpUntil([&] { return BoardAt(*session, kTwoMonitors[0]) == nullptr; }, 300))
        << "the boards did not follow the layout the system told of";
    EXPECT_TRUE(EndsAfter(*session, primary, WM_KEYDOWN, VK_SPACE, 0));
}

} // namespace
