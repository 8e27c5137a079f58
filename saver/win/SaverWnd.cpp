#include "saver/win/SaverWnd.h"

#include "saver/win/PasswordDialog.h"
#include "platform/Registry.h"

#include <windowsx.h>

SaverWnd::SaverWnd() : SaverWnd(nullptr) {}

SaverWnd::SaverWnd(const SoundServices* sound) : BoardWnd(sound) {}

SaverWnd::~SaverWnd()
{
    if (m_bCursorHidden)
        ShowCursor(TRUE);
}

BOOL SaverWnd::CreateFullScreen()
{
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr, 0, nullptr))
        return FALSE;

    ReadSettings();
    ApplyFullScreenRules(*this, ReadDesktopValuesFromRegistry());
    LoadPieces(Bitmap);
    StartBlackOutTimer();
    if (BGM)
        StartMusic(TRUE);

    ShowCursor(FALSE);
    m_bCursorHidden = true;
    return TRUE;
}

BOOL SaverWnd::ConfirmClose()
{
    // The saver is disabled while it asks, but a request that slipped
    // through must not stack a second dialog on the first.
    if (m_bAsking)
        return FALSE;
    m_bAsking = true;
    const bool mayClose = ConfirmCloseRequest(*this, m_ptFirstMouse, *this);
    m_bAsking = false;
    return mayClose ? TRUE : FALSE;
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

bool SaverWnd::IsBlackedOut()
{
    return m_bBlackedOut;
}

void SaverWnd::WakeFromBlackOut()
{
    ResetLayout();
    if (BGM) {
        // The piece that played before, from its start; the play list is
        // not asked again.
        MIDI = Player().OpenMidi(MIDI);
        Player().PlayMidi(MIDI);
    }
}

void SaverWnd::RestartBlackOutTimer()
{
    StartBlackOutTimer();
}

LRESULT SaverWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (m_ptFirstMouse.OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
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
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return BoardWnd::WindowProc(msg, wParam, lParam);
}
