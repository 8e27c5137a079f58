#include "board/BoardWnd.h"

#include "settings/WinSettings.h"

BoardWnd::BoardWnd(BOOL bAutoDelete)
    : m_pMemDC(std::make_unique<MemoryDC>()), m_bAutoDelete(bAutoDelete)
{
}

BoardWnd::~BoardWnd()
{
    // Everything selected into the memory context goes back before the
    // context goes, and the context before the objects it held.
    if (m_pMemDC && m_hOldBitmap)
        SelectObject(m_pMemDC->Handle(), m_hOldBitmap);
    m_pMemDC.reset();
    m_pStripBitmap.reset();
    m_palette.Reset();
}

const std::wstring& BoardWnd::ClassName()
{
    static const std::wstring name = RegisterWindowClass(
        CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    return name;
}

BOOL BoardWnd::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd, UINT, void*)
{
    return CreateEx(dwExStyle, ClassName(), std::wstring(), dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, hParentWnd, 0)
               ? TRUE
               : FALSE;
}

void BoardWnd::ReadSettings()
{
    ReadSettingsFromRegistry(*this);
}

BOOL BoardWnd::LoadPieces(std::string)
{
    // No piece image can be read yet: the board stays black and still.
    return FALSE;
}

void BoardWnd::ResetLayout()
{
    // Without a piece image there is nothing to lay out.
}

void BoardWnd::RestartTimer(UINT nIDEvent, UINT nElapse)
{
    if (!Handle())
        return;
    KillTimer(Handle(), nIDEvent);
    SetTimer(Handle(), nIDEvent, nElapse, nullptr);
}

void BoardWnd::OnPaint()
{
    PaintDC dc(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc.Handle(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void BoardWnd::OnTimer(UINT_PTR)
{
    Default();
}

void BoardWnd::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}
