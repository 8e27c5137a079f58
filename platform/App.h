#pragma once
#include <windows.h>

class Window;

// The application object: a start-up hook and the message loop. One exists
// per process; windows and dialogs find it through Current().
class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    static App* Current();

    // False ends the run at once; true enters the message loop.
    virtual bool InitInstance() = 0;

    // InitInstance, then the loop when it asked for one. Returns the exit code.
    int Main();

    // Runs until the main window is destroyed; returns at once without one.
    int Run();

    Window* MainWindow() const { return m_pMainWnd; }
    void SetMainWindow(Window* window) { m_pMainWnd = window; }

private:
    Window* m_pMainWnd = nullptr;
};
