#include "settings/win/SettingsDialog.h"

#include "platform/FileDialog.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "saver/win/PasswordChangeDialog.h"
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

const char kBitmapFilter[] = "BMP File |*.bmp||";
const char kWaveFilter[] = "Wave File |*.wav||";
const char kMidiFilter[] = "MIDI File & List File|*.rmi;*.mid;*.lst||";
const char kMissingBitmap[] =
    "VelomaSS標準コマデータファイルがみつかりません。\n"
    "適当なコマデータファイルを選択して下さい。";

constexpr UINT kAnimationTimer = 1;

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
    ReadDialogSettings(*this, BCColText, registry);
    // The password is the change-password dialog's business.
    PassWord.clear();
}

void SettingsDialog::CheckBitmap()
{
    WinFileProbe files;
    if (FindDialogBitmap(Bitmap, files) != BitmapFound::Missing)
        return;
    m_pPrompts->Message(Handle(), kMissingBitmap);
    std::string chosen;
    if (m_pPrompts->OpenFile(Handle(), "bmp", Bitmap, kBitmapFilter, chosen))
        Bitmap = chosen;
}

void SettingsDialog::ShowFields()
{
    HWND h = Handle();
    SetText(IDC_BITMAP_PATH, Bitmap);
    SetNumber(IDC_SPEED_TEXT, AnimIntrvl);
    SetNumber(IDC_BLACKOUT_TEXT, BlackOutTime);
    CheckDlgButton(h, IDC_BMP_OPTION, AnimBMPOption ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_BLANK_CELL_OPTION, BlankOption ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_INITIAL_CELL_OPTION, DoviOption ? BST_CHECKED : BST_UNCHECKED);
    ShowWindow(GetDlgItem(IDC_FILL_COLOUR), FillColourOffered(BlankOption, DoviOption) ? SW_SHOW : SW_HIDE);

    CheckRadioButton(h, IDC_SIZE_1, IDC_SIZE_4, SizeButton(CellSize));
    CheckRadioButton(h, IDC_PATTERN_RANDOM, IDC_PATTERN_SQUARE, PatternButton(CellArr));
    CheckRadioButton(h, IDC_NUMBER_3, IDC_NUMBER_5, NumberButton(CellNo));

    SetText(IDC_MIDI_PATH, MIDI);
    SetText(IDC_SELECT_PATH, Select);
    SetText(IDC_DISAPPEAR_PATH, Disappear);
    CheckDlgButton(h, IDC_BGM, BGM ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(h, IDC_SOUND, Sound ? BST_CHECKED : BST_UNCHECKED);

    SetScrollRange(GetDlgItem(IDC_SPEED_BAR), SB_CTL, 50, 200, TRUE);
    SetScrollPos(GetDlgItem(IDC_SPEED_BAR), SB_CTL, AnimIntrvl, TRUE);
    SetScrollRange(GetDlgItem(IDC_BLACKOUT_BAR), SB_CTL, 0, 120, TRUE);
    SetScrollPos(GetDlgItem(IDC_BLACKOUT_BAR), SB_CTL, BlackOutTime, TRUE);
}

void SettingsDialog::OnOK()
{
    HWND h = Handle();
    MIDI = GetDlgItemUtf8(h, IDC_MIDI_PATH);
    Bitmap = GetDlgItemUtf8(h, IDC_BITMAP_PATH);
    Disappear = GetDlgItemUtf8(h, IDC_DISAPPEAR_PATH);
    Select = GetDlgItemUtf8(h, IDC_SELECT_PATH);
    AnimBMPOption = static_cast<int>(IsDlgButtonChecked(h, IDC_BMP_OPTION));
    BGM = static_cast<int>(IsDlgButtonChecked(h, IDC_BGM));
    Sound = static_cast<int>(IsDlgButtonChecked(h, IDC_SOUND));
    BlankOption = static_cast<int>(IsDlgButtonChecked(h, IDC_BLANK_CELL_OPTION));
    DoviOption = static_cast<int>(IsDlgButtonChecked(h, IDC_INITIAL_CELL_OPTION));
    EndDialog(IDOK);
}

void SettingsDialog::CreatePreview()
{
    RECT place{};
    if (HWND marker = GetDlgItem(IDC_PREVIEW_PLACE)) {
        GetWindowRect(marker, &place);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    }
    m_preview.Create(0, WS_CHILD | WS_VISIBLE, place, Handle(), 0, nullptr);
    m_preview.ReadSettings();
    // Smaller cells for the small window; no password, no black-out.
    m_preview.CellSize = PreviewCellSize(m_preview.CellSize);
    m_preview.SetPassword(std::string());
    m_preview.BlackOutTime = 0;
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
    default:
        return Dialog::DialogProc(msg, wParam, lParam);
    }
}

void SettingsDialog::OnShowWindow(BOOL show)
{
    if (!show)
        return;
    m_preview.LoadPieces(Bitmap);
    OnBgmCheck();
}

