#include "platform/App.h"
#include "platform/Dialog.h"
#include "platform/Window.h"
#include "win/ModalScript.h"
#include "win/TestResources.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

namespace {

class ExchangeDialog : public Dialog {
public:
    explicit ExchangeDialog(HWND parent = nullptr, UINT id = IDD_TEST_EXCHANGE) : Dialog(id, parent) {}

    std::string m_text;
    int m_check = 0;
    int m_pos = 0;
    ScrollBar m_bar;
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
        return Dialog::OnInitDialog();
    }
};

// The edits a user makes before closing the dialog.
void Edit(HWND h, const char* text)
{
    SetDlgItemTextW(h, IDC_TEST_TEXT, Widen(text).c_str());
    SendDlgItemMessageW(h, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
}

// A round trip of every exchange, with a second dialog run from inside the
// first: each keeps its own state.
TEST(DialogTest, ExchangeRoundTripAndNesting)
{
    ExchangeDialog dlg, inner;
    dlg.m_text = "コマ piece ✓";
    dlg.m_check = 1;
    dlg.m_pos = 137;
    inner.m_text = "inner";
    INT_PTR innerResult = 0;
    const INT_PTR result = RunModal(dlg, [&](HWND h) {
        EXPECT_EQ(ItemText(h, IDC_TEST_TEXT), "コマ piece ✓");
        EXPECT_TRUE(Checked(h, IDC_TEST_CHECK));
        EXPECT_EQ(dlg.m_bar.GetScrollPos(), 137) << "the bar bound by Control did not get the field's position";
        innerResult = RunModal(inner, [](HWND i) {
            Edit(i, "inner edited");
            ClickItem(i, IDOK);
        });
        Edit(h, "新しい名前.bmp");
        dlg.m_bar.SetScrollPos(12);
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_text, "新しい名前.bmp");
    EXPECT_EQ(dlg.m_check, 0);
    EXPECT_EQ(dlg.m_pos, 12);
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(inner.m_text, "inner edited");
}

TEST(DialogTest, CancelCloseAndMissingControlsLeaveTheFields)
{
    class Sparse : public ExchangeDialog {
        void DoDataExchange(DataExchange& dx) override
        {
            dx.Text(4711, m_text);
            dx.Check(4712, m_check);
            dx.Scroll(4713, m_pos);
        }
    };
    const struct {
        const char* how;
        bool sparse;
        void (*act)(HWND);
        INT_PTR want;
    } cases[] = {
        {"Cancel button", false, [](HWND h) { ClickItem(h, IDCANCEL); }, IDCANCEL},
        {"Escape", false, [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
        {"close box", false, [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"OK without the controls", true, [](HWND h) { ClickItem(h, IDOK); }, IDOK},
    };
    for (const auto& c : cases) {
        ExchangeDialog plain;
        Sparse sparse;
        ExchangeDialog& dlg = c.sparse ? sparse : plain;
        dlg.m_text = "old";
        dlg.m_check = 1;
        dlg.m_pos = 9;
        const INT_PTR result = RunModal(dlg, [&](HWND h) {
            Edit(h, "changed");
            c.act(h);
        });
        EXPECT_EQ(result, c.want) << c.how;
        EXPECT_EQ(dlg.m_text, "old") << c.how;
        EXPECT_EQ(dlg.m_check, 1) << c.how;
        EXPECT_EQ(dlg.m_pos, 9) << c.how;
    }

    ExchangeDialog missing(nullptr, 9999);
    EXPECT_EQ(missing.DoModal(), -1) << "no such template";
    EXPECT_EQ(missing.initCalls, 0);
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

HWND OwnerWhileRunning(ExchangeDialog& dlg, BOOL* mainEnabled = nullptr, HWND main = nullptr)
{
    HWND owner = reinterpret_cast<HWND>(1);
    RunModal(dlg, [&](HWND h) {
        owner = GetWindow(h, GW_OWNER);
        if (mainEnabled)
            *mainEnabled = IsWindowEnabled(main);
        dlg.EndDialog(IDOK);
    });
    return owner;
}

TEST(DialogTest, OwnerIsTheParentOrTheMainWindow)
{
    OwnerApp app;
    PlainWindow main, parent;
    ASSERT_TRUE(main.Create() && parent.Create());
    app.SetMainWindow(&main);

    ExchangeDialog dlg;
    BOOL enabled = TRUE;
    EXPECT_EQ(OwnerWhileRunning(dlg, &enabled, main.Handle()), main.Handle());
    EXPECT_FALSE(enabled) << "the owner stayed enabled while the dialog ran";
    EXPECT_TRUE(IsWindowEnabled(main.Handle())) << "the owner stayed disabled afterwards";

    ExchangeDialog child(parent.Handle());
    EXPECT_EQ(OwnerWhileRunning(child), parent.Handle()) << "a parent given explicitly wins";
    main.DestroyWindow();
    parent.DestroyWindow();
    TakeQuitMessage();

    // A dialog that is itself the main window has no owner and ends no loop.
    ExchangeDialog alone;
    app.SetMainWindow(&alone);
    EXPECT_EQ(OwnerWhileRunning(alone), nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr) << "the main-window pointer outlived the dialog";
    EXPECT_FALSE(TakeQuitMessage()) << "a modal dialog ended the application's loop";
}

TEST(DialogTest, ToolTipsAskForTheStringWithTheControlId)
{
    ExchangeDialog dlg;
    dlg.EnableToolTips();  // before the window exists, as a constructor would
    RunModal(dlg, [&](HWND h) {
        int children = 0;
        for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            ++children;
        EXPECT_EQ(SendMessageW(dlg.ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), children)
            << "every child control should be a tool";
        EXPECT_EQ(ToolTipAnswer(h, IDC_TEST_TEXT), "テキスト欄");
        EXPECT_EQ(ToolTipAnswer(h, IDC_TEST_CHECK), "チェック");
        EXPECT_EQ(ToolTipAnswer(h, IDC_TEST_NOTIP), "") << "no string: handled, empty";

        // A window with id 0 (a popup has none) is left alone.
        HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, h, nullptr, nullptr, nullptr);
        std::wstring text;
        EXPECT_FALSE(dlg.GetToolTipText(popup, text));
        ::DestroyWindow(popup);
        dlg.EndDialog(IDCANCEL);
    });
}

}  // namespace
