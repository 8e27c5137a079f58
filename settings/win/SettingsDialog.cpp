#include "settings/win/SettingsDialog.h"

#include "platform/FileDialog.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "res/StringIds.h"
#include "settings/win/PasswordChangeDialog.h"
#include "settings/win/AboutDialog.h"
#include "settings/win/ColorDialog.h"
#include "settings/DialogValues.h"
#include "settings/win/MidiListDialog.h"
#include "base/ValueForms.h"
#include "platform/Registry.h"
#include "sound/PlayList.h"

#include <commdlg.h>

#include <algorithm>

namespace {

// A string of the table in the user's language, as UTF-8.
std::string Text(unsigned id)
{
    return Narrow(ResourceString(id));
}

static_assert(IDS_IMAGE_FAULT + static_cast<int>(ImageFault::PieceGrid) == IDS_IMAGE_FAULT_PIECE_GRID &&
                  static_cast<int>(ImageFault::PieceGrid) + 1 == kImageFaultCount,
              "a reason string for every fault");

constexpr UINT kAnimationTimer = 1;
// Posted on a DPI change, to come after the dialog manager has scaled the controls.
constexpr UINT kPlacePreview = WM_APP + 1;

}  // namespace

bool SettingsPrompts::OpenFile(HWND owner, const std::string& defaultExt, const std::string& fileName,
                               const std::string& filter, std::string& path)
{
    const std::optional<std::string> chosen =
        OpenFileDialog(owner, defaultExt, fileName, filter, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP);
    if (!chosen)
        return false;
    path = *chosen;
    return true;
}

std::string ImageRefusalMessage(const ImageRefusal& refusal)
{
    const std::string reason =
        RefusalText(refusal, Narrow(ResourceString(IDS_IMAGE_FAULT + static_cast<int>(refusal.fault))));
    return Narrow(ResourceString(IDS_IMAGE_REFUSED)) + "\n" + reason;
}

void SettingsPrompts::Message(HWND owner, const std::string& text)
{
    ShowMessage(owner, text, ProgramName());
}

SettingsDialog::SettingsDialog(HWND parent)
    : Dialog(IDD_SETTINGS, parent),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELOMA)))
{
}

SettingsDialog::~SettingsDialog() = default;

BOOL SettingsDialog::OnInitDialog()
{
    // Only the option controls have tips; string 1 is the saver's name,
    // not a tip for OK.
    EnableToolTips(IDS_FIRST_TOOLTIP, IDS_LAST_TOOLTIP);

    const std::wstring about = ResourceString(IDS_ABOUT_MENU);
    if (!about.empty()) {
        if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_ABOUT, about.c_str());
        }
    }
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    LoadFields();
    CheckBitmap();
    ShowFields();
    CreatePreview();
    return TRUE;
}

void SettingsDialog::LoadFields()
{
    WinRegistry registry;
    ReadDialogSettings(m_settings, BCColText, registry);
    // The password is the change-password dialog's business.
    m_settings.PassWord.clear();
}

void SettingsDialog::CheckBitmap()
{
    WinFileSystem files;
    // While the default is in use the preview plays our own image.
    if (FindDialogBitmap(m_settings.Bitmap, files) != BitmapFound::Missing)
        return;
    m_pPrompts->Message(Handle(), Text(IDS_MISSING_BITMAP));
    std::string chosen;
    if (m_pPrompts->OpenFile(Handle(), "bmp", m_settings.Bitmap, Text(IDS_BITMAP_FILTER), chosen))
        m_settings.Bitmap = chosen;
}

