#include "settings/win/SettingsDialog.h"

#include "board/win/BoardWnd.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Files.h"
#include "platform/Gdi.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "res/StringIds.h"
#include "settings/DialogValues.h"
#include "settings/win/AboutDialog.h"
#include "settings/win/ColorDialog.h"
#include "settings/win/MidiListDialog.h"
#include "settings/win/PasswordChangeDialog.h"
#include "sound/PlayList.h"

#include <commdlg.h>

namespace {

// A string of the table in the user's language, as UTF-8.
std::string Text(unsigned id)
{
    return Narrow(ResourceString(id));
}

static_assert(IDS_IMAGE_FAULT + static_cast<int>(ImageFault::PieceGrid) == IDS_IMAGE_FAULT_PIECE_GRID &&
                  static_cast<int>(ImageFault::PieceGrid) + 1 == kImageFaultCount,
              "a reason string for every fault");

// Posted on a DPI change, to come after the dialog manager has scaled the controls.
constexpr UINT kPlacePreview = WM_APP + 1;

// The controls that each show one field, by kind.
struct RadioGroup {
    int first, last;
    int Settings::*field;
    int (*valueOf)(int button);
    int (*buttonOf)(int value);
};
const RadioGroup kRadioGroups[] = {
    {IDC_PATTERN_RANDOM, IDC_PATTERN_SQUARE, &Settings::CellArr, CellArrOf, PatternButton},
    {IDC_NUMBER_3, IDC_NUMBER_5, &Settings::CellNo, CellNoOf, NumberButton},
    {IDC_SIZE_1, IDC_SIZE_4, &Settings::CellSize, CellSizeOf, SizeButton},
};

struct CheckBox {
    int id;
    int Settings::*field;
};
const CheckBox kCheckBoxes[] = {
    {IDC_BMP_OPTION, &Settings::AnimBMPOption}, {IDC_BLANK_CELL_OPTION, &Settings::BlankOption},
    {IDC_INITIAL_CELL_OPTION, &Settings::DoviOption}, {IDC_BGM, &Settings::BGM}, {IDC_SOUND, &Settings::Sound},
};

struct Bar {
    int bar, text;
    int Settings::*field;
    int low, high;
};
const Bar kBars[] = {
    {IDC_SPEED_BAR, IDC_SPEED_TEXT, &Settings::AnimIntrvl, 50, 200},
    {IDC_BLACKOUT_BAR, IDC_BLACKOUT_TEXT, &Settings::BlackOutTime, 0, 120},
};

struct PathBox {
    int id;
    std::string Settings::*field;
};
const PathBox kPathBoxes[] = {
    {IDC_BITMAP_PATH, &Settings::Bitmap},
    {IDC_SELECT_PATH, &Settings::Select},
    {IDC_DISAPPEAR_PATH, &Settings::Disappear},
    {IDC_MIDI_PATH, &Settings::MIDI},
};

class SettingsDialog : public ModalDialog {
public:
    SettingsDialog(const Settings& start, SettingsPrompts& prompts)
        : ModalDialog(IDD_SETTINGS), m_settings(start), m_prompts(prompts)
    {
    }

    std::optional<Settings> Edit(HWND owner)
    {
        if (Run(owner) != IDOK)
            return std::nullopt;
        return m_settings;
    }

