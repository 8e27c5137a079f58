#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "settings/win/PasswordChangeDialog.h"
#include "saver/win/PasswordDialog.h"
#include "platform/Registry.h"
#include "settings/SettingsStore.h"
#include "win/ModalScript.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Pasted as a user would, so the box's limit applies.
void SetItemText(HWND dialog, int id, const std::string& text)
{
    SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1);
    SendDlgItemMessageW(dialog, id, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}
// Half-width katakana, three bytes each in UTF-8: the longest text a box takes, and one more.
const std::string kWhole = [] { std::string t; for (int i = 0; i < 32767; ++i) t += "\xEF\xBD\xB1"; return t; }();
const std::string kTooLong = kWhole + "x";
int FocusId() { return GetFocus() ? GetDlgCtrlID(GetFocus()) : 0; }

using Act = void (*)(HWND);
void ClickOk(HWND h)
{
    SetFocus(GetDlgItem(h, IDOK));  // as a click gives it the focus first
    ClickItem(h, IDOK);
}
void Escape(HWND h) { SendMessageW(h, WM_COMMAND, IDCANCEL, 0); }
void CloseBox(HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST(PasswordDialogTest, OkReturnsTheTextExactlyAndCancelNothing)
{
    const struct { std::string text; Act act; INT_PTR want; std::string password; } cases[] = {
        {"", ClickOk, IDOK, ""}, {" ﾊﾟｽﾜｰﾄﾞ 秘密 ", ClickOk, IDOK, " ﾊﾟｽﾜｰﾄﾞ 秘密 "}, {kTooLong, ClickOk, IDOK, kWhole},
        {"typed", Escape, IDCANCEL, "before"}, {"typed", CloseBox, IDCANCEL, "before"},
    };
    for (const auto& c : cases) {
        PasswordDialog dlg;
        dlg.m_strPassword = "before";
        int focus = 0;
        EXPECT_EQ(RunModal(dlg, [&](HWND h) {
                      focus = FocusId();
                      SetItemText(h, IDC_PASSWORD, c.text);
                      c.act(h);
                  }),
                  c.want)
            << c.text.substr(0, 40);
        EXPECT_TRUE(dlg.m_strPassword == c.password) << c.text.substr(0, 40) << ": " << dlg.m_strPassword.size() << " bytes";
        EXPECT_EQ(focus, IDC_PASSWORD) << "the password box should have the focus when the dialog opens";
    }
}

// Left alone it gives up as cancelled; a change of the text gives it the
// full limit again.
TEST(PasswordDialogTest, IdleLimitCancelsAndTypingRestartsIt)
{
    PasswordDialog dlg;
    dlg.SetIdleLimit(500);
    bool openAfterFirstLimit = false;
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunModal(dlg, [&](HWND h) {
                  Later([h] { SetItemText(h, IDC_PASSWORD, "a"); }, 300);
                  Later([&] { openAfterFirstLimit = true; }, 650);
              }),
              IDCANCEL);
    const DWORD took = GetTickCount() - start;
    EXPECT_TRUE(openAfterFirstLimit) << "the change of text did not restart the idle limit";
    EXPECT_GE(took, 750u) << "ended before its idle limit";
    EXPECT_LT(took, 1500u) << "did not end after its idle limit";
    EXPECT_EQ(dlg.m_strPassword, "") << "a time-out must not return the text";
}

// ----- Changing the password, in the saver's own key -----

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";

std::string Stored()
{
    auto key = WinRegistry().OpenKey("Software\\Tamsk soft\\VelomaSS\\System", RegAccess::Read);
    std::string text;
    const RegValueType type = key ? key->QueryText("PassWord", text) : RegValueType::Missing;
    return type == RegValueType::Text ? text : type == RegValueType::Missing ? "<none>" : "<not text>";
}

// Answers the next message box of this thread with OK, noting what it showed.
struct MessageBoxSeen {
    std::string text = "<no message>";
    HWND owner = nullptr;
};
void WatchMessageBox(MessageBoxSeen& seen)
{
    Later([&seen] {
        const std::vector<HWND> boxes = ThreadWindows(L"Veloma SS");
        if (boxes.empty())
            return WatchMessageBox(seen);
        seen = {ItemText(boxes[0], 0xFFFF), GetWindow(boxes[0], GW_OWNER)};
        PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    });
}

