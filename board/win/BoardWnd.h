#pragma once
#include "board/win/BoardView.h"
#include "platform/Window.h"

// A child window that is nothing but a board: the display settings'
// preview and the settings dialog's.
class BoardWnd final : public Window {
public:
    explicit BoardWnd(const SoundServices* sound = nullptr) : m_view(sound) {}

    // The window, without a title; the sequencer reports to it. With
    // `endsLoop` the thread's message loop ends when the window goes.
    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, bool endsLoop = false);

    BoardView& View() { return m_view; }
    const BoardView& View() const { return m_view; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    BoardView m_view;
    bool m_endsLoop = false;
};