void SettingsDialog::ShowFields()
{
    HWND h = Handle();
    SetText(IDC_BITMAP_PATH, m_settings.Bitmap);
    SetNumber(IDC_SPEED_TEXT, m_settings.AnimIntrvl);
    SetNumber(IDC_BLACKOUT_TEXT, m_settings.BlackOutTime);
    CheckDlgButton(h, IDC_BMP_OPTION, m_settings.AnimBMPOption ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_BLANK_CELL_OPTION, m_settings.BlankOption ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_INITIAL_CELL_OPTION, m_settings.DoviOption ? BST_CHECKED : BST_UNCHECKED);
    ShowWindow(GetDlgItem(IDC_FILL_COLOUR), FillColourOffered(m_settings.BlankOption, m_settings.DoviOption) ? SW_SHOW : SW_HIDE);

    CheckRadioButton(h, IDC_SIZE_1, IDC_SIZE_4, SizeButton(m_settings.CellSize));
    CheckRadioButton(h, IDC_PATTERN_RANDOM, IDC_PATTERN_SQUARE, PatternButton(m_settings.CellArr));
    CheckRadioButton(h, IDC_NUMBER_3, IDC_NUMBER_5, NumberButton(m_settings.CellNo));

    SetText(IDC_MIDI_PATH, m_settings.MIDI);
    SetText(IDC_SELECT_PATH, m_settings.Select);
    SetText(IDC_DISAPPEAR_PATH, m_settings.Disappear);
    CheckDlgButton(h, IDC_BGM, m_settings.BGM ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_SOUND, m_settings.Sound ? BST_CHECKED : BST_UNCHECKED);

    SetScrollRange(GetDlgItem(IDC_SPEED_BAR), SB_CTL, 50, 200, TRUE);
    SetScrollPos(GetDlgItem(IDC_SPEED_BAR), SB_CTL, m_settings.AnimIntrvl, TRUE);
    SetScrollRange(GetDlgItem(IDC_BLACKOUT_BAR), SB_CTL, 0, 120, TRUE);
    SetScrollPos(GetDlgItem(IDC_BLACKOUT_BAR), SB_CTL, m_settings.BlackOutTime, TRUE);
}

void SettingsDialog::OnOK()
{
    HWND h = Handle();
    m_settings.MIDI = GetDlgItemUtf8(h, IDC_MIDI_PATH);
    m_settings.Bitmap = GetDlgItemUtf8(h, IDC_BITMAP_PATH);
    m_settings.Disappear = GetDlgItemUtf8(h, IDC_DISAPPEAR_PATH);
    m_settings.Select = GetDlgItemUtf8(h, IDC_SELECT_PATH);
    m_settings.AnimBMPOption = static_cast<int>(IsDlgButtonChecked(h, IDC_BMP_OPTION));
    m_settings.BGM = static_cast<int>(IsDlgButtonChecked(h, IDC_BGM));
    m_settings.Sound = static_cast<int>(IsDlgButtonChecked(h, IDC_SOUND));
    m_settings.BlankOption = static_cast<int>(IsDlgButtonChecked(h, IDC_BLANK_CELL_OPTION));
    m_settings.DoviOption = static_cast<int>(IsDlgButtonChecked(h, IDC_INITIAL_CELL_OPTION));
    EndDialog(IDOK);
}

RECT SettingsDialog::PreviewPlace() const
{
    RECT place{};
    if (HWND marker = GetDlgItem(IDC_PREVIEW_PLACE)) {
        GetWindowRect(marker, &place);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    }
    return place;
}

void SettingsDialog::CreatePreview()
{
    m_preview.Create(0, WS_CHILD | WS_VISIBLE, PreviewPlace(), Handle());
}

void SettingsDialog::PlacePreview()
{
    // The preview is no control of the template: it follows the hidden
    // marker the dialog manager has scaled, and its new size deals cells
    // of the new DPI.
    const RECT place = PreviewPlace();
    SetWindowPos(m_preview.Handle(), nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

Settings SettingsDialog::PreviewVariant() const
{
    // Smaller cells for the small window; no password, no black-out.
    Settings variant = m_settings;
    variant.CellSize = PreviewCellSize(m_settings.CellSize);
    variant.PassWord.clear();
    variant.BlackOutTime = 0;
    return variant;
}

bool SettingsDialog::ApplyPreview()
{
    return m_preview.Apply(PreviewVariant());
}

INT_PTR SettingsDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The dialog manager's default processing follows the handlers that
    // return FALSE.
    switch (msg) {
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam));
        return FALSE;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam));
        return FALSE;
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam));
    case WM_HSCROLL:
        OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_DPICHANGED:
        PostMessageW(Handle(), kPlacePreview, 0, 0);
        return Dialog::DialogProc(msg, wParam, lParam);
    case kPlacePreview:
        PlacePreview();
        return TRUE;
    default:
        return Dialog::DialogProc(msg, wParam, lParam);
    }
}

void SettingsDialog::OnShowWindow(BOOL show)
{
    if (!show)
        return;
    ApplyPreview();
    OnBgmCheck();
}

void SettingsDialog::OnActivate(UINT state)
{
    if (state == WA_INACTIVE || !m_preview.Pieces().Palette())
        return;
    ClientDC dc(Handle());
    if (dc)
        PaletteGuard palette(dc.Handle(), m_preview.Pieces().Palette());
}

