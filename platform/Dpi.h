#pragma once
#include <windows.h>

// The DPI a window is drawn at: its monitor's where the system scales per
// monitor, the system's otherwise. The per-monitor calls are looked up at
// run time, so the saver still starts on a Windows without them.
int WindowDpi(HWND hwnd);

// The screen's DPI as every Windows reports it.
int SystemDpi();

// For its lifetime, the calling thread makes windows in the DPI awareness
// of `window`: a child must share its parent's awareness, and the host of a
// preview may be less aware than we are. Where the system has no awareness
// contexts it does nothing.
class ThreadDpiLikeWindow {
public:
    explicit ThreadDpiLikeWindow(HWND window);
    ~ThreadDpiLikeWindow();
    ThreadDpiLikeWindow(const ThreadDpiLikeWindow&) = delete;
    ThreadDpiLikeWindow& operator=(const ThreadDpiLikeWindow&) = delete;

private:
    DPI_AWARENESS_CONTEXT m_previous = nullptr;
};
