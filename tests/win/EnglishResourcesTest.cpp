// The English resources as a user outside Japan meets them. ctest runs these
// in a process of their own under an English locale (LANG=en_US.UTF-8), so
// that the system's resource loader picks the English blocks.
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "res/StringIds.h"
#include "win/TestResources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

// Kana, kanji, full-width and half-width forms, Japanese punctuation.
bool HasJapanese(const std::wstring& text)
{
    for (wchar_t c : text)
        if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

// Whether a control's text fits it. Widths are the text's extent in the
// control's font plus what the control draws beside it: the box of a check
// box or radio button, a button's frame, the frame line on either side of a
// group box's title.
bool Fits(HWND control)
{
    wchar_t cls[64] = {};
    GetClassNameW(control, cls, 64);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring text = WindowText(control);
    const bool button = _wcsicmp(cls, L"Button") == 0, stat = _wcsicmp(cls, L"Static") == 0;
    const LONG kind = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
    if (text.empty() || !(style & WS_VISIBLE) || !(button || stat) || (stat && kind == SS_ICON))
        return true;

    RECT client{};
    GetClientRect(control, &client);
    ClientDC dc(control);
    SelectGuard font(dc.Handle(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Handle(), &metrics);
    const int dpi = GetDeviceCaps(dc.Handle(), LOGPIXELSX);
    // As drawn: a single & marks the mnemonic and takes no room. Wrapped
    // text must fit the height in lines, each word the width.
    const bool wraps = stat && (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT);
    RECT need{0, 0, client.right, 0};
    DrawTextW(dc.Handle(), text.c_str(), -1, &need,
              DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (stat && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    if (button && kind == BS_GROUPBOX)
        need.right += 2 * metrics.tmAveCharWidth, need.bottom = 0;
    else if (button && kind >= BS_CHECKBOX && kind <= BS_AUTORADIOBUTTON)
        need.right += MulDiv(13, dpi, 96) + metrics.tmAveCharWidth / 2 + 2;
    else if (button)
        need.right += MulDiv(8, dpi, 96);
    return need.right <= client.right && need.bottom <= client.bottom;
}

TEST(EnglishResources, EveryDialogIsEnglishItsTextsFitAndNoControlCoversAnother)
{
    // Every dialog of the product, found without a list: one added later is checked too.
    int dialogs = 0;
    for (int id = 1; id < IDD_TEST_DIALOG; ++id) {
        if (!FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG))
            continue;
        ++dialogs;
        // The template alone, without the code behind it.
        const HINSTANCE module = GetModuleHandleW(nullptr);
        const HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, PlainDialog, 0);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        EXPECT_FALSE(HasJapanese(WindowText(dialog))) << "dialog " << id;
        // The widths are the language's own: its controls stay inside the
        // dialog and clear of each other (a group box holds others).
        RECT area{};
        GetClientRect(dialog, &area);
        std::vector<RECT> placed;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const std::string what = "dialog " + std::to_string(id) + " control " + std::to_string(GetDlgCtrlID(c));
            EXPECT_FALSE(HasJapanese(WindowText(c))) << what << ": " << Narrow(WindowText(c));
            EXPECT_TRUE(Fits(c)) << what << " does not fit \"" << Narrow(WindowText(c)) << "\"";
            RECT r{}, both{};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            if (!IsWindowVisible(c))
                continue;
            EXPECT_TRUE(IntersectRect(&both, &r, &area) && EqualRect(&both, &r)) << what << " leaves the dialog";
            wchar_t cls[16] = {};
            GetClassNameW(c, cls, 16);
            if (_wcsicmp(cls, L"Button") == 0 && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
                continue;
            for (const RECT& o : placed)
                EXPECT_FALSE(IntersectRect(&both, &r, &o)) << what << " covers another control";
            placed.push_back(r);
        }
        DestroyWindow(dialog);
    }
    EXPECT_EQ(dialogs, 6) << "settings, colour, MIDI list, About and the two password dialogs";
}

TEST(EnglishResources, EveryStringIsEnglish)
{
    // Every string; one the English table lacks comes in Japanese.
    for (unsigned id = 0; id <= 0xFFFF; ++id)
        EXPECT_FALSE(HasJapanese(ResourceString(id))) << "string " << id << ": " << Narrow(ResourceString(id));
    EXPECT_EQ(Narrow(ResourceString(IDS_SAVER_NAME)), "Veloma Screen Saver");
}

}  // namespace
