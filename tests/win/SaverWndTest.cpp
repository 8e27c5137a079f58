// The full-screen window under real Win32: its style and cursor, the input
// that ends it, the password it asks for, and its black-out timer.
#include "res/PasswordDialogs.h"
#include "saver/win/SaverWnd.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The sound devices of the test: the commands are kept, any path exists
// and is its own short form.
struct FakeSound : MciCommandSink, WaveSink, FileSystem {
    std::uint32_t SendCommand(const std::string& command, std::string*, bool) override
    {
        sent.push_back(command);
        return 0;
    }
    void PlayAsync(const std::string&) override {}
    bool Exists(const std::string&) override { return true; }
    std::string CurrentDirectory() override { return "C:\\"; }
    bool ShortPath(const std::string& path, std::string& form) override { return form = path, true; }
    std::unique_ptr<ByteSource> OpenForReading(const std::string&) override { return nullptr; }
    std::string AnsiToUtf8(const std::string& bytes) override { return bytes; }
    std::vector<std::string> sent;
};

// A saver whose password question is scripted; `real` asks with the dialog.
class TestSaver : public SaverWnd {
public:
    explicit TestSaver(const SoundServices* sound = nullptr) : SaverWnd(sound) {}
    using SaverWnd::SetMinuteLength;
    std::vector<std::string> answers;
    int asked = 0;
    bool blackWhenAsked = false;
    bool real = false;

protected:
    bool AskPassword(std::string& entered) override
    {
        if (real)
            return SaverWnd::AskPassword(entered);
        ++asked;
        blackWhenAsked = BlackedOut();
        if (answers.empty())
            return false;
        entered = answers.front();
        answers.erase(answers.begin());
        return true;
    }
};

// Mouse positions relative to the pointer: the system's own move reports
// come from where it is, and must read as no move at all.
LPARAM NearCursor(int dx)
{
    POINT p{};
    GetCursorPos(&p);
    return MAKELPARAM(p.x + dx, p.y);
}

int CursorCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

Settings PieceSettings()
{
    Settings s;
    s.Bitmap = "Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp";
    return s;
}

class SaverWndTest : public ::testing::Test {
protected:
    void SetUp() override { TakeQuitMessage(); }
    void TearDown() override
    {
        PumpUntil([] { return false; }, 30);
        TakeQuitMessage();
    }

    // Any mouse move the window's appearance brings is let through and
    // forgotten: each case makes its own first move.
    std::unique_ptr<TestSaver> Start(const Settings& settings, const SoundServices* sound = nullptr)
    {
        auto saver = std::make_unique<TestSaver>(sound);
        saver->SetMinuteLength(100);
        if (!saver->CreateFullScreen(settings))
            return nullptr;
        PumpUntil([] { return false; }, 50);
        SendMessageW(saver->Handle(), WM_MOUSEMOVE, 0, NearCursor(0));
        return saver;
    }

    // Its close is posted, so the next turns of the loop show it.
    static bool ClosesAfter(TestSaver& saver, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        SendMessageW(saver.Handle(), msg, wParam, lParam);
        return PumpUntil([&] { return !IsWindow(saver.Handle()); }, 300);
    }
};

TEST_F(SaverWndTest, AboveAllWithoutACursor)
{
    const int cursorBefore = CursorCount();
    {
        Settings s = PieceSettings();
        s.BlackOutTime = 15;
        auto saver = Start(s);
        ASSERT_NE(saver, nullptr);
        HWND hwnd = saver->Handle();
        EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CHILD),
                  static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
        EXPECT_TRUE(KillTimer(hwnd, SaverWnd::kBlackOutTimer)) << "no black-out timer";
        EXPECT_EQ(CursorCount(), cursorBefore - 1) << "the cursor should be hidden once";
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), nullptr) << "the cursor came back over the window";
        DestroyWindow(hwnd);
        EXPECT_TRUE(TakeQuitMessage()) << "the run would not end with its window";
    }
    EXPECT_EQ(CursorCount(), cursorBefore) << "the cursor was not shown again";
}

