#include "saver/win/SaverWnd.h"

#include "saver/win/PasswordDialog.h"

#include <windowsx.h>

SaverWnd::~SaverWnd()
{
    if (m_cursorHidden)
        ShowCursor(TRUE);
}

bool SaverWnd::CreateFullScreen(const Settings& settings)
{
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr))
        return false;

    // The password is the session's; the board needs none.
    m_password = settings.PassWord;
    m_blackOutTime = settings.BlackOutTime;
    Settings boardSettings = settings;
    boardSettings.PassWord.clear();
    Apply(boardSettings);
    StartBlackOutTimer();
    if (settings.BGM)
        StartMusic(true);

    ShowCursor(FALSE);
    m_cursorHidden = true;
    return true;
}

void SaverWnd::StartBlackOutTimer()
{
    const std::uint32_t interval = BlackOutInterval(m_blackOutTime, m_minuteMs);
    if (interval != 0 && Handle())
        SetTimer(Handle(), kBlackOutTimer, interval, nullptr);
}

bool SaverWnd::ConfirmClose()
{
    // The saver is disabled while it asks, but a request that slipped
    // through must not stack a second dialog on the first.
    if (m_asking)
        return false;
    m_asking = true;
    const bool mayClose = ConfirmCloseRequest(m_password, m_blackOutTime, m_firstMouse, *this);
    m_asking = false;
    return mayClose;
}

void SaverWnd::CloseRequest()
{
    // Posted, so that the handler that asked returns first. The window may
    // have gone meanwhile (closed from outside while the dialog was up).
    if (ConfirmClose() && Handle())
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool SaverWnd::AskPassword(std::string& entered)
{
    PasswordDialog dialog(Handle());
    if (dialog.DoModal() != IDOK)
        return false;
    entered = dialog.m_strPassword;
    return true;
}

LRESULT SaverWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (m_firstMouse.OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
            CloseRequest();
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        CloseRequest();
        break;
    case WM_SYSCOMMAND:
        if (IsSwallowedSysCommand(static_cast<unsigned>(wParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kBlackOutTimer) {
            KillTimer(Handle(), kBlackOutTimer);
            BlackOut();
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return BoardWnd::WindowProc(msg, wParam, lParam);
}
