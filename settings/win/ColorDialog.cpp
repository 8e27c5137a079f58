#include "settings/win/ColorDialog.h"

#include "board/win/PieceImage.h"
#include "platform/Gdi.h"
#include "res/SettingsIds.h"

#include <optional>

namespace {

constexpr int kCell = 32;
constexpr int kBox = 64;

RECT ToRect(const PixelRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

ColorDialog::ColorDialog(const PieceImage& pieces, HWND parent) : Dialog(IDD_COLOUR, parent), m_pieces(pieces) {}

void ColorDialog::DoDataExchange(DataExchange& dx)
{
    dx.Control(IDC_BLUE_BAR, m_blueBar);
    dx.Control(IDC_GREEN_BAR, m_greenBar);
    dx.Control(IDC_RED_BAR, m_redBar);
    dx.Scroll(IDC_RED_BAR, Red);
    dx.Scroll(IDC_BLUE_BAR, Blue);
    dx.Scroll(IDC_GREEN_BAR, Green);
}

BOOL ColorDialog::OnInitDialog()
{
    m_blueBar.Attach(nullptr);
    m_greenBar.Attach(nullptr);
    m_redBar.Attach(nullptr);
    Dialog::OnInitDialog();

    m_redBar.SetScrollRange(0, 255);
    m_greenBar.SetScrollRange(0, 255);
    m_blueBar.SetScrollRange(0, 255);
    m_redBar.SetScrollPos(Red);
    m_greenBar.SetScrollPos(Green);
    m_blueBar.SetScrollPos(Blue);
    ImageIndex = 0;

    RECT sample{};
    if (HWND marker = GetDlgItem(IDC_COLOUR_SAMPLE)) {
        GetWindowRect(marker, &sample);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&sample), 2);
    }
    m_sample = PixelRect{sample.left, sample.top, sample.right, sample.bottom};
    return TRUE;
}

LRESULT ColorDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_HSCROLL:
        OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    default:
        return Dialog::WindowProc(msg, wParam, lParam);
    }
}

void ColorDialog::OnHScroll(HWND bar, int code, int thumb)
{
    ScrollBar* sender = nullptr;
    for (ScrollBar* b : {&m_redBar, &m_greenBar, &m_blueBar}) {
        if (bar && bar == b->Handle())
            sender = b;
    }
    if (sender) {
        sender->SetScrollPos(ScrollStep(kColourScroll, code, sender->GetScrollPos(), thumb));
        ReadBars();
        ClientDC dc(Handle());
        if (dc)
            FillSample(dc.Handle());
    }
    Default();
}

void ColorDialog::ReadBars()
{
    Red = m_redBar.GetScrollPos();
    Green = m_greenBar.GetScrollPos();
    Blue = m_blueBar.GetScrollPos();
}

bool ColorDialog::HasImage() const
{
    return m_pieces.Loaded();
}

void ColorDialog::FillSample(HDC dc) const
{
    GdiBrush brush(CreateSolidBrush(RGB(Red, Green, Blue)));
    const RECT rect = ToRect(m_sample);
    if (brush)
        FillRect(dc, &rect, brush.Get());
}

void ColorDialog::DrawCell(HDC dc, const PixelRect& box, CellOrigin cell) const
{
    const CDIB& dib = *m_pieces.Dib();
    StretchDIBits(dc, box.left, box.top, kBox, kBox, cell.x, cell.y, kCell, kCell, dib.m_pBits.get(),
                  reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS, SRCCOPY);
}

void ColorDialog::OnPaint()
{
    PaintDC dc(Handle());
    FillSample(dc.Handle());
    if (!HasImage())
        return;
    RealizedPalette palette(dc.Handle(), m_pieces.Palette());
    DrawCell(dc.Handle(), FirstImageBox(m_sample), kEmptyCellOrigin);
    DrawCell(dc.Handle(), SecondImageBox(m_sample), ImageBoxCell(ImageIndex));
}

void ColorDialog::OnLButtonUp(int x, int y)
{
    if (!ImageMouseArea(m_sample).Contains(x, y))
        return;
    ClientDC dc(Handle());
    if (!dc || !HasImage())
        return;
    RealizedPalette palette(dc.Handle(), m_pieces.Palette());
    const COLORREF pixel = GetPixel(dc.Handle(), x, y);
    // Outside the visible screen there is no pixel to pick.
    if (pixel == CLR_INVALID)
        return;
    const ColourParts parts = PartsOf(GetNearestColor(dc.Handle(), pixel));
    Red = parts.red;
    Green = parts.green;
    Blue = parts.blue;
    m_redBar.SetScrollPos(Red);
    m_greenBar.SetScrollPos(Green);
    m_blueBar.SetScrollPos(Blue);
    FillSample(dc.Handle());
}

void ColorDialog::OnRButtonUp(int x, int y)
{
    if (!ImageMouseArea(m_sample).Contains(x, y))
        return;
    ImageIndex = NextImageIndex(ImageIndex);
    if (!HasImage())
        return;
    ClientDC dc(Handle());
    if (!dc)
        return;
    RealizedPalette palette(dc.Handle(), m_pieces.Palette());
    DrawCell(dc.Handle(), SecondImageBox(m_sample), ImageBoxCell(ImageIndex));
}
