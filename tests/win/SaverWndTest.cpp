#include "app/win/Modes.h"
#include "platform/RegKey.h"
#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "saver/win/SaverWnd.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The saver with its inner state in reach.
class TestSaver : public SaverWnd {
public:
    TestSaver() : SaverWnd(nullptr) {}
    using BoardWnd::SetMinuteLength;
    FirstMouse& First() { return m_ptFirstMouse; }
};

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const wchar_t kSystemKey[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const wchar_t kDesktopKey[] = L"Control Panel\\desktop";

// The cursor's display count, left as it was.
int CursorCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// Every case starts without the product key and without the desktop's
// values, and leaves none behind.
class SaverWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearRegistry();
        TakeQuitMessage();
        m_cursorBefore = CursorCount();
    }
    void TearDown() override
    {
        if (Alive())
            ::DestroyWindow(m_hwnd);
        PumpUntil([] { return false; }, 50);
        TakeQuitMessage();
        m_saver.reset();
        EXPECT_EQ(CursorCount(), m_cursorBefore) << "the cursor was not shown again";
        ClearRegistry();
    }
    static void ClearRegistry()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegKey desktop = RegKey::Open(HKEY_CURRENT_USER, kDesktopKey, KEY_SET_VALUE);
        for (const wchar_t* name :
             {L"ScreenSaveUsePassword", L"ScreenSaveLowPowerActive", L"ScreenSaveLowPowerTimeOut"})
            RegDeleteValueW(desktop.Get(), name);
    }

    void Set(const wchar_t* key, const wchar_t* name, const std::wstring& text)
    {
        ASSERT_TRUE(RegKey::Create(HKEY_CURRENT_USER, key, KEY_WRITE).SetString(name, text)) << Narrow(name);
    }

    // A saver as the "s" switch makes it. Any mouse move the window's
    // appearance brings is let through and forgotten, so each case decides
    // the first move itself.
    TestSaver* Start(std::uint32_t minuteMs = 60000)
    {
        m_saver = std::make_unique<TestSaver>();
        m_saver->SetMinuteLength(minuteMs);
        if (!m_saver->CreateFullScreen()) {
            m_saver.reset();
            return nullptr;
        }
        PumpUntil([] { return false; }, 100);
        m_saver->First().Forget();
        m_hwnd = m_saver->Handle();
        return m_saver.get();
    }

    bool Alive() const { return m_saver && m_saver->Handle() && IsWindow(m_hwnd); }

    // Its close is posted, so the next turns of the loop show it.
    bool ClosesAfter(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        SendMessageW(m_hwnd, msg, wParam, lParam);
        return PumpUntil([&] { return !Alive(); }, 300);
    }

    // Sends the input with an act on the password dialog ready; false when
    // no dialog came up.
    bool Asks(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<void(HWND)>& act)
    {
        bool asked = false;
        std::function<void()> answer = [&] {
            const std::vector<HWND> dialogs = ThreadWindows(L"Veloma Screen Saver");
            if (dialogs.empty())
                return Later(answer);
            asked = true;
            act(dialogs[0]);
        };
        Later(answer);
        SendMessageW(m_hwnd, msg, wParam, lParam);
        DropPendingSteps();
        return asked;
    }

    std::unique_ptr<TestSaver> m_saver;
    HWND m_hwnd = nullptr;
    int m_cursorBefore = 0;
};

