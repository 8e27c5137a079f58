#include "platform/App.h"
#include "platform/RegKey.h"
#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "saver/SaverWnd.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

int g_liveSavers = 0;

// The saver with its inner state in reach; it deletes itself like the
// real one, which the count of live objects shows.
class TestSaver : public SaverWnd {
public:
    TestSaver() : SaverWnd(TRUE, nullptr) { ++g_liveSavers; }
    ~TestSaver() override { --g_liveSavers; }
    using BoardWnd::SetMinuteLength;
    FirstMouse& First() { return m_ptFirstMouse; }
};

class SaverTestApp : public App {
public:
    bool InitInstance() override { return false; }
};

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
const wchar_t kSystemKey[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const wchar_t kDesktopKey[] = L"Control Panel\\desktop";
const wchar_t* const kDesktopValues[] = {L"ScreenSaveUsePassword", L"ScreenSaveLowPowerActive",
                                         L"ScreenSaveLowPowerTimeOut"};

// The cursor's display count, left as it was.
int CursorCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// Every case starts from an empty product key and the desktop values it
// sets itself; the desktop values of the prefix are put back afterwards.
class SaverWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegKey desktop = RegKey::Create(HKEY_CURRENT_USER, kDesktopKey, KEY_ALL_ACCESS);
        ASSERT_TRUE(desktop.IsOpen());
        for (const wchar_t* name : kDesktopValues) {
            Saved saved;
            saved.present = desktop.QueryValue(name, saved.type, saved.data);
            m_saved[name] = saved;
            RegDeleteValueW(desktop.Get(), name);
        }
        TakeQuitMessage();
        m_liveBefore = g_liveSavers;
        m_cursorBefore = CursorCount();
    }

    void TearDown() override
    {
        if (m_saver && g_liveSavers > m_liveBefore)
            ::DestroyWindow(m_saver->Handle());
        PumpUntil([] { return false; }, 50);
        TakeQuitMessage();
        EXPECT_EQ(g_liveSavers, m_liveBefore) << "a saver object outlived its window";
        EXPECT_EQ(CursorCount(), m_cursorBefore) << "the cursor was not shown again";

        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegKey desktop = RegKey::Create(HKEY_CURRENT_USER, kDesktopKey, KEY_ALL_ACCESS);
        for (const auto& entry : m_saved) {
            if (entry.second.present)
                desktop.SetValue(entry.first, entry.second.type, entry.second.data.data(),
                                 static_cast<DWORD>(entry.second.data.size()));
            else
                RegDeleteValueW(desktop.Get(), entry.first.c_str());
        }
    }

    void SetSystem(const wchar_t* name, const std::wstring& text)
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, kSystemKey, KEY_WRITE);
        ASSERT_TRUE(key.SetString(name, text));
    }
    void SetDesktop(const wchar_t* name, const std::wstring& text)
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, kDesktopKey, KEY_WRITE);
        ASSERT_TRUE(key.SetString(name, text));
    }

    // A saver as the "s" switch makes it, the main window of the run. Any
    // mouse move the window's appearance brings is let through and
    // forgotten, so each case decides the first move itself.
    TestSaver* Start(std::uint32_t minuteMs = 60000)
    {
        m_saver = new TestSaver;
        m_saver->SetMinuteLength(minuteMs);
        if (!m_saver->CreateFullScreen()) {
            ADD_FAILURE() << "CreateFullScreen failed";
            delete m_saver;
            m_saver = nullptr;
            return nullptr;
        }
        m_app.SetMainWindow(m_saver);
        PumpUntil([] { return false; }, 100);
        m_saver->First().Forget();
        m_hwnd = m_saver->Handle();
        return m_saver;
    }

    bool Alive() const { return g_liveSavers > m_liveBefore && IsWindow(m_hwnd); }

    // Whether the saver closes after the message: its close is posted, so
    // the next turns of the loop show it.
    bool ClosesAfter(UINT msg, WPARAM wParam, LPARAM lParam, DWORD waitMs = 300)
    {
        SendMessageW(m_hwnd, msg, wParam, lParam);
        return PumpUntil([&] { return !Alive(); }, waitMs);
    }

    void ClearDesktop()
    {
        RegKey desktop = RegKey::Create(HKEY_CURRENT_USER, kDesktopKey, KEY_ALL_ACCESS);
        for (const wchar_t* name : kDesktopValues)
            RegDeleteValueW(desktop.Get(), name);
    }

    // Our own piece image, so that the board plays.
    void UsePieceImage()
    {
        SetSystem(L"Bitmap", L"Z:" + Widen(VELOMA_SOURCE_DIR) + L"/res/velomass.bmp");
    }

    struct Saved {
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::map<std::wstring, Saved> m_saved;
    SaverTestApp m_app;
    TestSaver* m_saver = nullptr;
    HWND m_hwnd = nullptr;
    int m_liveBefore = 0;
    int m_cursorBefore = 0;
};

