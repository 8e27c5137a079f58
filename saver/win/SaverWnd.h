#pragma once
#include "board/win/BoardView.h"
#include "platform/Window.h"
#include "saver/SaverRules.h"

class SaverSession;

// One board of a full-screen run: above everything on its monitor, without
// a cursor. It hands its input to the session, which decides for all
// boards; the primary board also keeps the run's black-out timer, and its
// end ends the run's message loop.
class SaverWnd final : public Window {
public:
    // The primary board's timers, besides the animation's.
    static constexpr UINT_PTR kBlackOutTimer = 2;
    static constexpr UINT_PTR kMoveSettleTimer = 4;
    static constexpr UINT_PTR kMonitorTimer = 5;
    // Posted to the primary board, which outlives every other: the
    // monitors changed; some board had input that asks to close.
    static constexpr UINT kFollowMonitors = WM_APP + 1;
    static constexpr UINT kCloseRequest = WM_APP + 2;

    SaverWnd(SaverSession& session, bool primary, const SoundServices* sound)
        : m_view(sound), m_session(session), m_primary(primary)
    {
    }

    bool Create(const RECT& rect);

    BoardView& View() { return m_view; }
    const BoardView& View() const { return m_view; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    BoardView m_view;
    SaverSession& m_session;
    const bool m_primary;
};