// A registry whose keys never open.
class LockedRegistry : public RegistryRoot {
public:
    int attempts = 0;
    std::unique_ptr<RegistryKey> CreateKey(const std::string&, RegAccess) override { return ++attempts, nullptr; }
    std::unique_ptr<RegistryKey> OpenKey(const std::string&, RegAccess) override { return ++attempts, nullptr; }
};

TEST(PasswordChangeTest, StoresExactlyWhatTheBoxesSayAndNothingElse)
{
    const char kMismatch[] =
        "新しいﾊﾟｽﾜｰﾄﾞと再入力したﾊﾟｽﾜｰﾄﾞが一致しません。もう一度新しいﾊﾟｽﾜｰﾄﾞを確認してから入力して下さい。";
    const Act cancelButton = [](HWND h) { ClickItem(h, IDCANCEL); };
    // focusAfter: the dialog stays open with the focus there.
    const struct {
        const char* before;
        std::string first, second;
        Act act;
        INT_PTR want;
        std::string stored;
        const char* box;
        int focusAfter;
        bool locked;
    } cases[] = {
        {nullptr, "abc", "abc", ClickOk, IDOK, "abc", nullptr, 0, false},
        {"old", "ﾊﾟｽﾜｰﾄﾞ 秘密", "ﾊﾟｽﾜｰﾄﾞ 秘密", ClickOk, IDOK, "ﾊﾟｽﾜｰﾄﾞ 秘密", nullptr, 0, false},
        {"old", "", "", ClickOk, IDOK, "", nullptr, 0, false},  // removes the password
        {"old", "new", "new", cancelButton, IDCANCEL, "old", nullptr, 0, false},
        {"old", "new", "new", CloseBox, IDCANCEL, "old", nullptr, 0, false},
        {"old", "new", "", ClickOk, IDCANCEL, "old", nullptr, IDC_PASSWORD_CONFIRM, false},
        {"old", "", "abc", ClickOk, IDCANCEL, "old", kMismatch, IDC_PASSWORD, false},
        {"old", "x", "x", ClickOk, IDOK, "old", nullptr, 0, true},  // an unwritable key is no reason for a message
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.first.substr(0, 40) + "' / '" + c.second.substr(0, 40) + "', case " + std::to_string(&c - cases));
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        WinRegistry registry;
        if (c.before)
            SavePassword(registry, c.before);
        LockedRegistry locked;
        PasswordChangeDialog dlg(nullptr, c.locked ? &locked : nullptr);
        MessageBoxSeen box;
        HWND shown = nullptr;
        int focusAtStart = 0, focusAfter = 0;
        std::string texts;
        EXPECT_EQ(RunModal(dlg, [&](HWND h) {
                      shown = h;
                      focusAtStart = FocusId();
                      SetItemText(h, IDC_PASSWORD, c.first);
                      SetItemText(h, IDC_PASSWORD_CONFIRM, c.second);
                      WatchMessageBox(box);
                      c.act(h);  // returns once any message box is gone
                      if (!c.focusAfter)
                          return;
                      focusAfter = FocusId();
                      texts = ItemText(h, IDC_PASSWORD) + " / " + ItemText(h, IDC_PASSWORD_CONFIRM);
                      Escape(h);
                  }),
                  c.want);
        EXPECT_TRUE(Stored() == c.stored) << Stored().size() << " bytes stored";
        EXPECT_EQ(focusAtStart, IDC_PASSWORD) << "the new-password box should have the focus at first";
        EXPECT_EQ(box.text, c.box ? c.box : "<no message>");
        EXPECT_EQ(locked.attempts, c.locked ? 1 : 0) << "the store was not tried once";
        if (c.box)
            EXPECT_EQ(box.owner, shown) << "the message box belongs to the dialog";
        if (c.focusAfter) {
            EXPECT_EQ(focusAfter, c.focusAfter);
            EXPECT_EQ(texts, std::string(c.first) + " / " + c.second) << "the boxes keep their text";
        }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
}

}  // namespace