TEST_F(SaverWndTest, CoversTheScreenAboveAllWithoutACursor)
{
    TestSaver* saver = Start();
    ASSERT_NE(saver, nullptr);
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    const LONG exStyle = GetWindowLongW(m_hwnd, GWL_EXSTYLE);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << std::hex << exStyle;
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_CHILD), static_cast<DWORD>(WS_POPUP | WS_VISIBLE))
        << std::hex << style;
    EXPECT_EQ(CursorCount(), m_cursorBefore - 1) << "the cursor should be hidden once";

    // The cursor stays hidden over the window.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageW(m_hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), nullptr);

    // Destroyed, it ends the run, frees itself and shows the cursor again.
    ::DestroyWindow(m_hwnd);
    EXPECT_TRUE(TakeQuitMessage()) << "no quit message after the window was destroyed";
    EXPECT_EQ(g_liveSavers, m_liveBefore);
    EXPECT_EQ(CursorCount(), m_cursorBefore);
}

TEST_F(SaverWndTest, RunValuesFromTheRegistryAreNotWrittenBack)
{
    const struct {
        const char* what;
        std::map<std::wstring, std::wstring> system, desktop;
        int cellSize, blackOut;
        std::string password;
    } cases[] = {
        {"desktop asks no password, small cells, low power",
         {{L"CellSize", L"16"}, {L"BlackOutTime", L"20"}, {L"PassWord", L"pw"}},
         {{L"ScreenSaveUsePassword", L"0"}, {L"ScreenSaveLowPowerActive", L"1"}, {L"ScreenSaveLowPowerTimeOut", L"900"}},
         32,
         15,
         ""},
        {"password in force, large cells",
         {{L"CellSize", L"200"}, {L"PassWord", L"pw"}},
         {{L"ScreenSaveUsePassword", L"1"}},
         128,
         0,
         "pw"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        ClearDesktop();
        for (const auto& v : c.system)
            SetSystem(v.first.c_str(), v.second);
        for (const auto& v : c.desktop)
            SetDesktop(v.first.c_str(), v.second);
        TestSaver* saver = Start();
        ASSERT_NE(saver, nullptr);
        EXPECT_EQ(saver->CellSize, c.cellSize);
        EXPECT_EQ(saver->BlackOutTime, c.blackOut);
        EXPECT_EQ(saver->PassWord, c.password);

        RegKey key = RegKey::Open(HKEY_CURRENT_USER, kSystemKey, KEY_READ);
        for (const auto& v : c.system) {
            DWORD type = 0;
            std::vector<BYTE> data;
            ASSERT_TRUE(key.QueryValue(v.first, type, data));
            EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), v.second)
                << Narrow(v.first) << " was written back";
        }
        ::DestroyWindow(m_hwnd);
        TakeQuitMessage();
    }
}

TEST_F(SaverWndTest, BlackOutTimerOnlyWhenATimeIsSet)
{
    SetSystem(L"BlackOutTime", L"1");
    TestSaver* saver = Start(200);  // a minute of 200 ms
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return saver->m_bBlackedOut; }, 5000)) << "no black-out after BlackOutTime";
    ::DestroyWindow(m_hwnd);
    TakeQuitMessage();

    SetSystem(L"BlackOutTime", L"0");
    saver = Start(20);
    ASSERT_NE(saver, nullptr);
    PumpUntil([] { return false; }, 600);
    EXPECT_FALSE(saver->m_bBlackedOut) << "blacked out although BlackOutTime is 0";
}

TEST_F(SaverWndTest, FirstMoveIsOnlyRecorded)
{
    ASSERT_NE(Start(), nullptr);
    EXPECT_FALSE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(300, 200))) << "the first move closed the saver";
    EXPECT_FALSE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(300, 200))) << "a move to the same place closed it";
    EXPECT_TRUE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(301, 200))) << "a move one pixel away did not close it";
}

TEST_F(SaverWndTest, InputClosesWithoutAPassword)
{
    SetSystem(L"PassWord", L"stored");  // not in force: the desktop asks none
    const struct {
        const char* what;
        UINT msg;
        WPARAM wParam;
        bool closes;
    } cases[] = {
        {"key", WM_KEYDOWN, VK_SPACE, true},
        {"system key", WM_SYSKEYDOWN, 'X', true},
        {"left button", WM_LBUTTONDOWN, MK_LBUTTON, true},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, true},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, true},
        {"key up", WM_KEYUP, VK_SPACE, false},
        {"button up", WM_LBUTTONUP, 0, false},
        {"character", WM_CHAR, 'a', false},
        {"screen-saver command", WM_SYSCOMMAND, SC_SCREENSAVE, false},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, false},
        {"close command with the system's low bits", WM_SYSCOMMAND, SC_CLOSE | 3, false},
    };
    for (const auto& c : cases) {
        ASSERT_NE(Start(), nullptr) << c.what;
        EXPECT_EQ(ClosesAfter(c.msg, c.wParam, MAKELPARAM(10, 10)), c.closes) << c.what;
        if (c.closes)
            EXPECT_TRUE(TakeQuitMessage()) << c.what << ": the run would not end";
        if (Alive())
            ::DestroyWindow(m_hwnd);
        TakeQuitMessage();
    }
}