    const BoardWnd& Preview() const { return m_preview; }

private:
    bool Init() override
    {
        // Only the option controls have tips; string 1 is the saver's name,
        // not a tip for OK.
        EnableToolTips(IDS_FIRST_TOOLTIP, IDS_LAST_TOOLTIP);
        const std::wstring about = ResourceString(IDS_ABOUT_MENU);
        HMENU menu = GetSystemMenu(Handle(), FALSE);
        if (menu && !about.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_ABOUT, about.c_str());
        }
        const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELOMA));
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

        CheckBitmap();
        ShowFields();
        m_preview.Create(0, WS_CHILD | WS_VISIBLE, PreviewPlace(), Handle());
        return true;
    }

    void CheckBitmap()
    {
        WinFileSystem files;
        // While the default is in use the preview plays our own image.
        if (FindDialogBitmap(m_settings.Bitmap, files) != BitmapFound::Missing)
            return;
        m_prompts.Message(Handle(), Text(IDS_MISSING_BITMAP));
        if (auto chosen = m_prompts.OpenFile(Handle(), "bmp", m_settings.Bitmap, Text(IDS_BITMAP_FILTER)))
            m_settings.Bitmap = *chosen;
    }

    void ShowFields()
    {
        for (const PathBox& p : kPathBoxes)
            SetText(p.id, m_settings.*p.field);
        for (const CheckBox& c : kCheckBoxes)
            CheckDlgButton(Handle(), c.id, m_settings.*c.field ? BST_CHECKED : BST_UNCHECKED);
        for (const RadioGroup& g : kRadioGroups)
            CheckRadioButton(Handle(), g.first, g.last, g.buttonOf(m_settings.*g.field));
        for (const Bar& b : kBars) {
            SetScrollRange(Item(b.bar), SB_CTL, b.low, b.high, TRUE);
            SetScrollPos(Item(b.bar), SB_CTL, m_settings.*b.field, TRUE);
            SetDlgItemInt(Handle(), b.text, static_cast<UINT>(m_settings.*b.field), TRUE);
        }
        ShowFillColourButton();
    }

    RECT PreviewPlace() const
    {
        RECT place{};
        if (HWND marker = Item(IDC_PREVIEW_PLACE)) {
            GetWindowRect(marker, &place);
            MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
        }
        return place;
    }

    Settings PreviewVariant() const
    {
        // Smaller cells for the small window; no password, no black-out.
        Settings variant = m_settings;
        variant.CellSize = PreviewCellSize(m_settings.CellSize);
        variant.PassWord.clear();
        variant.BlackOutTime = 0;
        return variant;
    }

    void ApplyPreview() { m_preview.View().Apply(PreviewVariant()); }

    INT_PTR Message(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        // The dialog manager's default processing follows the cases that
        // return FALSE.
        switch (msg) {
        case WM_SHOWWINDOW:
            if (wParam)
                OnCheckBox(IDC_BGM);
            return FALSE;
        case WM_ACTIVATE:
            RealizePreviewPalette(LOWORD(wParam));
            return FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != IDM_ABOUT)
                return FALSE;
            ShowAboutDialog(Handle());
            return TRUE;
        case WM_HSCROLL:
            OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_DPICHANGED:
            PostMessageW(Handle(), kPlacePreview, 0, 0);
            return ModalDialog::Message(msg, wParam, lParam);
        case kPlacePreview:
            PlacePreview();
            return TRUE;
        default:
            return ModalDialog::Message(msg, wParam, lParam);
        }
    }

    void PlacePreview()
    {
        // The preview is no control of the template: it follows the hidden
        // marker the dialog manager has scaled, and its new size deals cells
        // of the new DPI.
        const RECT place = PreviewPlace();
        SetWindowPos(m_preview.Handle(), nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void RealizePreviewPalette(UINT state)
    {
        if (state == WA_INACTIVE || !m_preview.View().Pieces().Palette())
            return;
        ClientDC dc(Handle());
        if (dc)
            PaletteGuard palette(dc.Handle(), m_preview.View().Pieces().Palette());
    }

    void OnScroll(HWND bar, int code, int thumb)
    {
        if (!bar || (bar != Item(IDC_SPEED_BAR) && bar != Item(IDC_BLACKOUT_BAR)))
            return;
        int low = 0, high = 0;
        GetScrollRange(bar, SB_CTL, &low, &high);
        const int pos = ScrollStep(kSettingsScroll, code, GetScrollPos(bar, SB_CTL), thumb);
        SetScrollPos(bar, SB_CTL, ClampToRange(pos, low, high), TRUE);
        for (const Bar& b : kBars)
            m_settings.*b.field = GetScrollPos(Item(b.bar), SB_CTL);
        ApplyPreview();
        for (const Bar& b : kBars)
            SetDlgItemInt(Handle(), b.text, static_cast<UINT>(m_settings.*b.field), TRUE);
    }

    bool Command(int id, int code) override
    {
        if (code != BN_CLICKED)
            return false;
        for (const RadioGroup& g : kRadioGroups) {
            if (id < g.first || id > g.last)
                continue;
            CheckRadioButton(Handle(), g.first, g.last, id);
            m_settings.*g.field = g.valueOf(id);
            ApplyPreview();
            return true;
        }
        for (const CheckBox& c : kCheckBoxes) {
            if (id == c.id)
                return OnCheckBox(id), true;
        }
        switch (id) {
        case IDC_ABOUT:
            ShowAboutDialog(Handle());
            return true;
        case IDC_CHANGE_PASSWORD: {
            WinRegistry registry;
            ChangePassword(Handle(), registry);
            return true;
        }
        case IDC_FILL_COLOUR:
            if (auto colour = ChooseFillColour(Handle(), m_settings.BCCol, m_preview.View().Pieces())) {
                m_settings.BCCol = *colour;
                ApplyPreview();
            }
            return true;
        case IDC_CHOOSE_BITMAP:
            ChooseBitmap();
            return true;
        case IDC_CHOOSE_SELECT:
        case IDC_CHOOSE_DISAPPEAR:
            ChooseSound(id == IDC_CHOOSE_SELECT ? IDC_SELECT_PATH : IDC_DISAPPEAR_PATH);
            return true;
        case IDC_CHOOSE_MIDI:
            ChooseMusic();
            return true;
        default:
            return false;
        }
    }

    void OnCheckBox(int id)
    {
        for (const CheckBox& c : kCheckBoxes)
            m_settings.*c.field = IsDlgButtonChecked(Handle(), c.id) == BST_CHECKED ? 1 : 0;
        ShowFillColourButton();
        ApplyPreview();
        // The preview restarts its music only while its own BGM is on.
        if (id == IDC_BGM)
            m_preview.View().StartMusic(m_settings.BGM != 0);
    }

    void ChooseBitmap()
    {
        // The chooser runs its own loop; the preview must not play meanwhile.
        m_preview.View().Pause(true);
        const std::string name = m_settings.Bitmap.empty() ? "*.bmp" : m_settings.Bitmap;
        const std::optional<std::string> chosen = m_prompts.OpenFile(Handle(), "bmp", name, Text(IDS_BITMAP_FILTER));
        if (!chosen) {
            m_preview.View().Pause(false);
            return;
        }
        Settings trial = PreviewVariant();
        trial.Bitmap = *chosen;
        if (m_preview.View().Apply(trial)) {
            m_settings.Bitmap = *chosen;
            SetText(IDC_BITMAP_PATH, m_settings.Bitmap);
            return;
        }
        const std::string why = ImageRefusalMessage(m_preview.View().Pieces().Refusal());
        // Keep playing with the image we had.
        ApplyPreview();
        m_prompts.Message(Handle(), why);
    }

    void ChooseSound(int box)
    {
        std::string& path = box == IDC_SELECT_PATH ? m_settings.Select : m_settings.Disappear;
        // Cancel takes the sound away.
        path = m_prompts.OpenFile(Handle(), "wav", path.empty() ? "*.wav" : path, Text(IDS_WAVE_FILTER))
                   .value_or(std::string());
        SetText(box, path);
        ApplyPreview();
    }

    void ChooseMusic()
    {
        m_preview.View().StartMusic(false);
        const std::optional<std::string> chosen =
            m_prompts.OpenFile(Handle(), std::string(), m_settings.MIDI, Text(IDS_MIDI_FILTER));
        if (!chosen)
            return;
        m_settings.MIDI = *chosen;
        SetText(IDC_MIDI_PATH, m_settings.MIDI);
        if (IsPlayList(m_settings.MIDI))
            m_settings.BGMRandomPlay = RunMidiListDialog(Handle(), m_settings.BGMRandomPlay);
        ApplyPreview();
        m_preview.View().StartMusic(m_settings.BGM != 0);
    }

    void SetText(int id, const std::string& text) { SetDlgItemTextW(Handle(), id, Widen(text).c_str()); }

    void ShowFillColourButton()
    {
        ShowWindow(Item(IDC_FILL_COLOUR),
                   FillColourOffered(m_settings.BlankOption, m_settings.DoviOption) ? SW_SHOW : SW_HIDE);
    }

    Settings m_settings;
    SettingsPrompts& m_prompts;
    BoardWnd m_preview;
};

}  // namespace

std::optional<std::string> SettingsPrompts::OpenFile(HWND owner, const std::string& defaultExt,
                                                     const std::string& fileName, const std::string& filter)
{
    return OpenFileDialog(owner, defaultExt, fileName, filter, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP);
}

void SettingsPrompts::Message(HWND owner, const std::string& text)
{
    ShowMessage(owner, text, ProgramName());
}

std::string ImageRefusalMessage(const ImageRefusal& refusal)
{
    const std::string reason = RefusalText(refusal, Text(IDS_IMAGE_FAULT + static_cast<int>(refusal.fault)));
    return Text(IDS_IMAGE_REFUSED) + "\n" + reason;
}

std::optional<Settings> EditSettings(HWND owner, const Settings& start, SettingsPrompts* prompts)
{
    SettingsPrompts system;
    return SettingsDialog(start, prompts ? *prompts : system).Edit(owner);
}

const BoardWnd* SettingsPreview(HWND dialog)
{
    const auto* settings = dynamic_cast<const SettingsDialog*>(ModalDialog::Bound(dialog));
    return settings ? &settings->Preview() : nullptr;
}