// Read from the real registry, the desktop's values shape the run, and
// nothing is written back.
TEST_F(SaverWndTest, CoversTheScreenAboveAllWithoutACursor)
{
    Set(kSystemKey, L"CellSize", L"200");
    Set(kSystemKey, L"BlackOutTime", L"20");
    Set(kSystemKey, L"PassWord", L"pw");
    Set(kDesktopKey, L"ScreenSaveUsePassword", L"1");
    Set(kDesktopKey, L"ScreenSaveLowPowerActive", L"1");
    Set(kDesktopKey, L"ScreenSaveLowPowerTimeOut", L"900");
    TestSaver* saver = Start();
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(saver->CellSize, 128);
    EXPECT_EQ(saver->BlackOutTime, 15);
    EXPECT_EQ(saver->PassWord, "pw");
    EXPECT_TRUE(KillTimer(m_hwnd, 2)) << "no black-out timer";
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RegKey::Open(HKEY_CURRENT_USER, kSystemKey, KEY_READ).QueryValue(L"CellSize", type, data));
    EXPECT_EQ(Narrow(reinterpret_cast<const wchar_t*>(data.data())), "200") << "CellSize was written back";

    RECT r{};
    GetWindowRect(m_hwnd, &r);
    EXPECT_EQ(std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "x" +
                  std::to_string(r.bottom),
              "0,0 " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    const LONG exStyle = GetWindowLongW(m_hwnd, GWL_EXSTYLE);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << std::hex << exStyle;
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CHILD), static_cast<DWORD>(WS_POPUP | WS_VISIBLE))
        << std::hex << style;
    EXPECT_EQ(CursorCount(), m_cursorBefore - 1) << "the cursor should be hidden once";
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageW(m_hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), nullptr) << "the cursor came back over the window";
    // Destroyed, it ends the run; the fixture sees the cursor shown again.
    ::DestroyWindow(m_hwnd);
    EXPECT_TRUE(TakeQuitMessage()) << "no quit message after the window was destroyed";
}

// Without a password in force: the first move is only recorded, key and
// button presses close, other input and the swallowed commands do not.
TEST_F(SaverWndTest, InputThatCloses)
{
    Set(kSystemKey, L"PassWord", L"stored");  // not in force: the desktop asks none
    ASSERT_NE(Start(), nullptr);
    const struct { const char* what; UINT msg; WPARAM wParam; LPARAM lParam; } ignored[] = {
        {"first move", WM_MOUSEMOVE, 0, MAKELPARAM(300, 200)},
        {"move to the same place", WM_MOUSEMOVE, 0, MAKELPARAM(300, 200)},
        {"key up", WM_KEYUP, VK_SPACE, 0}, {"button up", WM_LBUTTONUP, 0, 0}, {"character", WM_CHAR, 'a', 0},
        {"screen-saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0},
        {"close command with the system's low bits", WM_SYSCOMMAND, SC_CLOSE | 3, 0},
    };
    for (const auto& c : ignored)
        EXPECT_FALSE(ClosesAfter(c.msg, c.wParam, c.lParam)) << c.what << " closed the saver";
    SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(m_hwnd)) << "SC_MINIMIZE was swallowed too";
    EXPECT_TRUE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(301, 200))) << "a move one pixel away did not close it";
    EXPECT_TRUE(TakeQuitMessage()) << "the run would not end";

    const struct { const char* what; UINT msg; WPARAM wParam; } closing[] = {
        {"key", WM_KEYDOWN, VK_SPACE}, {"system key", WM_SYSKEYDOWN, 'X'}, {"left button", WM_LBUTTONDOWN, MK_LBUTTON},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON}, {"right button", WM_RBUTTONDOWN, MK_RBUTTON}};
    for (const auto& c : closing) {
        ASSERT_NE(Start(), nullptr) << c.what;
        EXPECT_TRUE(ClosesAfter(c.msg, c.wParam, MAKELPARAM(10, 10))) << c.what << " did not close the saver";
        EXPECT_TRUE(TakeQuitMessage()) << c.what << ": the run would not end";
        if (Alive())
            ::DestroyWindow(m_hwnd);
        TakeQuitMessage();
    }
}

void Answer(HWND dlg, const wchar_t* text)
{
    SetDlgItemTextW(dlg, IDC_PASSWORD, text);
    ClickItem(dlg, IDOK);
}

