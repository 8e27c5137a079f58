// The password question and the change-password dialog, driven from inside
// their modal loops; the change stores into the test prefix's registry.
#include "platform/Registry.h"
#include "platform/Text.h"
#include "res/PasswordDialogs.h"
#include "saver/win/PasswordDialog.h"
#include "settings/SettingsStore.h"
#include "settings/win/PasswordChangeDialog.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

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
    const struct { std::string text; Act act; std::optional<std::string> want; } cases[] = {
        {"", ClickOk, ""}, {" ﾊﾟｽﾜｰﾄﾞ 秘密 ", ClickOk, " ﾊﾟｽﾜｰﾄﾞ 秘密 "}, {kTooLong, ClickOk, kWhole},
        {"typed", Escape, std::nullopt}, {"typed", CloseBox, std::nullopt},
    };
    for (const auto& c : cases) {
        int focus = 0;
        const std::optional<std::string> got = RunModal([] { return AskPassword(nullptr); }, [&](HWND h) {
            focus = FocusId();
            SetItemText(h, IDC_PASSWORD, c.text);
            c.act(h);
        });
        EXPECT_TRUE(got == c.want) << c.text.substr(0, 40) << ": " << (got ? got->size() : 0) << " bytes";
        EXPECT_EQ(focus, IDC_PASSWORD) << "the password box should have the focus when the dialog opens";
    }

    // Left alone it gives up as cancelled; a change of the text gives it the full limit again.
    bool openAfterFirstLimit = false;
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunModal([] { return AskPassword(nullptr, 500); }, [&](HWND h) {
                  Later([h] { SetItemText(h, IDC_PASSWORD, "a"); }, 300);
                  Later([&] { openAfterFirstLimit = true; }, 650);
              }),
              std::nullopt) << "a time-out must not return the text";
    const DWORD took = GetTickCount() - start;
    EXPECT_TRUE(openAfterFirstLimit) << "the change of text did not restart the idle limit";
    EXPECT_GE(took, 750u) << "ended before its idle limit";
    EXPECT_LT(took, 1500u) << "did not end after its idle limit";
}

const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";

std::string Stored()
{
    auto key = WinRegistry().OpenKey("Software\\Tamsk soft\\VelomaSS\\System", RegAccess::Read);
    std::string text;
    const RegValueType type = key ? key->QueryText("PassWord", text) : RegValueType::Missing;
    return type == RegValueType::Text ? text : type == RegValueType::Missing ? "<none>" : "<not text>";
}

TEST(PasswordChangeTest, StoresExactlyWhatTheBoxesSayAndNothingElse)
{
    // focusAfter: the dialog stays open with the focus there.
    const struct {
        const char* before; std::string first, second; Act act; std::string stored; int focusAfter;
    } cases[] = {
        {nullptr, "ﾊﾟｽﾜｰﾄﾞ 秘密", "ﾊﾟｽﾜｰﾄﾞ 秘密", ClickOk, "ﾊﾟｽﾜｰﾄﾞ 秘密", 0},
        {"old", "", "", ClickOk, "", 0},  // removes the password
        {"old", "new", "new", CloseBox, "old", 0},
        {"old", "new", "", ClickOk, "old", IDC_PASSWORD_CONFIRM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        WinRegistry registry;
        if (c.before)
            SavePassword(registry, c.before);
        std::string box = "<no message>";
        int focusAtStart = 0, focusAfter = 0;
        bool closed = false;
        RunModal([&] { return ChangePassword(nullptr, registry), 0; },
                 [&](HWND h) {
                     focusAtStart = FocusId();
                     SetItemText(h, IDC_PASSWORD, c.first);
                     SetItemText(h, IDC_PASSWORD_CONFIRM, c.second);
                     WhenShown(L"Veloma SS", [&box](HWND b) {  // a message box: noted and answered
                         box = ItemText(b, 0xFFFF);
                         PostMessageW(b, WM_COMMAND, IDOK, 0);
                     });
                     c.act(h);  // returns once any message box is gone
                     // The close box's Cancel comes posted.
                     closed = PumpUntil([h] { return !IsWindowVisible(h); }, 300);
                     if (closed)
                         return;
                     focusAfter = FocusId();
                     Escape(h);
                 });
        EXPECT_TRUE(Stored() == c.stored) << Stored().size() << " bytes stored";
        EXPECT_EQ(focusAtStart, IDC_PASSWORD) << "the new-password box should have the focus at first";
        EXPECT_EQ(box, "<no message>");
        EXPECT_EQ(closed, c.focusAfter == 0) << "the dialog should end unless it moves the focus";
        if (c.focusAfter)
            EXPECT_EQ(focusAfter, c.focusAfter);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
}

}  // namespace