bool SettingsDialog::OnSysCommand(UINT id)
{
    if ((id & 0xFFF0) != IDM_ABOUT)
        return false;
    OnAbout();
    return true;
}

void SettingsDialog::OnHScroll(HWND bar, int code, int thumb)
{
    HWND speed = GetDlgItem(IDC_SPEED_BAR), blackOut = GetDlgItem(IDC_BLACKOUT_BAR);
    if (!bar || (bar != speed && bar != blackOut))
        return;
    int low = 0, high = 0;
    GetScrollRange(bar, SB_CTL, &low, &high);
    SetScrollPos(bar, SB_CTL, ClampToRange(ScrollStep(kSettingsScroll, code, GetScrollPos(bar, SB_CTL), thumb), low, high),
                 TRUE);
    m_settings.AnimIntrvl = GetScrollPos(speed, SB_CTL);
    m_settings.BlackOutTime = GetScrollPos(blackOut, SB_CTL);
    ApplyPreview();
    SetNumber(IDC_SPEED_TEXT, m_settings.AnimIntrvl);
    SetNumber(IDC_BLACKOUT_TEXT, m_settings.BlackOutTime);
}

BOOL SettingsDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return Dialog::OnCommand(wParam, lParam);
    const int id = LOWORD(wParam);
    switch (id) {
    case IDC_ABOUT:
        OnAbout();
        return TRUE;
    case IDC_CHANGE_PASSWORD:
        OnChangePassword();
        return TRUE;
    case IDC_FILL_COLOUR:
        OnFillColour();
        return TRUE;
    case IDC_PATTERN_RANDOM:
    case IDC_PATTERN_LINE:
    case IDC_PATTERN_HLINE:
    case IDC_PATTERN_VLINE:
    case IDC_PATTERN_SQUARE:
        OnPattern(id);
        return TRUE;
    case IDC_NUMBER_3:
    case IDC_NUMBER_4:
    case IDC_NUMBER_5:
        OnNumber(id);
        return TRUE;
    case IDC_SIZE_1:
    case IDC_SIZE_2:
    case IDC_SIZE_3:
    case IDC_SIZE_4:
        OnSize(id);
        return TRUE;
    case IDC_BGM:
        OnBgmCheck();
        return TRUE;
    case IDC_SOUND:
        OnSoundCheck();
        return TRUE;
    case IDC_BMP_OPTION:
        OnBmpOption();
        return TRUE;
    case IDC_BLANK_CELL_OPTION:
    case IDC_INITIAL_CELL_OPTION:
        OnFillOption(id);
        return TRUE;
    case IDC_CHOOSE_BITMAP:
        OnChooseBitmap();
        return TRUE;
    case IDC_CHOOSE_SELECT:
        OnChooseSound(m_settings.Select, IDC_SELECT_PATH);
        return TRUE;
    case IDC_CHOOSE_DISAPPEAR:
        OnChooseSound(m_settings.Disappear, IDC_DISAPPEAR_PATH);
        return TRUE;
    case IDC_CHOOSE_MIDI:
        OnChooseMidi();
        return TRUE;
    default:
        return Dialog::OnCommand(wParam, lParam);
    }
}

void SettingsDialog::OnPattern(int button)
{
    CheckRadioButton(Handle(), IDC_PATTERN_RANDOM, IDC_PATTERN_SQUARE, button);
    m_settings.CellArr = CellArrOf(button);
    ApplyPreview();
}

void SettingsDialog::OnNumber(int button)
{
    CheckRadioButton(Handle(), IDC_NUMBER_3, IDC_NUMBER_5, button);
    m_settings.CellNo = CellNoOf(button);
    ApplyPreview();
}

void SettingsDialog::OnSize(int button)
{
    CheckRadioButton(Handle(), IDC_SIZE_1, IDC_SIZE_4, button);
    m_settings.CellSize = CellSizeOf(button);
    ApplyPreview();
}

void SettingsDialog::OnBgmCheck()
{
    m_settings.BGM = IsChecked(IDC_BGM) ? 1 : 0;
    // The preview restarts its music only while its own m_settings.BGM is on.
    ApplyPreview();
    m_preview.StartMusic(m_settings.BGM != 0);
}

