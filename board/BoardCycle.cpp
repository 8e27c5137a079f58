#include "board/BoardGame.h"

void BoardGame::OnTimer(unsigned id)
{
    if (id == kBlackOutTimer)
        BlackOut();
    else if (id == kAnimTimer)
        AnimationStep();
}

void BoardGame::AnimationStep()
{
    // A tick may still be queued after the timer was stopped: ignore it when
    // there is nothing to animate, or the screen has been blacked out.
    if (!m_bImageLoaded || m_bBlackedOut || !HasGame() || !InGrid(m_nSelX, m_nSelY))
        return;
    const std::uint8_t selected = m_board[m_nSelX][m_nSelY];
    const int kind = selected & kKindMask;
    if ((selected & kMark) == 0 || kind < 1 || kind > 5)
        return;
    const int frames = m_nFrames >= 1 ? m_nFrames : 1;
    if (m_nFrame < 0 || m_nFrame >= frames)
        m_nFrame = 0;

    if (m_nFrame == 0) {
        if (Sound)
            m_effects.PlayWave(m_bDisappearing ? Disappear : Select);
        // Column 0 is the still picture then; an image with a single column
        // has nothing else to show.
        if (AnimBMPOption && frames > 1)
            m_nFrame = 1;
    }

    m_effects.DrawAnimFrame(m_bDisappearing ? DisappearRow(kind) : SelectRow(kind), m_nFrame);
    for (int x = m_nGroupLeft; x <= m_nGroupRight; ++x)
        for (int y = m_nGroupTop; y <= m_nGroupBottom; ++y)
            if (InGrid(x, y) && m_board[x][y] > kMark)
                m_effects.DrawAnimCell(x, y);

    m_nFrame = (m_nFrame + 1) % frames;
    if (m_nFrame == 0)
        EndOfCycle();
}

void BoardGame::EndOfCycle()
{
    if (!m_bDisappearing) {
        ++m_nSelectCycles;
        if (Random(5) < 2)
            m_bDisappearing = true;
        return;
    }

    m_bDisappearing = false;
    m_effects.StopTimer(kAnimTimer);
    RemoveGroup();
    if (FindPair().x < 0) {
        NewBoard();
        return;
    }
    const GridPos picked = PickGroup();
    m_nSelX = picked.x;
    m_nSelY = picked.y;
    m_effects.RestartTimer(kAnimTimer, AnimInterval());
}

void BoardGame::BlackOut()
{
    m_effects.StopTimer(kAnimTimer);
    m_effects.StopTimer(kBlackOutTimer);
    if (BGM)
        m_effects.CloseMidi(MIDI);
    m_bBlackedOut = true;
    m_effects.FillBlack();
}
