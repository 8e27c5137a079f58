#include "platform/RegKey.h"
#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "saver/PasswordChangeDialog.h"
#include "saver/PasswordDialog.h"
#include "settings/WinSettings.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Test steps run from timers of the dialog's own window, inside its modal
// loop (and inside any message box it shows), as a user would act.
constexpr UINT_PTR kFirstStepTimer = 100;

struct Step {
    UINT atMs;
    std::function<void(HWND)> act;
};

template <class Base>
class Scripted : public Base {
public:
    using Base::Base;
    std::vector<Step> steps;
    HWND seen = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL result = Base::OnInitDialog();
        seen = this->Handle();
        for (size_t i = 0; i < steps.size(); ++i)
            SetTimer(this->Handle(), kFirstStepTimer + i, steps[i].atMs, nullptr);
        return result;
    }
    void OnTimer(UINT_PTR id) override
    {
        if (id >= kFirstStepTimer && id < kFirstStepTimer + steps.size()) {
            KillTimer(this->Handle(), id);
            steps[id - kFirstStepTimer].act(this->Handle());
            return;
        }
        Base::OnTimer(id);
    }
};

std::string Text(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return Narrow(text);
}

std::string ItemText(HWND dialog, int id)
{
    return Text(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text)
{
    SetWindowTextW(GetDlgItem(dialog, id), Widen(text).c_str());
}

// OK as a mouse click delivers it: the button takes the focus first.
void ClickOk(HWND dialog)
{
    SetFocus(GetDlgItem(dialog, IDOK));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The Enter key as the dialog manager sees it in the modal loop.
void PressEnter(HWND dialog)
{
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    (void)dialog;
}

int FocusId(HWND)
{
    HWND focus = GetFocus();
    return focus ? GetDlgCtrlID(focus) : 0;
}

// ----- The resources, as the user sees them -----

struct ControlSpec {
    int id;  // -1: a static text, found by its text
    const wchar_t* className;
    const char* text;
    RECT dlu;  // x, y, w, h in dialog units
    DWORD styleBits;
};

struct DialogSpec {
    UINT resource;
    const char* title;
    SIZE dlu;
    DWORD styleBits;
    std::vector<ControlSpec> controls;
};

// The dialog manager turns an edit box's WS_BORDER into a sunken edge; the
// test looks for either.
const DWORD kEditStyle = ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

const DialogSpec kDialogs[] = {
    {IDD_PASSWORD_CHANGE,
     "ﾊﾟｽﾜｰﾄﾞの変更",
     {247, 69},
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     {
         {IDOK, L"Button", "OK", {190, 7, 50, 14}, BS_DEFPUSHBUTTON},
         {IDCANCEL, L"Button", "ｷｬﾝｾﾙ", {190, 24, 50, 14}, 0},
         {-1, L"Static", "Velomaｽｸﾘｰﾝｾｰﾊﾞｰのﾊﾟｽﾜｰﾄﾞの変更", {7, 7, 128, 12}, 0},
         {-1, L"Static", "新しいﾊﾟｽﾜｰﾄﾞ", {7, 33, 78, 13}, 0},
         {-1, L"Static", "新しいﾊﾟｽﾜｰﾄﾞの確認入力", {7, 51, 84, 13}, 0},
         {IDC_PASSWORD, L"Edit", "", {90, 33, 87, 13}, kEditStyle},
         {IDC_PASSWORD_CONFIRM, L"Edit", "", {90, 51, 87, 13}, kEditStyle},
     }},
    {IDD_PASSWORD,
     "Veloma Screen Saver",
     {187, 69},
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     {
         {IDOK, L"Button", "OK", {69, 48, 50, 14}, BS_DEFPUSHBUTTON},
         {IDC_PASSWORD, L"Edit", "", {7, 25, 173, 15}, kEditStyle},
         {-1, L"Static", "ﾊﾟｽﾜｰﾄﾞの入力", {7, 7, 130, 14}, 0},
     }},
};

// A plain dialog on a resource, to look at it without any behaviour.
class Probe : public Dialog {
public:
    explicit Probe(UINT id) : Dialog(id) {}
    std::function<void(HWND)> look;

protected:
    BOOL OnInitDialog() override
    {
        look(Handle());
        EndDialog(IDCANCEL);
        return TRUE;
    }
};

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

TEST(PasswordDialogTest, ResourcesShowEveryControl)
{
    for (const DialogSpec& spec : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(spec.resource));
        Probe probe(spec.resource);
        bool looked = false;
        probe.look = [&](HWND dlg) {
            looked = true;
            EXPECT_EQ(Text(dlg), spec.title);
            const DWORD style = static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE));
            EXPECT_EQ(style & spec.styleBits, spec.styleBits) << std::hex << "style " << style;
            RECT client{};
            GetClientRect(dlg, &client);
            RECT want{0, 0, spec.dlu.cx, spec.dlu.cy};
            MapDialogRect(dlg, &want);
            EXPECT_EQ(RectText(client), RectText(want)) << "client area";

            int children = 0;
            for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                ++children;
            EXPECT_EQ(children, static_cast<int>(spec.controls.size()));

            for (const ControlSpec& control : spec.controls) {
                SCOPED_TRACE(std::string("control ") + std::to_string(control.id) + " '" + control.text + "'");
                HWND item = nullptr;
                if (control.id >= 0) {
                    item = GetDlgItem(dlg, control.id);
                } else {
                    for (HWND c = GetWindow(dlg, GW_CHILD); c && !item; c = GetWindow(c, GW_HWNDNEXT))
                        if (Text(c) == control.text)
                            item = c;
                }
                ASSERT_NE(item, nullptr) << "missing";
                wchar_t className[32] = {};
                GetClassNameW(item, className, 32);
                EXPECT_EQ(lstrcmpiW(className, control.className), 0) << "class " << Narrow(className);
                EXPECT_EQ(Text(item), control.text);
                DWORD itemStyle = static_cast<DWORD>(GetWindowLongW(item, GWL_STYLE));
                if (GetWindowLongW(item, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
                    itemStyle |= WS_BORDER;
                EXPECT_EQ(itemStyle & control.styleBits, control.styleBits) << std::hex << "style " << itemStyle;
                if (control.styleBits & BS_DEFPUSHBUTTON)
                    EXPECT_EQ(itemStyle & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON)) << "not the default button";
                RECT at{};
                GetWindowRect(item, &at);
                MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&at), 2);
                // Position and size are converted each on its own.
                RECT units = control.dlu;
                MapDialogRect(dlg, &units);
                const RECT wantAt{units.left, units.top, units.left + units.right, units.top + units.bottom};
                EXPECT_EQ(RectText(at), RectText(wantAt)) << "position";
            }
            EXPECT_EQ(GetDlgItem(dlg, IDCANCEL) != nullptr, spec.resource == IDD_PASSWORD_CHANGE)
                << "only the change dialog has a Cancel button";

            // The font of the dialog: 9 point ＭＳ Ｐゴシック.
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
            LOGFONTW lf{};
            ASSERT_TRUE(font && GetObjectW(font, sizeof lf, &lf));
            EXPECT_EQ(Narrow(lf.lfFaceName), "ＭＳ Ｐゴシック");
            HDC dc = GetDC(dlg);
            EXPECT_EQ(MulDiv(-lf.lfHeight, 72, GetDeviceCaps(dc, LOGPIXELSY)), 9) << "height " << lf.lfHeight;
            ReleaseDC(dlg, dc);
        };
        EXPECT_EQ(probe.DoModal(), IDCANCEL);
        EXPECT_TRUE(looked) << "the dialog never came up";
    }
}

