#include "settings/win/ColorDialog.h"

#include "board/win/PieceImage.h"
#include "platform/Dialog.h"
#include "platform/Dpi.h"
#include "platform/Gdi.h"
#include "res/SettingsIds.h"

namespace {

constexpr int kCell = 32;
constexpr int kBars[] = {IDC_RED_BAR, IDC_GREEN_BAR, IDC_BLUE_BAR};

RECT ToRect(const AreaRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

// Only the three parts: a top byte would make the brush a palette index.
std::uint32_t PlainColour(std::uint32_t colour)
{
    const ColourParts parts = PartsOf(colour);
    return ColourOf(parts.red, parts.green, parts.blue);
}

class ColorDialog : public ModalDialog {
public:
    ColorDialog(std::uint32_t colour, const PieceImage& pieces)
        : ModalDialog(IDD_COLOUR), m_colour(PlainColour(colour)), m_pieces(pieces)
    {
    }

    std::optional<std::uint32_t> Choose(HWND owner)
    {
        if (Run(owner) != IDOK)
            return std::nullopt;
        return m_colour;
    }

private:
    bool Init() override
    {
        for (int bar : kBars)
            SetScrollRange(Item(bar), SB_CTL, 0, 255, TRUE);
        SetBars();
        return true;
    }

    bool Command(int id, int code) override
    {
        if (id != IDOK || code > 1)
            return false;
        ReadBars();
        End(IDOK);
        return true;
    }

    INT_PTR Message(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        switch (msg) {
        case WM_HSCROLL:
            OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_LBUTTONUP:
            PickColour(x, y);
            return TRUE;
        case WM_RBUTTONUP:
            NextImage(x, y);
            return TRUE;
        case WM_PAINT:
            Paint();
            return TRUE;
        default:
            return ModalDialog::Message(msg, wParam, lParam);
        }
    }

    void OnScroll(HWND bar, int code, int thumb)
    {
        if (!bar || (bar != Item(IDC_RED_BAR) && bar != Item(IDC_GREEN_BAR) && bar != Item(IDC_BLUE_BAR)))
            return;
        SetScrollPos(bar, SB_CTL, ScrollStep(kColourScroll, code, GetScrollPos(bar, SB_CTL), thumb), TRUE);
        ReadBars();
        ClientDC dc(Handle());
        if (dc)
            FillSample(dc.Handle());
    }

    void ReadBars()
    {
        m_colour = ColourOf(GetScrollPos(Item(IDC_RED_BAR), SB_CTL), GetScrollPos(Item(IDC_GREEN_BAR), SB_CTL),
                            GetScrollPos(Item(IDC_BLUE_BAR), SB_CTL));
    }

    void SetBars()
    {
        const ColourParts parts = PartsOf(m_colour);
        SetScrollPos(Item(IDC_RED_BAR), SB_CTL, parts.red, TRUE);
        SetScrollPos(Item(IDC_GREEN_BAR), SB_CTL, parts.green, TRUE);
        SetScrollPos(Item(IDC_BLUE_BAR), SB_CTL, parts.blue, TRUE);
    }

    void FillSample(HDC dc) const
    {
        GdiBrush brush(CreateSolidBrush(m_colour));
        const RECT rect = ToRect(OpenColourDialogAreas(Handle()).sample);
        if (brush)
            FillRect(dc, &rect, brush.Get());
    }

    void DrawCell(HDC dc, const AreaRect& box, CellOrigin cell) const
    {
        const CDIB& dib = *m_pieces.Dib();
        // Enlarged in whole pixels (a window's default stretch mode): sharp at any DPI.
        StretchDIBits(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, cell.x, cell.y, kCell, kCell,
                      dib.Bits(), reinterpret_cast<const BITMAPINFO*>(dib.Info()), DIB_RGB_COLORS,
                      SRCCOPY);
    }

    void Paint()
    {
        PaintDC dc(Handle());
        FillSample(dc.Handle());
        if (!m_pieces.Loaded())
            return;
        PaletteGuard palette(dc.Handle(), m_pieces.Palette());
        const ColourAreas areas = OpenColourDialogAreas(Handle());
        DrawCell(dc.Handle(), areas.firstBox, kEmptyCellOrigin);
        DrawCell(dc.Handle(), areas.secondBox, ImageBoxCell(m_imageIndex));
    }

    void PickColour(int x, int y)
    {
        if (!OpenColourDialogAreas(Handle()).mouseArea.Contains(x, y) || !m_pieces.Loaded())
            return;
        ClientDC dc(Handle());
        if (!dc)
            return;
        PaletteGuard palette(dc.Handle(), m_pieces.Palette());
        const COLORREF pixel = GetPixel(dc.Handle(), x, y);
        // Outside the visible screen there is no pixel to pick.
        if (pixel == CLR_INVALID)
            return;
        m_colour = PlainColour(GetNearestColor(dc.Handle(), pixel));
        SetBars();
        FillSample(dc.Handle());
    }

    void NextImage(int x, int y)
    {
        const ColourAreas areas = OpenColourDialogAreas(Handle());
        if (!areas.mouseArea.Contains(x, y))
            return;
        m_imageIndex = NextImageIndex(m_imageIndex);
        ClientDC dc(Handle());
        if (!dc || !m_pieces.Loaded())
            return;
        PaletteGuard palette(dc.Handle(), m_pieces.Palette());
        DrawCell(dc.Handle(), areas.secondBox, ImageBoxCell(m_imageIndex));
    }

    std::uint32_t m_colour;
    int m_imageIndex = 0;  // the cell in image box 2, 0..9
    const PieceImage& m_pieces;
};

}  // namespace

std::optional<std::uint32_t> ChooseFillColour(HWND owner, std::uint32_t colour, const PieceImage& pieces)
{
    return ColorDialog(colour, pieces).Choose(owner);
}

ColourAreas OpenColourDialogAreas(HWND dialog)
{
    // Asked each time: a move to a monitor of another DPI rescales the marker.
    RECT sample{};
    if (HWND marker = GetDlgItem(dialog, IDC_COLOUR_SAMPLE)) {
        GetWindowRect(marker, &sample);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&sample), 2);
    }
    return ColourDialogAreas(AreaRect{sample.left, sample.top, sample.right, sample.bottom}, WindowDpi(dialog));
}