TEST_F(SaverWndTest, OtherSystemCommandsGetDefaultProcessing)
{
    ASSERT_NE(Start(), nullptr);
    SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(m_hwnd)) << "SC_MINIMIZE was swallowed too";
}

// ----- With the password in force -----

// Acts on the password dialog from a thread timer, which fires inside the
// dialog's modal loop.
std::function<void(HWND)> g_onPasswordDialog;

void CALLBACK PasswordDialogTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = FindWindowW(L"#32770", L"Veloma Screen Saver");
    DWORD pid = 0;
    if (dlg)
        GetWindowThreadProcessId(dlg, &pid);
    if (!dlg || pid != GetCurrentProcessId())
        return;
    KillTimer(nullptr, id);
    auto act = std::move(g_onPasswordDialog);
    g_onPasswordDialog = nullptr;
    if (act)
        act(dlg);
}

void Answer(HWND dlg, const wchar_t* text)
{
    SetDlgItemTextW(dlg, IDC_PASSWORD, text);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
}

class SaverPasswordTest : public SaverWndTest {
protected:
    void SetUp() override
    {
        SaverWndTest::SetUp();
        SetDesktop(L"ScreenSaveUsePassword", L"1");
        SetSystem(L"PassWord", L"Secret");
    }

    // Sends the input with the dialog's answer ready; false when no dialog came.
    bool KeyWithAnswer(const std::function<void(HWND)>& act)
    {
        bool asked = false;
        g_onPasswordDialog = [&, act](HWND dlg) {
            asked = true;
            act(dlg);
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, PasswordDialogTimer);
        SendMessageW(m_hwnd, WM_KEYDOWN, 'A', 0);
        KillTimer(nullptr, timer);
        g_onPasswordDialog = nullptr;
        return asked;
    }
};

TEST_F(SaverPasswordTest, AsksAndClosesOnlyOnTheRightPassword)
{
    TestSaver* saver = Start();
    ASSERT_NE(saver, nullptr);

    const struct {
        const char* what;
        std::function<void(HWND)> act;
    } refusals[] = {
        {"wrong case", [](HWND dlg) { Answer(dlg, L"secret"); }},
        {"trailing blank", [](HWND dlg) { Answer(dlg, L"Secret "); }},
        {"empty", [](HWND dlg) { Answer(dlg, L""); }},
        {"Escape", [](HWND dlg) { SendMessageW(dlg, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (const auto& r : refusals) {
        HWND owner = nullptr;
        BOOL saverEnabled = TRUE;
        saver->First().OnMove(5, 5);
        ASSERT_TRUE(KeyWithAnswer([&](HWND dlg) {
            owner = GetWindow(dlg, GW_OWNER);
            saverEnabled = IsWindowEnabled(m_hwnd);
            r.act(dlg);
        })) << r.what << ": no password dialog";
        EXPECT_EQ(owner, m_hwnd) << r.what << ": the saver should own the dialog";
        EXPECT_FALSE(saverEnabled) << r.what << ": the saver took input while asking";
        EXPECT_FALSE(PumpUntil([&] { return !Alive(); }, 300)) << r.what << ": closed without the password";
        EXPECT_FALSE(saver->First().Seen()) << r.what << ": the next move must only be recorded again";
        EXPECT_TRUE(IsWindowEnabled(m_hwnd)) << r.what;
    }
    // After a refusal the next move is recorded, the one after asks again.
    EXPECT_FALSE(ClosesAfter(WM_MOUSEMOVE, 0, MAKELPARAM(40, 40)));
    bool asked = false;
    g_onPasswordDialog = [&](HWND dlg) {
        asked = true;
        Answer(dlg, L"Secret");
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PasswordDialogTimer);
    SendMessageW(m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(41, 40));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(PumpUntil([&] { return !Alive(); }, 1500)) << "the right password did not close the saver";
}

TEST_F(SaverPasswordTest, BlackedOutBoardComesBackBehindTheQuestion)
{
    SetSystem(L"BlackOutTime", L"2");
    UsePieceImage();
    TestSaver* saver = Start(150);  // black-out after 300 ms
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return saver->m_bBlackedOut; }, 5000)) << "no black-out";

    bool blackWhileAsking = true;
    ASSERT_TRUE(KeyWithAnswer([&](HWND dlg) {
        blackWhileAsking = saver->m_bBlackedOut;
        Answer(dlg, L"wrong");
    }));
    EXPECT_FALSE(blackWhileAsking) << "the board was not woken before asking";
    EXPECT_TRUE(Alive());
    // The refusal starts the countdown again.
    EXPECT_TRUE(PumpUntil([&] { return saver->m_bBlackedOut; }, 5000)) << "no black-out after the refusal";
}

}  // namespace