void SettingsDialog::OnActivate(UINT state)
{
    if (state == WA_INACTIVE || !m_preview.m_pDib || !m_preview.m_pOldPalette)
        return;
    ClientDC dc(Handle());
    if (!dc)
        return;
    PaletteGuard palette(dc.Handle(), m_preview.m_palette.Get());
    RealizePalette(dc.Handle());
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
    AnimIntrvl = GetScrollPos(speed, SB_CTL);
    BlackOutTime = GetScrollPos(blackOut, SB_CTL);
    m_preview.AnimIntrvl = AnimIntrvl;
    SetNumber(IDC_SPEED_TEXT, AnimIntrvl);
    SetNumber(IDC_BLACKOUT_TEXT, BlackOutTime);
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
        OnChooseSound(Select, IDC_SELECT_PATH, &BoardWnd::SetSelectSound);
        return TRUE;
    case IDC_CHOOSE_DISAPPEAR:
        OnChooseSound(Disappear, IDC_DISAPPEAR_PATH, &BoardWnd::SetDisappearSound);
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
    CellArr = CellArrOf(button);
    m_preview.CellArr = CellArr;
    m_preview.NewBoard();
}

void SettingsDialog::OnNumber(int button)
{
    CheckRadioButton(Handle(), IDC_NUMBER_3, IDC_NUMBER_5, button);
    CellNo = CellNoOf(button);
    m_preview.CellNo = CellNo;
    m_preview.NewBoard();
}

void SettingsDialog::OnSize(int button)
{
    CheckRadioButton(Handle(), IDC_SIZE_1, IDC_SIZE_4, button);
    CellSize = CellSizeOf(button);
    m_preview.CellSize = PreviewCellSize(CellSize);
    m_preview.ResetLayout();
}

void SettingsDialog::OnBgmCheck()
{
    BGM = IsChecked(IDC_BGM) ? 1 : 0;
    // The preview restarts its music only while its own BGM is on.
    m_preview.BGM = BGM;
    m_preview.StartMusic(BGM ? TRUE : FALSE);
}

void SettingsDialog::OnSoundCheck()
{
    Sound = IsChecked(IDC_SOUND) ? 1 : 0;
    m_preview.Sound = Sound;
}

void SettingsDialog::OnBmpOption()
{
    // The dialog's own field is read back at OK.
    m_preview.AnimBMPOption = IsChecked(IDC_BMP_OPTION) ? 1 : 0;
}

void SettingsDialog::OnFillOption(int box)
{
    const int checked = IsChecked(box) ? 1 : 0;
    if (box == IDC_BLANK_CELL_OPTION)
        m_preview.BlankOption = checked;
    else
        m_preview.DoviOption = checked;
    m_preview.ResetLayout();
    ShowFillColourButton();
}

void SettingsDialog::OnChooseBitmap()
{
    // The chooser runs its own loop; the preview must not play meanwhile.
    m_preview.StopTimer(kAnimationTimer);
    if (Bitmap.empty())
        Bitmap = "*.bmp";
    std::string chosen;
    if (!m_pPrompts->OpenFile(Handle(), "bmp", Bitmap, kBitmapFilter, chosen)) {
        // A hand-edited negative interval must not become a timer of weeks.
        m_preview.RestartTimer(kAnimationTimer, static_cast<UINT>(std::max(AnimIntrvl, 0)));
        return;
    }
    if (m_preview.LoadPieces(chosen)) {
        Bitmap = chosen;
        SetText(IDC_BITMAP_PATH, Bitmap);
    } else {
        // Keep playing with the image we had.
        m_preview.LoadPieces(Bitmap);
    }
}

void SettingsDialog::OnChooseSound(std::string& path, int edit, void (BoardWnd::*apply)(std::string))
{
    if (path.empty())
        path = "*.wav";
    std::string chosen;
    // Cancel takes the sound away.
    path = m_pPrompts->OpenFile(Handle(), "wav", path, kWaveFilter, chosen) ? chosen : std::string();
    SetText(edit, path);
    (m_preview.*apply)(path);
}

void SettingsDialog::OnChooseMidi()
{
    m_preview.StartMusic(FALSE);
    std::string chosen;
    if (!m_pPrompts->OpenFile(Handle(), std::string(), MIDI, kMidiFilter, chosen))
        return;
    MIDI = chosen;
    SetText(IDC_MIDI_PATH, MIDI);
    if (IsPlayList(MIDI))
        BGMRandomPlay = RunMidiListDialog(Handle(), BGMRandomPlay);
    m_preview.SetMidiPath(MIDI);
    m_preview.BGMRandomPlay = BGMRandomPlay;
    m_preview.StartMusic(BGM ? TRUE : FALSE);
}

void SettingsDialog::OnFillColour()
{
    ColorDialog colour(&m_preview, Handle());
    const ColourParts parts = PartsOf(BCCol);
    colour.Red = parts.red;
    colour.Green = parts.green;
    colour.Blue = parts.blue;
    if (colour.DoModal() != IDOK)
        return;
    BCCol = ColourOf(colour.Red, colour.Green, colour.Blue);
    BCColText = LongToHex(BCCol);
    m_preview.BCCol = BCCol;
    m_preview.ResetLayout();
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
