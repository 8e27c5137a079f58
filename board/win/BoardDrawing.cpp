// The board window's drawing: the piece image, its palette, the off-screen
// strip of scaled pictures, and the block copies from the strip to the cells.
#include "board/win/BoardWnd.h"

#include "board/PieceLayout.h"
#include "image/win/DibFile.h"
#include "platform/Text.h"

namespace {

const BITMAPINFO* Info(const CDIB& dib)
{
    return reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get());
}

bool PathExists(const std::string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    GdiBrush brush(CreateSolidBrush(colour));
    if (brush)
        FillRect(dc, &rect, brush.Get());
}

} // namespace

BOOL BoardWnd::LoadPieces(std::string path)
{
    ClearImage();
    m_pDib.reset();
    RestorePalette();

    if (!ReadPieceImage(path))
        return FALSE;
    if (!m_pStripBitmap)
        CreateStrip();
    if (!m_pStripBitmap) {
        // Play would draw from the memory context's 1x1 default bitmap.
        ClearImage();
        m_pDib.reset();
        return FALSE;
    }

    // A palette only for a 256-colour table; deeper images draw as they are.
    if (m_pDib->BuildLogPalette()) {
        m_palette.Reset(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&m_pDib->m_logPal)));
        RealizePiecePalette();
    }
    Bitmap = path;
    ResetLayout();
    return TRUE;
}

bool BoardWnd::ReadPieceImage(const std::string& path)
{
    if (path.empty() || !PathExists(path))
        return false;
    Win32FileSource file;
    if (!file.Open(path, Win32FileSource::Sharing::Exclusive))
        return false;
    auto dib = std::make_unique<CDIB>();
    const bool read = dib->Read(file);
    file.Close();
    if (!read)
        return false;
    // An image without a frame column has nothing to animate: refused here,
    // before the game ever sees it.
    if (!SetImage(PieceImageFrames(dib->GetWidth(), dib->GetHeight())))
        return false;
    m_pDib = std::move(dib);
    return true;
}

void BoardWnd::RealizePiecePalette()
{
    if (!m_palette || !Handle())
        return;
    ClientDC dc(Handle());
    m_pOldPalette = SelectPalette(dc.Handle(), m_palette.Get(), FALSE);
    RealizePalette(dc.Handle());
    SelectPalette(m_pMemDC->Handle(), m_palette.Get(), FALSE);
    RealizePalette(m_pMemDC->Handle());
}

void BoardWnd::RestorePalette()
{
    if (m_pOldPalette && Handle()) {
        ClientDC dc(Handle());
        SelectPalette(dc.Handle(), m_pOldPalette, FALSE);
    }
    m_pOldPalette = nullptr;
    // The memory context still holds the palette, and a palette in use
    // cannot be deleted: give it the stock one first.
    if (m_palette)
        SelectPalette(m_pMemDC->Handle(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    m_palette.Reset();
}

void BoardWnd::CreateStrip()
{
    if (!Handle())
        return;
    ClientDC dc(Handle());
    HBITMAP strip = CreateCompatibleBitmap(dc.Handle(), kStripWidth, kStripHeight);
    if (!strip)
        return;
    m_pStripBitmap = std::make_unique<GdiBitmap>(strip);
    m_hOldBitmap = static_cast<HBITMAP>(SelectObject(m_pMemDC->Handle(), strip));
    // Plain colour pictures: shrinking keeps whole pixels instead of
    // merging them into darker ones.
    SetStretchBltMode(m_pMemDC->Handle(), COLORONCOLOR);
}

void BoardWnd::ResetLayout()
{
    if (!HasImage() || !m_pDib)
        return;
    FillBlack();

    RECT client{};
    GetClientRect(Handle(), &client);
    ComputeLayout(client.right - client.left, client.bottom - client.top);

    for (int slot = 0; slot < kAnimSlot; ++slot)
        DrawAnimFrameInto(slot, SlotImageRow(slot), 0);
    if (BlankOption)
        FillStrip(0, CellSize, FillColour(BCCol));
    if (DoviOption)
        FillStrip(CellSize, 5 * CellSize, FillColour(BCCol));

    NewBoard();
}

void BoardWnd::DrawAnimFrameInto(int slot, int row, int column)
{
    const CDIB& dib = *m_pDib;
    StretchDIBits(m_pMemDC->Handle(), slot * CellSize, 0, CellSize, CellSize, column * kPieceCell,
                  PieceRowBottom(row), kPieceCell, kPieceCell, dib.m_pBits.get(), Info(dib), DIB_RGB_COLORS,
                  SRCCOPY);
}

void BoardWnd::FillStrip(int left, int width, COLORREF colour)
{
    const RECT rect{left, 0, left + width, CellSize};
    FillSolid(m_pMemDC->Handle(), rect, colour);
}

void BoardWnd::CopySlot(HDC dc, int slot, int x, int y)
{
    BitBlt(dc, m_nOffsetX + x * CellSize, m_nOffsetY + y * CellSize, CellSize, CellSize, m_pMemDC->Handle(),
           slot * CellSize, 0, SRCCOPY);
}

void BoardWnd::DrawCell(int x, int y, int slot)
{
    if (!Handle() || slot < 0 || slot >= kAnimSlot)
        return;
    ClientDC dc(Handle());
    CopySlot(dc.Handle(), slot, x, y);
}

void BoardWnd::DrawAnimFrame(int row, int column)
{
    if (m_pDib && column >= 0 && column < m_nFrames && row >= 0 && row < kPieceImageHeight / kPieceCell)
        DrawAnimFrameInto(kAnimSlot, row, column);
}

void BoardWnd::DrawAnimCell(int x, int y)
{
    if (!Handle())
        return;
    ClientDC dc(Handle());
    CopySlot(dc.Handle(), kAnimSlot, x, y);
}

void BoardWnd::FillBlack()
{
    if (!Handle())
        return;
    ClientDC dc(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc.Handle(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void BoardWnd::OnPaint()
{
    PaintDC dc(Handle());
    if (HasImage() && m_pDib && !m_bBlackedOut) {
        // Marked cells show their piece at rest until the next tick.
        for (int x = 0; x < m_nCols; ++x)
            for (int y = 0; y < m_nRows; ++y)
                if (const int slot = Cell(x, y) & kKindMask; slot < kAnimSlot)
                    CopySlot(dc.Handle(), slot, x, y);
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc.Handle(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}