// With the password in force the saver asks, owning the question and
// taking no input meanwhile; a blacked-out board comes back behind it, a
// refusal starts the black-out countdown again and forgets the mouse.
TEST_F(SaverWndTest, PasswordInForce)
{
    Set(kDesktopKey, L"ScreenSaveUsePassword", L"1");
    Set(kSystemKey, L"PassWord", L"Secret");
    Set(kSystemKey, L"BlackOutTime", L"2");
    Set(kSystemKey, L"Bitmap", L"Z:" + Widen(VELOMA_SOURCE_DIR) + L"/res/velomass.bmp");
    TestSaver* saver = Start(150);  // black-out after 300 ms
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return saver->m_bBlackedOut; }, 5000)) << "no black-out";

    HWND owner = nullptr;
    bool enabledWhileAsking = true, blackWhileAsking = true;
    saver->First().OnMove(5, 5);
    ASSERT_TRUE(Asks(WM_KEYDOWN, 'A', 0, [&](HWND dlg) {
        owner = GetWindow(dlg, GW_OWNER);
        enabledWhileAsking = IsWindowEnabled(m_hwnd);
        blackWhileAsking = saver->m_bBlackedOut;
        Answer(dlg, L"secret");
    })) << "no password dialog";
    EXPECT_EQ(owner, m_hwnd) << "the saver should own the dialog";
    EXPECT_FALSE(enabledWhileAsking) << "the saver took input while asking";
    EXPECT_FALSE(blackWhileAsking) << "the board was not woken before asking";
    EXPECT_FALSE(PumpUntil([&] { return !Alive(); }, 300)) << "closed without the password";
    EXPECT_TRUE(IsWindowEnabled(m_hwnd));
    EXPECT_FALSE(saver->First().Seen()) << "the next move must only be recorded again";
    EXPECT_TRUE(PumpUntil([&] { return saver->m_bBlackedOut; }, 5000)) << "no black-out after the refusal";

    EXPECT_FALSE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(40, 40)));
    EXPECT_TRUE(Asks(WM_MOUSEMOVE, 0, MAKELPARAM(41, 40), [](HWND dlg) { Answer(dlg, L"Secret"); }));
    EXPECT_TRUE(PumpUntil([&] { return !Alive(); }, 1500)) << "the right password did not close the saver";
}

// A long password in half-width katakana, set with the "a" switch, is the
// one the saver asks for. The change dialog has no owner, whatever window
// the switch names; a configure run while the saver asks only finds the
// question, which bears the settings dialog's title.
TEST_F(SaverWndTest, PasswordFromTheChangeSwitchIsAskedFor)
{
    const std::wstring password = std::wstring(300, L'\uFF71') + L" 1";
    HWND settings = CreateWindowExW(0, L"STATIC", L"display settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                    100, nullptr, nullptr, nullptr, nullptr);
    HWND owner = settings;
    std::function<void()> change = [&] {
        const std::vector<HWND> found = ThreadWindows(L"ﾊﾟｽﾜｰﾄﾞの変更");
        if (found.empty())
            return Later(change);
        owner = GetWindow(found[0], GW_OWNER);
        SetDlgItemTextW(found[0], IDC_PASSWORD, password.c_str());
        SetDlgItemTextW(found[0], IDC_PASSWORD_CONFIRM, password.c_str());
        SetFocus(GetDlgItem(found[0], IDOK));
        ClickItem(found[0], IDOK);
        if (IsWindow(found[0]))
            EndDialog(found[0], IDCANCEL);
    };
    Later(change);
    RunMode(ParseCommandLine({"/a", std::to_string(reinterpret_cast<std::uintptr_t>(settings))}));
    DropPendingSteps();
    DestroyWindow(settings);
    EXPECT_EQ(owner, nullptr) << "the change-password dialog has an owner";

    Set(kDesktopKey, L"ScreenSaveUsePassword", L"1");
    ASSERT_NE(Start(), nullptr);
    bool settingsOpened = false;
    HWND asking = nullptr;
    std::function<void()> closeOthers = [&] {
        for (HWND other : ThreadWindows(L"#32770", true))
            if (other != asking)
                settingsOpened = true, EndDialog(other, IDCANCEL);
        Later(closeOthers, 100);
    };
    ASSERT_TRUE(Asks(WM_KEYDOWN, 'A', 0, [&](HWND dlg) {
        asking = dlg;
        Later(closeOthers, 100);
        RunMode(ParseCommandLine({"/c"}));
        DropPendingSteps();
        Answer(dlg, password.c_str());
    })) << "no password asked for";
    EXPECT_FALSE(settingsOpened) << "a configure run opened the settings while the saver asked";
    EXPECT_TRUE(PumpUntil([&] { return !Alive(); }, 1500)) << "the password set with the switch was refused";
}

}  // namespace