// Without a password: the first move is only recorded, key and button
// presses close, other input and the swallowed commands do not.
TEST_F(SaverWndTest, InputThatCloses)
{
    auto saver = Start(PieceSettings());
    ASSERT_NE(saver, nullptr);
    const struct { const char* what; UINT msg; WPARAM wParam; LPARAM lParam; } ignored[] = {
        {"move to the same place", WM_MOUSEMOVE, 0, NearCursor(0)},
        {"key up", WM_KEYUP, VK_SPACE, 0}, {"button up", WM_LBUTTONUP, 0, 0}, {"character", WM_CHAR, 'a', 0},
        {"screen-saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0},
        {"close command with the system's low bits", WM_SYSCOMMAND, SC_CLOSE | 3, 0},
    };
    for (const auto& c : ignored)
        EXPECT_FALSE(ClosesAfter(*saver, c.msg, c.wParam, c.lParam)) << c.what << " closed the saver";
    EXPECT_TRUE(ClosesAfter(*saver, WM_MOUSEMOVE, 0, NearCursor(1))) << "a real move did not close it";

    const struct { const char* what; UINT msg; WPARAM wParam; } closing[] = {
        {"key", WM_KEYDOWN, VK_SPACE}, {"system key", WM_SYSKEYDOWN, 'X'}, {"left button", WM_LBUTTONDOWN, MK_LBUTTON},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON}, {"right button", WM_RBUTTONDOWN, MK_RBUTTON}};
    for (const auto& c : closing) {
        saver = Start(PieceSettings());
        ASSERT_NE(saver, nullptr);
        EXPECT_TRUE(ClosesAfter(*saver, c.msg, c.wParam, MAKELPARAM(10, 10))) << c.what << " did not close the saver";
        TakeQuitMessage();
    }
}

// With a password: any input asks; the board wakes from its black-out,
// with its music, before the question; a wrong answer keeps the saver,
// forgets the mouse and starts the black-out countdown again.
TEST_F(SaverWndTest, PasswordInForce)
{
    FakeSound sound;
    MsvcRandom random(1);
    const SoundServices services{sound, sound, sound, random};
    Settings s = PieceSettings();
    s.PassWord = "Secret";
    s.BlackOutTime = 2;
    s.BGM = 1;
    s.MIDI = "c:\\music\\loop.mid";
    auto saver = Start(s, &services);
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return saver->BlackedOut(); }, 5000)) << "no black-out";
    EXPECT_EQ(sound.sent.back(), "close c:\\music\\loop.mid") << "the music plays on in the black-out";

    sound.sent.clear();
    saver->answers = {"secret"};
    EXPECT_FALSE(ClosesAfter(*saver, WM_KEYDOWN, 'A', 0)) << "closed on a wrong password";
    EXPECT_EQ(saver->asked, 1);
    EXPECT_FALSE(saver->blackWhenAsked) << "the board was not woken before asking";
    // (A new black-out may close it again meanwhile.)
    sound.sent.resize(std::min<std::size_t>(sound.sent.size(), 2));
    EXPECT_EQ(sound.sent, (std::vector<std::string>{"open c:\\music\\loop.mid type sequencer",
                                                    "play c:\\music\\loop.mid from 0 notify"}))
        << "the music did not come back with the board";
    EXPECT_TRUE(PumpUntil([&] { return saver->BlackedOut(); }, 5000)) << "no black-out after the refusal";

    EXPECT_FALSE(ClosesAfter(*saver, WM_MOUSEMOVE, 0, NearCursor(0))) << "the first move after a refusal asked";
    EXPECT_EQ(saver->asked, 1);
    saver->answers = {"Secret"};
    EXPECT_TRUE(ClosesAfter(*saver, WM_MOUSEMOVE, 0, NearCursor(1))) << "the right password did not close it";
    EXPECT_EQ(saver->asked, 2);
}

// The real question: a dialog the saver owns, which holds the saver's input
// while it is up.
TEST_F(SaverWndTest, PasswordDialogIsOwnedByTheSaver)
{
    Settings s = PieceSettings();
    s.PassWord = "pw";
    auto saver = Start(s);
    ASSERT_NE(saver, nullptr);
    saver->real = true;
    HWND owner = nullptr;
    const HWND saverWindow = saver->Handle();
    bool enabled = true;
    std::function<void()> answer = [&] {
        const std::vector<HWND> dialogs = ThreadWindows(L"Veloma Screen Saver");
        if (dialogs.empty())
            return Later(answer);
        owner = GetWindow(dialogs[0], GW_OWNER);
        enabled = IsWindowEnabled(saver->Handle());
        SetDlgItemTextW(dialogs[0], IDC_PASSWORD, L"pw");
        ClickItem(dialogs[0], IDOK);
    };
    Later(answer);
    EXPECT_TRUE(ClosesAfter(*saver, WM_KEYDOWN, 'A', 0));
    DropPendingSteps();
    EXPECT_EQ(owner, saverWindow) << "the saver should own the question";
    EXPECT_FALSE(enabled) << "the saver took input while asking";
}

} // namespace
