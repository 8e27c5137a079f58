// The English resources as a user outside Japan meets them. ctest runs these
// in a process of their own under an English locale (LANG=en_US.UTF-8), so
// that the system's resource loader picks the English blocks.
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "res/StringIds.h"
#include "win/TestResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<unsigned>*>(param)->push_back(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

// Every resource of a type in the program, by number; a dialog or string
// added later is checked without being listed here.
std::vector<unsigned> Names(LPCWSTR type)
{
    std::vector<unsigned> names;
    EnumResourceNamesW(GetModuleHandleW(nullptr), type, CollectName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

// The product's dialogs, without the tests' own.
std::vector<int> Dialogs()
{
    std::vector<int> ids;
    for (unsigned id : Names(RT_DIALOG))
        if (id < IDD_TEST_DIALOG)
            ids.push_back(static_cast<int>(id));
    return ids;
}

// Every string: block n of the table holds the strings 16 (n - 1) to 16 n - 1.
std::vector<unsigned> Strings()
{
    std::vector<unsigned> ids;
    for (unsigned block : Names(RT_STRING))
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id)
            if (!ResourceString(id).empty())
                ids.push_back(id);
    return ids;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// The template alone, without the code behind it: what its texts and
// layout give.
using TemplateWindow = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
TemplateWindow Template(int id)
{
    return {CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, PlainDialog, 0),
            DestroyWindow};
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// Kana, kanji, full-width and half-width forms, Japanese punctuation.
bool HasJapanese(const std::wstring& text)
{
    for (wchar_t c : text)
        if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Why a control's text does not fit it, or nothing when it does. Widths
// are the text's extent in the control's font plus what the control draws
// beside it: the box of a check box or radio button, a button's frame, the
// frame line on either side of a group box's title.
std::string Clipping(HWND control)
{
    const std::wstring cls = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring text = WindowText(control);
    const bool button = _wcsicmp(cls.c_str(), L"Button") == 0;
    const bool stat = _wcsicmp(cls.c_str(), L"Static") == 0;
    if (text.empty() || !(style & WS_VISIBLE) || !(button || stat))
        return std::string();
    const LONG kind = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
    if (stat && kind == SS_ICON)
        return std::string();

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
    if (button && kind == BS_GROUPBOX) {
        need.right += 2 * metrics.tmAveCharWidth;
        need.bottom = 0;
    } else if (button && kind >= BS_CHECKBOX && kind <= BS_AUTORADIOBUTTON) {
        need.right += MulDiv(13, dpi, 96) + metrics.tmAveCharWidth / 2 + 2;
    } else if (button) {
        need.right += MulDiv(8, dpi, 96);
    }
    if (need.right <= client.right && need.bottom <= client.bottom)
        return std::string();
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Narrow(text) + "\" needs " +
           std::to_string(need.right) + "x" + std::to_string(need.bottom) + ", has " +
           std::to_string(client.right) + "x" + std::to_string(client.bottom) + "\n";
}

// Visible controls that stick out of the dialog or cover one another (a
// group box holds others and is left out of the second test).
std::string Misplaced(HWND dialog)
{
    RECT area{};
    GetClientRect(dialog, &area);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&area), 2);
    std::vector<std::pair<HWND, RECT>> placed;
    std::string report;
    for (HWND child : Children(dialog)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r{};
        GetWindowRect(child, &r);
        const int id = GetDlgCtrlID(child);
        if (r.left < area.left || r.top < area.top || r.right > area.right || r.bottom > area.bottom)
            report += "control " + std::to_string(id) + " \"" + Narrow(WindowText(child)) + "\" leaves the dialog\n";
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX)
            continue;
        for (const auto& [other, o] : placed) {
            RECT both{};
            if (IntersectRect(&both, &r, &o))
                report += "controls " + std::to_string(GetDlgCtrlID(other)) + " and " + std::to_string(id) +
                          " overlap\n";
        }
        placed.emplace_back(child, r);
    }
    return report;
}

TEST(EnglishResources, EveryDialogIsEnglishItsTextsFitAndNoControlCoversAnother)
{
    EXPECT_EQ(Dialogs().size(), 6u) << "settings, colour, MIDI list, About and the two password dialogs";
    for (int id : Dialogs()) {
        const TemplateWindow dialog = Template(id);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        std::string japanese = HasJapanese(WindowText(dialog.get())) ? Narrow(WindowText(dialog.get())) + "\n" : "";
        std::string clipped;
        for (HWND child : Children(dialog.get())) {
            if (HasJapanese(WindowText(child)))
                japanese += "control " + std::to_string(GetDlgCtrlID(child)) + ": " + Narrow(WindowText(child)) + "\n";
            clipped += Clipping(child);
        }
        EXPECT_EQ(japanese, "") << "dialog " << id;
        EXPECT_EQ(clipped, "") << "dialog " << id;
        EXPECT_EQ(Misplaced(dialog.get()), "") << "dialog " << id;
    }
}

TEST(EnglishResources, EveryStringIsEnglish)
{
    const std::vector<unsigned> strings = Strings();
    for (unsigned id : {IDS_SAVER_NAME, IDS_ABOUT_MENU, IDS_MISSING_BITMAP, IDS_PASSWORD_MISMATCH, IDS_BITMAP_FILTER,
                        IDS_WAVE_FILTER, IDS_MIDI_FILTER})
        EXPECT_NE(std::find(strings.begin(), strings.end(), id), strings.end()) << "string " << id;
    EXPECT_EQ(std::count_if(strings.begin(), strings.end(),
                            [](unsigned id) { return id >= IDS_FIRST_TOOLTIP && id <= IDS_LAST_TOOLTIP; }),
              19)
        << "the tooltips of the settings dialog";
    for (unsigned id : strings)
        EXPECT_FALSE(HasJapanese(ResourceString(id))) << "string " << id << ": " << Narrow(ResourceString(id));
    EXPECT_EQ(Narrow(ResourceString(IDS_SAVER_NAME)), "Veloma Screen Saver");
}

}  // namespace
