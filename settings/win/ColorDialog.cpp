#include "settings/win/ColorDialog.h"

#include "board/win/PieceImage.h"
#include "platform/Dpi.h"
#include "platform/Gdi.h"
#include "res/SettingsIds.h"

#include <optional>

namespace {

constexpr int kCell = 32;

RECT ToRect(const AreaRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

ColorDialog::ColorDialog(const PieceImage& pieces, HWND parent) : Dialog(IDD_COLOUR, parent), m_pieces(pieces) {}

BOOL ColorDialog::OnInitDialog()
{
    for (int bar : {IDC_RED_BAR, IDC_GREEN_BAR, IDC_BLUE_BAR})
        SetScrollRange(GetDlgItem(bar), SB_CTL, 0, 255, TRUE);
    SetBars();
    ImageIndex = 0;
    return TRUE;
}

ColourAreas ColorDialog::Areas() const
{
    // Asked each time: a move to a monitor of another DPI rescales the marker.
    RECT sample{};
    if (HWND marker = GetDlgItem(IDC_COLOUR_SAMPLE)) {
        GetWindowRect(marker, &sample);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&sample), 2);
    }
    return ColourDialogAreas(AreaRect{sample.left, sample.top, sample.right, sample.bottom}, WindowDpi(Handle()));
}

void ColorDialog::OnOK()
{
    ReadBars();
    EndDialog(IDOK);
}

INT_PTR ColorDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_HSCROLL:
        OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    default:
        return Dialog::DialogProc(msg, wParam, lParam);
    }
}

void ColorDialog::OnHScroll(HWND bar, int code, int thumb)
{
    if (!bar || (bar != GetDlgItem(IDC_RED_BAR) && bar != GetDlgItem(IDC_GREEN_BAR) && bar != GetDlgItem(IDC_BLUE_BAR)))
        return;
    SetScrollPos(bar, SB_CTL, ScrollStep(kColourScroll, code, GetScrollPos(bar, SB_CTL), thumb), TRUE);
    ReadBars();
    ClientDC dc(Handle());
    if (dc)
        FillSample(dc.Handle());
}

void ColorDialog::ReadBars()
{
    Red = GetScrollPos(GetDlgItem(IDC_RED_BAR), SB_CTL);
    Green = GetScrollPos(GetDlgItem(IDC_GREEN_BAR), SB_CTL);
    Blue = GetScrollPos(GetDlgItem(IDC_BLUE_BAR), SB_CTL);
}

void ColorDialog::SetBars()
{
    SetScrollPos(GetDlgItem(IDC_RED_BAR), SB_CTL, Red, TRUE);
    SetScrollPos(GetDlgItem(IDC_GREEN_BAR), SB_CTL, Green, TRUE);
    SetScrollPos(GetDlgItem(IDC_BLUE_BAR), SB_CTL, Blue, TRUE);
}

bool ColorDialog::HasImage() const
{
    return m_pieces.Loaded();
}

void ColorDialog::FillSample(HDC dc) const
{
    GdiBrush brush(CreateSolidBrush(RGB(Red, Green, Blue)));
    const RECT rect = ToRect(Areas().sample);
    if (brush)
        FillRect(dc, &rect, brush.Get());
}

void ColorDialog::DrawCell(HDC dc, const AreaRect& box, CellOrigin cell) const
{
    const CDIB& dib = *m_pieces.Dib();
    // Enlarged in whole pixels (a window's default stretch mode): sharp at any DPI.
    StretchDIBits(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, cell.x, cell.y, kCell, kCell,
                  dib.Bits(), reinterpret_cast<const BITMAPINFO*>(dib.Info()), DIB_RGB_COLORS, SRCCOPY);
}

void ColorDialog::OnPaint()
{
    PaintDC dc(Handle());
    FillSample(dc.Handle());
    if (!HasImage())
        return;
    PaletteGuard palette(dc.Handle(), m_pieces.Palette());
    const ColourAreas areas = Areas();
    DrawCell(dc.Handle(), areas.firstBox, kEmptyCellOrigin);
    DrawCell(dc.Handle(), areas.secondBox, ImageBoxCell(ImageIndex));
}

void ColorDialog::OnLButtonUp(int x, int y)
{
    if (!Areas().mouseArea.Contains(x, y))
        return;
    ClientDC dc(Handle());
    if (!dc || !HasImage())
        return;
    PaletteGuard palette(dc.Handle(), m_pieces.Palette());
    const COLORREF pixel = GetPixel(dc.Handle(), x, y);
    // Outside the visible screen there is no pixel to pick.
    if (pixel == CLR_INVALID)
        return;
    const ColourParts parts = PartsOf(GetNearestColor(dc.Handle(), pixel));
    Red = parts.red;
    Green = parts.green;
    Blue = parts.blue;
    SetBars();
    FillSample(dc.Handle());
}

void ColorDialog::OnRButtonUp(int x, int y)
{
    const ColourAreas areas = Areas();
    if (!areas.mouseArea.Contains(x, y))
        return;
    ImageIndex = NextImageIndex(ImageIndex);
    if (!HasImage())
        return;
    ClientDC dc(Handle());
    if (!dc)
        return;
    PaletteGuard palette(dc.Handle(), m_pieces.Palette());
    DrawCell(dc.Handle(), areas.secondBox, ImageBoxCell(ImageIndex));
}
