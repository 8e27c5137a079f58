#include "platform/Dialog.h"
#include "win/ModalScript.h"
#include "win/TestResources.h"

#include <gtest/gtest.h>

namespace {

class TestDialog : public ModalDialog {
public:
    explicit TestDialog(UINT templateId = IDD_TEST_DIALOG) : ModalDialog(templateId) {}
    using ModalDialog::Run;
    int inits = 0;

private:
    bool Init() override { return ++inits, true; }
};

TEST(DialogTest, RunsModallyOverItsOwnerAndLetsGoAtTheEnd)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    // A child given as owner: its top-level window owns the dialog.
    TestDialog dlg;
    HWND shownOwner = nullptr;
    bool ownerEnabled = true, bound = false;
    EXPECT_EQ(RunModal([&] { return dlg.Run(child); }, [&](HWND h) {
                  shownOwner = GetWindow(h, GW_OWNER);
                  ownerEnabled = IsWindowEnabled(owner) != FALSE;
                  bound = ModalDialog::Bound(h) == &dlg && !ModalDialog::Bound(owner) && !ModalDialog::Bound(nullptr);
                  ClickItem(h, IDOK);
              }),
              IDOK);
    EXPECT_EQ(shownOwner, owner);
    EXPECT_FALSE(ownerEnabled) << "the owner took input while the dialog ran";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner stayed disabled afterwards";
    EXPECT_TRUE(bound) << "the open dialog is not found as ours, or another window is";
    EXPECT_EQ(dlg.Handle(), nullptr) << "the object still names the closed dialog";
    DestroyWindow(owner);

    // Escape cancels; the same object opens again.
    EXPECT_EQ(RunModal([&] { return dlg.Run(nullptr); }, [](HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }),
              IDCANCEL);
    EXPECT_EQ(dlg.inits, 2);

    TestDialog missing(9999);
    EXPECT_EQ(missing.Run(nullptr), -1) << "no such template";
    EXPECT_EQ(missing.inits, 0);
}

}  // namespace
