#include "board/win/GdiCanvas.h"

GdiCanvas::Target::Target(GdiCanvas& canvas, HDC dc)
    : m_canvas(canvas), m_old(canvas.m_dc), m_palette(dc, canvas.m_pieces.Palette())
{
    canvas.m_dc = dc;
}

int GdiCanvas::PrepareStrip(int cellSize, const StripFill& fill)
{
    m_cellSize = cellSize;
    return m_pieces.PrepareStrip(cellSize, fill) ? m_pieces.Frames() : 0;
}

void GdiCanvas::DrawSlot(int slot, int x, int y)
{
    // Only what needs it: every copy is a request to the display.
    const RECT rect{x, y, x + m_cellSize, y + m_cellSize};
    if (m_dc && RectVisible(m_dc, &rect))
        m_pieces.CopySlot(m_dc, slot, x, y);
}

void GdiCanvas::FillArea(const ScreenRect& area)
{
    const RECT rect{area.left, area.top, area.right, area.bottom};
    if (m_dc)
        FillRect(m_dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void WindowStepTimer::Start(int milliseconds)
{
    if (m_window)
        SetTimer(m_window, m_id, static_cast<UINT>(milliseconds), nullptr);
}

void WindowStepTimer::Stop()
{
    if (m_window)
        KillTimer(m_window, m_id);
}