void SettingsDialog::OnSoundCheck()
{
    m_settings.Sound = IsChecked(IDC_SOUND) ? 1 : 0;
    ApplyPreview();
}

void SettingsDialog::OnBmpOption()
{
    // The dialog's own field is read back at OK.
    m_settings.AnimBMPOption = IsChecked(IDC_BMP_OPTION) ? 1 : 0;
    ApplyPreview();
}

void SettingsDialog::OnFillOption(int box)
{
    const int checked = IsChecked(box) ? 1 : 0;
    if (box == IDC_BLANK_CELL_OPTION)
        m_settings.BlankOption = checked;
    else
        m_settings.DoviOption = checked;
    ApplyPreview();
    ShowFillColourButton();
}

void SettingsDialog::OnChooseBitmap()
{
    // The chooser runs its own loop; the preview must not play meanwhile.
    m_preview.Pause(true);
    if (m_settings.Bitmap.empty())
        m_settings.Bitmap = "*.bmp";
    std::string chosen;
    if (!m_pPrompts->OpenFile(Handle(), "bmp", m_settings.Bitmap, Text(IDS_BITMAP_FILTER), chosen)) {
        // A hand-edited negative interval must not become a timer of weeks.
        m_preview.Pause(false);
        return;
    }
    Settings trial = PreviewVariant();
    trial.Bitmap = chosen;
    if (m_preview.Apply(trial)) {
        m_settings.Bitmap = chosen;
        SetText(IDC_BITMAP_PATH, m_settings.Bitmap);
    } else {
        const std::string why = ImageRefusalMessage(m_preview.Pieces().Refusal());
        // Keep playing with the image we had.
        ApplyPreview();
        m_pPrompts->Message(Handle(), why);
    }
}

void SettingsDialog::OnChooseSound(std::string& path, int edit)
{
    if (path.empty())
        path = "*.wav";
    std::string chosen;
    // Cancel takes the sound away.
    path = m_pPrompts->OpenFile(Handle(), "wav", path, Text(IDS_WAVE_FILTER), chosen) ? chosen : std::string();
    SetText(edit, path);
    ApplyPreview();
}

void SettingsDialog::OnChooseMidi()
{
    m_preview.StartMusic(false);
    std::string chosen;
    if (!m_pPrompts->OpenFile(Handle(), std::string(), m_settings.MIDI, Text(IDS_MIDI_FILTER), chosen))
        return;
    m_settings.MIDI = chosen;
    SetText(IDC_MIDI_PATH, m_settings.MIDI);
    if (IsPlayList(m_settings.MIDI))
        m_settings.BGMRandomPlay = RunMidiListDialog(Handle(), m_settings.BGMRandomPlay);
    ApplyPreview();
    m_preview.StartMusic(m_settings.BGM != 0);
}

void SettingsDialog::OnFillColour()
{
    ColorDialog colour(m_preview.Pieces(), Handle());
    const ColourParts parts = PartsOf(m_settings.BCCol);
    colour.Red = parts.red;
    colour.Green = parts.green;
    colour.Blue = parts.blue;
    if (colour.DoModal() != IDOK)
        return;
    m_settings.BCCol = ColourOf(colour.Red, colour.Green, colour.Blue);
    BCColText = LongToHex(m_settings.BCCol);
    ApplyPreview();
}

void SettingsDialog::OnAbout()
{
    ShowAboutDialog(Handle());
}

void SettingsDialog::OnChangePassword()
{
    PasswordChangeDialog password(Handle());
    password.DoModal();
}

bool SettingsDialog::OnPaint()
{
    if (!IsIconic(Handle()))
        return false;
    PaintDC dc(Handle());
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Handle()), 0);
    RECT client{};
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.Handle(), x, y, m_hIcon);
    return true;
}

bool SettingsDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
}

void SettingsDialog::SetText(int id, const std::string& text)
{
    SetDlgItemTextW(Handle(), id, Widen(text).c_str());
}

void SettingsDialog::SetNumber(int id, int value)
{
    SetDlgItemInt(Handle(), id, static_cast<UINT>(value), TRUE);
}

void SettingsDialog::ShowFillColourButton()
{
    ShowWindow(GetDlgItem(IDC_FILL_COLOUR),
               FillColourOffered(IsChecked(IDC_BLANK_CELL_OPTION), IsChecked(IDC_INITIAL_CELL_OPTION)) ? SW_SHOW
                                                                                                      : SW_HIDE);
}
