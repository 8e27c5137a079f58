#include "platform/Dialog.h"
#include "win/ModalScript.h"
#include "win/TestResources.h"

#include <gtest/gtest.h>

namespace {

class TestDialog : public Dialog {
public:
    using Dialog::Dialog;
    int initCalls = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++initCalls;
        return TRUE;
    }
};

TEST(DialogTest, RunsModallyOverItsOwnerAndLetsGoAtTheEnd)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    // A child given as owner: its top-level window owns the dialog.
    TestDialog dlg(IDD_TEST_DIALOG, child);
    HWND shownOwner = nullptr;
    bool ownerEnabled = true;
    const INT_PTR result = RunModal(dlg, [&](HWND h) {
        shownOwner = GetWindow(h, GW_OWNER);
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shownOwner, owner);
    EXPECT_FALSE(ownerEnabled) << "the owner took input while the dialog ran";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner stayed disabled afterwards";
    EXPECT_EQ(dlg.Handle(), nullptr) << "the object still names the closed dialog";
    DestroyWindow(owner);

    // Escape cancels; the same object opens again.
    EXPECT_EQ(RunModal(dlg, [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }), IDCANCEL);
    EXPECT_EQ(dlg.initCalls, 2);

    TestDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1) << "no such template";
    EXPECT_EQ(missing.initCalls, 0);
}

}  // namespace
