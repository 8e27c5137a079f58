#include "platform/App.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "win/TestResources.h"
#include "win/WinTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr UINT kRunScript = WM_APP + 20;

// The test dialog: its fields, and a script that runs inside the modal
// loop once the dialog is up, as a user would act on it.
class ExchangeDialog : public Dialog {
public:
    explicit ExchangeDialog(HWND parent = nullptr, UINT id = IDD_TEST_EXCHANGE) : Dialog(id, parent) {}

    std::string m_text;
    int m_check = 0;
    int m_pos = 0;
    ScrollBar m_bar;
    std::function<void(ExchangeDialog&)> script;
    int initCalls = 0;

    using Dialog::GetToolTipText;

protected:
    void DoDataExchange(DataExchange& dx) override
    {
        dx.Control(IDC_TEST_BAR, m_bar);
        dx.Text(IDC_TEST_TEXT, m_text);
        dx.Check(IDC_TEST_CHECK, m_check);
        dx.Scroll(IDC_TEST_BAR, m_pos);
    }

    BOOL OnInitDialog() override
    {
        ++initCalls;
        // The range first, so that the exchange can place the thumb.
        SetScrollRange(GetDlgItem(IDC_TEST_BAR), SB_CTL, 0, 200, FALSE);
        const BOOL result = Dialog::OnInitDialog();
        PostMessageW(Handle(), kRunScript, 0, 0);
        return result;
    }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kRunScript) {
            if (script)
                script(*this);
            else
                EndDialog(IDCANCEL);
            return 0;
        }
        return Dialog::WindowProc(msg, wParam, lParam);
    }
};

