#include "saver/win/SaverWnd.h"

#include "saver/win/SaverSession.h"

#include <windowsx.h>

bool SaverWnd::Create(const RECT& rect)
{
    static const std::wstring className = RegisterWindowClass(
        CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    return CreateEx(WS_EX_TOPMOST, className, std::wstring(), WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, nullptr, 0);
}

LRESULT SaverWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_view.OnMessage(Handle(), msg, wParam, lParam, result))
        return result;
    switch (msg) {
    case WM_MOUSEMOVE: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &p);
        m_session.OnMouseMove(p);
        break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        m_session.OnCloseInput();
        break;
    case WM_SYSCOMMAND:
        if (IsSwallowedSysCommand(static_cast<unsigned>(wParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_TIMER:
        switch (wParam) {
        case kBlackOutTimer:
            KillTimer(Handle(), kBlackOutTimer);
            m_session.OnBlackOutTimer();
            return 0;
        case kMoveSettleTimer:
            m_session.OnMoveSettled();
            return 0;
        case kMonitorTimer:
            m_session.FollowMonitors();
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
        m_session.OnDisplayNotice();
        break;
    case WM_SETTINGCHANGE:
        // A monitor that comes or goes changes the work area.
        if (wParam == SPI_SETWORKAREA)
            m_session.OnDisplayNotice();
        break;
    case kFollowMonitors:
        if (m_primary)
            m_session.FollowMonitors();
        return 0;
    case kCloseRequest:
        if (m_primary)
            m_session.CloseRequest();
        return 0;
    case WM_CLOSE:
        // The run ends as one: the primary board takes the others along.
        if (!m_primary) {
            m_session.RequestClose();
            return 0;
        }
        m_session.CloseBoards();
        break;
    case WM_DESTROY:
        if (m_primary)
            PostQuitMessage(0);
        break;
    }
    return Window::WindowProc(msg, wParam, lParam);
}
