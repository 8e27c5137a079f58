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
    explicit ExchangeDialog(UINT id = IDD_TEST_EXCHANGE) : Dialog(id) {}

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

void Edit(HWND h, const char* text)
{
    SetDlgItemTextW(h, IDC_TEST_TEXT, Widen(text).c_str());
    SendDlgItemMessageW(h, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
}

TEST(DialogTest, ExchangeRoundTrip)
{
    ExchangeDialog dlg;
    dlg.m_text = "コマ piece ✓";
    dlg.m_check = 1;
    dlg.m_pos = 137;
    const INT_PTR result = RunModal(dlg, [&](HWND h) {
        EXPECT_EQ(ItemText(h, IDC_TEST_TEXT), "コマ piece ✓");
        EXPECT_TRUE(Checked(h, IDC_TEST_CHECK));
        EXPECT_EQ(dlg.m_bar.GetScrollPos(), 137) << "the bar bound by Control did not get the field's position";
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
}

TEST(DialogTest, CancelAndMissingControlsLeaveTheFields)
{
    class Sparse : public ExchangeDialog {
        void DoDataExchange(DataExchange& dx) override
        {
            dx.Text(4711, m_text);
            dx.Check(4712, m_check);
            dx.Scroll(4713, m_pos);
        }
    };
    ExchangeDialog plain;
    Sparse sparse;
    const struct {
        const char* how;
        ExchangeDialog* dlg;
        int command;
    } cases[] = {{"Escape", &plain, IDCANCEL}, {"OK without the controls", &sparse, IDOK}};
    for (const auto& c : cases) {
        c.dlg->m_text = "old";
        c.dlg->m_check = 1;
        c.dlg->m_pos = 9;
        const INT_PTR result = RunModal(*c.dlg, [&](HWND h) {
            Edit(h, "changed");
            SendMessageW(h, WM_COMMAND, c.command, 0);
        });
        EXPECT_EQ(result, c.command) << c.how;
        EXPECT_EQ(c.dlg->m_text, "old") << c.how;
        EXPECT_EQ(c.dlg->m_check, 1) << c.how;
        EXPECT_EQ(c.dlg->m_pos, 9) << c.how;
    }
    ExchangeDialog missing(9999);
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

TEST(DialogTest, WithoutParentTheMainWindowOwnsIt)
{
    OwnerApp app;
    PlainWindow main;
    ASSERT_TRUE(main.Create());
    app.SetMainWindow(&main);
    ExchangeDialog dlg;
    RunModal(dlg, [&](HWND h) {
        EXPECT_EQ(GetWindow(h, GW_OWNER), main.Handle());
        EXPECT_FALSE(IsWindowEnabled(main.Handle())) << "the owner stayed enabled while the dialog ran";
        dlg.EndDialog(IDOK);
    });
    EXPECT_TRUE(IsWindowEnabled(main.Handle())) << "the owner stayed disabled afterwards";
    main.DestroyWindow();
    TakeQuitMessage();

    // A dialog that is itself the main window has no owner and ends no loop.
    ExchangeDialog alone;
    app.SetMainWindow(&alone);
    RunModal(alone, [&](HWND h) {
        EXPECT_EQ(GetWindow(h, GW_OWNER), nullptr);
        alone.EndDialog(IDOK);
    });
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
