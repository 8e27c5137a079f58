#include "board/win/BoardWnd.h"

bool BoardWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, bool endsLoop)
{
    static const std::wstring className = RegisterWindowClass(
        CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    m_endsLoop = endsLoop;
    return CreateEx(exStyle, className, std::wstring(), style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, 0);
}

LRESULT BoardWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_view.OnMessage(Handle(), msg, wParam, lParam, result))
        return result;
    if (msg == WM_NCDESTROY && m_endsLoop)
        PostQuitMessage(0);
    return Window::WindowProc(msg, wParam, lParam);
}
