#include "board/win/BoardWnd.h"

#include "board/PieceLayout.h"
#include "platform/Registry.h"

BoardWnd::BoardWnd() : BoardWnd(nullptr) {}

BoardWnd::BoardWnd(const SoundServices* sound)
    : BoardGame(m_random, *this),
      m_pMemDC(std::make_unique<MemoryDC>()),
      m_sound(*this, sound ? *sound
                           : SoundServices{m_soundDevices.mci, m_soundDevices.wave, m_soundDevices.files, m_random})
{
}

BoardWnd::~BoardWnd()
{
    // Whether music is on or not: nothing may stay open for this window.
    CloseMidi(MIDI);

    // Everything selected into the memory context goes back before the
    // context goes, and the context before the objects it held.
    if (m_pMemDC && m_hOldBitmap)
        SelectObject(m_pMemDC->Handle(), m_hOldBitmap);
    m_pMemDC.reset();
    m_pStripBitmap.reset();
    m_pDib.reset();
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
    if (!CreateEx(dwExStyle, ClassName(), std::wstring(), dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, hParentWnd, 0))
        return FALSE;
    // The sequencer reports the end of a piece to this window.
    m_soundDevices.mci.SetCallbackWindow(Handle());
    return TRUE;
}

void BoardWnd::ReadSettings()
{
    ReadSettingsFromRegistry(*this);
}

void BoardWnd::RestartTimer(UINT nIDEvent, UINT nElapse)
{
    if (!Handle())
        return;
    KillTimer(Handle(), nIDEvent);
    SetTimer(Handle(), nIDEvent, nElapse, nullptr);
}

void BoardWnd::StopTimer(UINT nIDEvent)
{
    if (Handle())
        KillTimer(Handle(), nIDEvent);
}

void BoardWnd::StartBlackOutTimer()
{
    const std::uint32_t interval = BlackOutInterval(BlackOutTime, m_nMinuteMs);
    if (interval != 0)
        RestartTimer(kBlackOutTimer, interval);
}

void BoardWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kAnimTimer || nIDEvent == kBlackOutTimer)
        BoardGame::OnTimer(static_cast<unsigned>(nIDEvent));
}

LRESULT BoardWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        OnPaint();
        return 0;
    }
    if (msg == WM_TIMER)
        OnTimer(static_cast<UINT_PTR>(wParam));
    else if (msg == kMmMciNotify)
        m_sound.OnMciNotify(static_cast<std::uintptr_t>(wParam));
    return Window::WindowProc(msg, wParam, lParam);
}