std::string ItemText(HWND dialog, int id)
{
    wchar_t buffer[256] = {};
    GetDlgItemTextW(dialog, id, buffer, 256);
    return Narrow(buffer);
}

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(DialogTest, ExchangeRoundTrip)
{
    ExchangeDialog dlg;
    dlg.m_text = "コマ piece ✓";
    dlg.m_check = 1;
    dlg.m_pos = 137;

    std::string shownText;
    LRESULT shownCheck = -1;
    int shownPos = -1;
    dlg.script = [&](ExchangeDialog& d) {
        HWND h = d.Handle();
        shownText = ItemText(h, IDC_TEST_TEXT);
        shownCheck = SendDlgItemMessageW(h, IDC_TEST_CHECK, BM_GETCHECK, 0, 0);
        shownPos = d.m_bar.GetScrollPos();
        // The user edits every control, then presses OK.
        SetDlgItemTextW(h, IDC_TEST_TEXT, Widen("新しい名前.bmp").c_str());
        SendDlgItemMessageW(h, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
        d.m_bar.SetScrollPos(12);
        Click(h, IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shownText, "コマ piece ✓");
    EXPECT_EQ(shownCheck, BST_CHECKED);
    EXPECT_EQ(shownPos, 137) << "the bar bound by Control did not get the field's position";
    EXPECT_EQ(dlg.m_text, "新しい名前.bmp");
    EXPECT_EQ(dlg.m_check, 0);
    EXPECT_EQ(dlg.m_pos, 12);
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(dlg.Handle(), nullptr);
}

TEST(DialogTest, CancelAndCloseLeaveTheFields)
{
    const struct {
        const char* how;
        std::function<void(HWND)> act;
    } cases[] = {
        {"Cancel button", [](HWND h) { Click(h, IDCANCEL); }},
        {"Escape", [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }},
        {"close box", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        ExchangeDialog dlg;
        dlg.m_text = "old";
        dlg.m_check = 1;
        dlg.script = [&](ExchangeDialog& d) {
            SetDlgItemTextW(d.Handle(), IDC_TEST_TEXT, L"changed");
            SendDlgItemMessageW(d.Handle(), IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
            c.act(d.Handle());
        };
        const DWORD start = GetTickCount();
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(result, IDCANCEL) << c.how;
        EXPECT_EQ(dlg.m_text, "old") << c.how;
        EXPECT_EQ(dlg.m_check, 1) << c.how;
        EXPECT_LT(GetTickCount() - start, 10000u) << c.how;
    }
}

TEST(DialogTest, MissingTemplateFailsCleanly)
{
    ExchangeDialog dlg(nullptr, 9999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.initCalls, 0);
}

class OwnerApp : public App {
public:
    bool InitInstance() override { return false; }
};

class PlainWindow : public Window {
public:
    bool Create()
    {
        return CreateEx(0, RegisterWindowClass(0, nullptr, nullptr, nullptr), L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                        100, nullptr, 0);
    }
};

TEST(DialogTest, WithoutParentTheMainWindowOwnsItAndIsDisabled)
{
    OwnerApp app;
    PlainWindow main;
    ASSERT_TRUE(main.Create());
    app.SetMainWindow(&main);

    HWND owner = nullptr;
    BOOL ownerEnabled = TRUE;
    ExchangeDialog dlg;
    dlg.script = [&](ExchangeDialog& d) {
        owner = GetWindow(d.Handle(), GW_OWNER);
        ownerEnabled = IsWindowEnabled(main.Handle());
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(owner, main.Handle());
    EXPECT_FALSE(ownerEnabled) << "the owner stayed enabled while the dialog ran";
    EXPECT_TRUE(IsWindowEnabled(main.Handle())) << "the owner stayed disabled afterwards";

    // A parent given explicitly wins.
    PlainWindow parent;
    ASSERT_TRUE(parent.Create());
    ExchangeDialog child(parent.Handle());
    child.script = [&](ExchangeDialog& d) {
        owner = GetWindow(d.Handle(), GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(child.DoModal(), IDOK);
    EXPECT_EQ(owner, parent.Handle());
    main.DestroyWindow();
    TakeQuitMessage();
}

TEST(DialogTest, DialogAsMainWindowHasNoOwnerAndPostsNoQuit)
{
    OwnerApp app;
    TakeQuitMessage();
    ExchangeDialog dlg;
    app.SetMainWindow(&dlg);
    HWND owner = reinterpret_cast<HWND>(1);
    dlg.script = [&](ExchangeDialog& d) {
        owner = GetWindow(d.Handle(), GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr) << "the main-window pointer outlived the dialog";
    EXPECT_FALSE(TakeQuitMessage()) << "a modal dialog ended the application's loop";
}

TEST(DialogTest, NestedDialogsKeepTheirOwnState)
{
    ExchangeDialog outer;
    outer.m_text = "outer";
    ExchangeDialog inner;
    inner.m_text = "inner";
    INT_PTR innerResult = 0;
    outer.script = [&](ExchangeDialog& d) {
        inner.script = [](ExchangeDialog& i) {
            SetDlgItemTextW(i.Handle(), IDC_TEST_TEXT, L"inner edited");
            Click(i.Handle(), IDOK);
        };
        innerResult = inner.DoModal();
        SetDlgItemTextW(d.Handle(), IDC_TEST_TEXT, L"outer edited");
        Click(d.Handle(), IDOK);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(inner.m_text, "inner edited");
    EXPECT_EQ(outer.m_text, "outer edited");
}

TEST(DialogTest, ToolTipsAskTheDialogForTheStringWithTheControlId)
{
    ExchangeDialog dlg;
    dlg.EnableToolTips();  // before the window exists, as a constructor would

    struct Ask {
        int id;
        bool handled;
        std::string text;
    };
    std::vector<Ask> got;
    LRESULT toolCount = -1;
    int children = 0;
    dlg.script = [&](ExchangeDialog& d) {
        HWND tip = d.ToolTipWindow();
        if (tip)
            toolCount = SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
        for (HWND c = GetWindow(d.Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            ++children;
        for (int id : {IDC_TEST_TEXT, IDC_TEST_CHECK, IDC_TEST_NOTIP}) {
            HWND control = nullptr;
            for (HWND c = GetWindow(d.Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (GetDlgCtrlID(c) == id)
                    control = c;
            NMTTDISPINFOW info{};
            info.hdr.hwndFrom = tip;
            info.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
            info.hdr.code = TTN_GETDISPINFOW;
            info.uFlags = TTF_IDISHWND;
            const LRESULT handled = SendMessageW(d.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
            got.push_back({id, handled != 0, info.lpszText ? Narrow(info.lpszText) : std::string()});
        }
        d.EndDialog(IDCANCEL);
    };
    dlg.DoModal();
    EXPECT_EQ(toolCount, children) << "every child control should be a tool";

    const Ask want[] = {
        {IDC_TEST_TEXT, true, "テキスト欄"},
        {IDC_TEST_CHECK, true, "チェック"},
        {IDC_TEST_NOTIP, true, ""},  // no string: handled, empty
    };
    ASSERT_EQ(got.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].handled, want[i].handled) << "control " << want[i].id;
        EXPECT_EQ(got[i].text, want[i].text) << "control " << want[i].id;
    }
}

TEST(DialogTest, ToolTipTextForControlIdZeroIsNotHandled)
{
    ExchangeDialog dlg;
    bool handled = true;
    dlg.script = [&](ExchangeDialog& d) {
        // A window with id 0: a popup has none.
        HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, d.Handle(), nullptr, nullptr, nullptr);
        std::wstring text;
        handled = d.GetToolTipText(popup, text);
        ::DestroyWindow(popup);
        d.EndDialog(IDCANCEL);
    };
    dlg.DoModal();
    EXPECT_FALSE(handled);
}

TEST(DialogTest, ExchangeWithMissingControlsLeavesFields)
{
    class Sparse : public ExchangeDialog {
    protected:
        void DoDataExchange(DataExchange& dx) override
        {
            dx.Text(4711, m_text);
            dx.Check(4712, m_check);
            dx.Scroll(4713, m_pos);
        }
    } dlg;
    dlg.m_text = "kept";
    dlg.m_check = 1;
    dlg.m_pos = 9;
    dlg.script = [](ExchangeDialog& d) { Click(d.Handle(), IDOK); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_text, "kept");
    EXPECT_EQ(dlg.m_check, 1);
    EXPECT_EQ(dlg.m_pos, 9);
}

}  // namespace