// ----- Asking for the password -----

using AskDialog = Scripted<PasswordDialog>;

TEST(PasswordDialogTest, OkReturnsTheTextExactly)
{
    const char* texts[] = {"secret", "", " Mixed Case ", "ﾊﾟｽﾜｰﾄﾞ 秘密"};
    for (const char* text : texts) {
        AskDialog dlg;
        dlg.m_strPassword = "stale";
        int focus = 0;
        dlg.steps = {{10, [&](HWND h) {
                          focus = FocusId(h);
                          SetItemText(h, IDC_PASSWORD, text);
                          ClickOk(h);
                      }}};
        EXPECT_EQ(dlg.DoModal(), IDOK) << text;
        EXPECT_EQ(dlg.m_strPassword, text);
        EXPECT_EQ(focus, IDC_PASSWORD) << "the password box should have the focus when the dialog opens";
    }
}

TEST(PasswordDialogTest, CancelWays)
{
    const struct {
        const char* how;
        std::function<void(HWND)> act;
    } cases[] = {
        {"Escape", [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        AskDialog dlg;
        dlg.steps = {{10, [&](HWND h) {
                          SetItemText(h, IDC_PASSWORD, "typed");
                          c.act(h);
                      }}};
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.how;
        EXPECT_EQ(dlg.m_strPassword, "") << c.how;
    }
}

TEST(PasswordDialogTest, IdleLimitCancelsAndTypingRestartsIt)
{
    // Left alone, it gives up by itself.
    {
        AskDialog dlg;
        dlg.SetIdleLimit(300);
        const DWORD start = GetTickCount();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        const DWORD took = GetTickCount() - start;
        EXPECT_GE(took, 250u) << "ended before its idle limit";
        EXPECT_LT(took, 5000u) << "did not end after its idle limit";
    }
    // A change of the text gives it the full limit again: still open after
    // the first limit has passed, and cancelled only after the second.
    {
        AskDialog dlg;
        dlg.SetIdleLimit(1000);
        bool openAfterFirstLimit = false;
        bool openStill = false;
        dlg.steps = {
            {600, [&](HWND h) { SetItemText(h, IDC_PASSWORD, "a"); }},
            {1300, [&](HWND h) { openAfterFirstLimit = IsWindowVisible(h) != FALSE; }},
            {1450, [&](HWND h) { openStill = IsWindowVisible(h) != FALSE; }},
        };
        const DWORD start = GetTickCount();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(openAfterFirstLimit) << "the change of text did not restart the idle limit";
        EXPECT_TRUE(openStill);
        EXPECT_GE(GetTickCount() - start, 1500u);
        EXPECT_EQ(dlg.m_strPassword, "") << "a time-out must not return the text";
    }
}

// ----- Changing the password -----

const wchar_t kSandbox[] = L"Software\\VelomaSS tests\\password";
const wchar_t kSystemPath[] = L"Software\\Tamsk soft\\VelomaSS\\System";
const char kMismatch[] =
    "新しいﾊﾟｽﾜｰﾄﾞと再入力したﾊﾟｽﾜｰﾄﾞが一致しません。もう一度新しいﾊﾟｽﾜｰﾄﾞを確認してから入力して下さい。";

using ChangeDialog = Scripted<PasswordChangeDialog>;

class PasswordChangeTest : public ::testing::Test {
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

    // "<none>" when the value does not exist.
    std::string Stored()
    {
        RegKey key = RegKey::Open(m_root.Get(), kSystemPath, KEY_READ);
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!key || !key.QueryValue(L"PassWord", type, data))
            return "<none>";
        if (type != REG_SZ)
            return "<type " + std::to_string(type) + ">";
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        if (text.empty() || text.back() != L'\0')
            return "<no terminator>";
        text.pop_back();
        return Narrow(text);
    }
    void Store(const std::string& text)
    {
        RegKey key = RegKey::Create(m_root.Get(), kSystemPath, KEY_WRITE);
        ASSERT_TRUE(key.SetString(L"PassWord", Widen(text)));
    }

    RegKey m_root;
    std::unique_ptr<WinRegistry> m_registry;
};

// Message boxes of this thread with the given caption.
HWND FindMessageBox()
{
    HWND box = FindWindowW(L"#32770", L"Veloma SS");
    DWORD pid = 0;
    if (box)
        GetWindowThreadProcessId(box, &pid);
    return pid == GetCurrentProcessId() ? box : nullptr;
}

TEST_F(PasswordChangeTest, StoresExactlyWhatTheBoxesSay)
{
    const struct {
        const char* text;
        const char* before;
    } cases[] = {
        {"abc", "<none>"},
        {"New Pass 1", "old"},
        {"ﾊﾟｽﾜｰﾄﾞ 秘密", "old"},
        {" spaced ", "old"},
        {"", "old"},  // both empty removes the password
    };
    for (const auto& c : cases) {
        RegDeleteTreeW(m_root.Get(), L"Software");
        if (std::string(c.before) != "<none>")
            Store(c.before);
        ChangeDialog dlg(nullptr, m_registry.get());
        int focus = 0;
        dlg.steps = {{10, [&](HWND h) {
                          focus = FocusId(h);
                          SetItemText(h, IDC_PASSWORD, c.text);
                          SetItemText(h, IDC_PASSWORD_CONFIRM, c.text);
                          ClickOk(h);
                      }}};
        EXPECT_EQ(dlg.DoModal(), IDOK) << c.text;
        EXPECT_EQ(Stored(), c.text);
        EXPECT_EQ(focus, IDC_PASSWORD) << "the new-password box should have the focus at first";
        EXPECT_EQ(FindMessageBox(), nullptr);
    }
}

TEST_F(PasswordChangeTest, CancelStoresNothing)
{
    const struct {
        const char* how;
        std::function<void(HWND)> act;
    } cases[] = {
        {"Cancel button",
         [](HWND h) {
             SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(h, IDCANCEL)));
         }},
        {"Escape", [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        Store("old");
        ChangeDialog dlg(nullptr, m_registry.get());
        dlg.steps = {{10, [&](HWND h) {
                          SetItemText(h, IDC_PASSWORD, "new");
                          SetItemText(h, IDC_PASSWORD_CONFIRM, "new");
                          c.act(h);
                      }}};
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.how;
        EXPECT_EQ(Stored(), "old") << c.how;
    }
}

TEST_F(PasswordChangeTest, EmptyConfirmationMovesTheFocusOnly)
{
    Store("old");
    ChangeDialog dlg(nullptr, m_registry.get());
    int focusAfter = 0;
    bool boxShown = true;
    std::string storedMeanwhile;
    dlg.steps = {
        {10,
         [&](HWND h) {
             SetItemText(h, IDC_PASSWORD, "new");
             ClickOk(h);
         }},
        {300,
         [&](HWND h) {
             focusAfter = FocusId(h);
             boxShown = FindMessageBox() != nullptr;
             storedMeanwhile = Stored();
             SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
         }},
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(focusAfter, IDC_PASSWORD_CONFIRM);
    EXPECT_FALSE(boxShown) << "no message for a missing confirmation";
    EXPECT_EQ(storedMeanwhile, "old");
    EXPECT_EQ(Stored(), "old");
}

TEST_F(PasswordChangeTest, EnterMovesOnLikeTab)
{
    Store("old");
    ChangeDialog dlg(nullptr, m_registry.get());
    std::vector<int> focus;
    dlg.steps = {
        {10,
         [&](HWND h) {
             SetItemText(h, IDC_PASSWORD, "same");
             SetItemText(h, IDC_PASSWORD_CONFIRM, "same");
             SetFocus(GetDlgItem(h, IDC_PASSWORD));
             PressEnter(h);
         }},
        {200,
         [&](HWND h) {
             focus.push_back(FocusId(h));
             PressEnter(h);
         }},
        {400,
         [&](HWND h) {
             focus.push_back(FocusId(h));
             if (Stored() != "old")
                 focus.push_back(-1);
             PressEnter(h);  // now on OK: this one stores
         }},
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(focus.size(), 2u) << "Enter in a text box stored the password";
    EXPECT_EQ(focus[0], IDC_PASSWORD_CONFIRM) << "Enter in the new-password box";
    EXPECT_EQ(focus[1], IDOK) << "Enter in the confirmation box";
    EXPECT_EQ(Stored(), "same");
}

TEST_F(PasswordChangeTest, MismatchShowsTheMessageAndKeepsTheDialog)
{
    const struct {
        const char* first;
        const char* second;
    } cases[] = {
        {"abc", "ABC"},
        {"", "abc"},
        {"abc", "abd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        Store("old");
        ChangeDialog dlg(nullptr, m_registry.get());
        std::string boxText;
        HWND boxOwner = nullptr;
        int focusAfter = 0;
        bool hasOk = false, hasCancel = true, hasIcon = false;
        std::string first, second;
        dlg.steps = {
            {10,
             [&](HWND h) {
                 SetItemText(h, IDC_PASSWORD, c.first);
                 SetItemText(h, IDC_PASSWORD_CONFIRM, c.second);
                 ClickOk(h);  // returns once the message box is gone
                 focusAfter = FocusId(h);
                 first = ItemText(h, IDC_PASSWORD);
                 second = ItemText(h, IDC_PASSWORD_CONFIRM);
                 SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
             }},
            {300,  // fires inside the message box's loop
             [&](HWND) {
                 HWND box = FindMessageBox();
                 if (!box)
                     return;
                 boxText = ItemText(box, 0xFFFF);
                 boxOwner = GetWindow(box, GW_OWNER);
                 hasOk = GetDlgItem(box, IDOK) != nullptr;
                 hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
                 // The icon's static: 0x14 on Windows, stc1 under Wine.
                 for (int id : {0x14, 0x440}) {
                     HWND icon = GetDlgItem(box, id);
                     if (icon && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0))
                         hasIcon = true;
                 }
                 PostMessageW(box, WM_COMMAND, IDOK, 0);
             }},
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(boxText, kMismatch);
        EXPECT_EQ(boxOwner, dlg.seen) << "the message box belongs to the dialog";
        EXPECT_TRUE(hasOk);
        EXPECT_FALSE(hasCancel) << "an OK button only";
        EXPECT_FALSE(hasIcon) << "no icon";
        EXPECT_EQ(focusAfter, IDC_PASSWORD);
        EXPECT_EQ(first, c.first) << "the boxes keep their text";
        EXPECT_EQ(second, c.second);
        EXPECT_EQ(Stored(), "old");
    }
}

// A registry whose keys never open.
class LockedRegistry : public RegistryRoot {
public:
    int attempts = 0;
    std::unique_ptr<RegistryKey> CreateKey(const std::string&, RegAccess) override
    {
        ++attempts;
        return nullptr;
    }
    std::unique_ptr<RegistryKey> OpenKey(const std::string&, RegAccess) override
    {
        ++attempts;
        return nullptr;
    }
};

TEST(PasswordChangeLockedTest, UnwritableKeyStillEndsWithOk)
{
    LockedRegistry registry;
    ChangeDialog dlg(nullptr, &registry);
    dlg.steps = {{10, [&](HWND h) {
                      SetItemText(h, IDC_PASSWORD, "x");
                      SetItemText(h, IDC_PASSWORD_CONFIRM, "x");
                      ClickOk(h);
                  }}};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(registry.attempts, 1) << "the store was not even tried";
    EXPECT_EQ(FindMessageBox(), nullptr);
}

}  // namespace
