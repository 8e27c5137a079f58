#include "platform/App.h"

#include "platform/Window.h"

#include <commctrl.h>

namespace {
App* g_app = nullptr;
}

App::App()
{
    g_app = this;
}

App::~App()
{
    if (g_app == this)
        g_app = nullptr;
}

App* App::Current()
{
    return g_app;
}

int App::Main()
{
    // Common controls 6 (our manifest) need this before the first dialog.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    if (!InitInstance())
        return 0;
    return Run();
}

int App::Run()
{
    if (!m_pMainWnd || !m_pMainWnd->Handle())
        return 0;
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}
