#include "board/PlayCycle.h"

namespace {

// A deal without any pair is thrown away; on the smallest grids about four
// deals in five are. This many in a row only happens with a broken source,
// and then the window stays without a game rather than hang.
constexpr int kMaxDeals = 1000;

} // namespace

void PlayCycle::SetFrames(int frames)
{
    m_frames = frames > 0 ? frames : 0;
    m_sel = {};
}

int PlayCycle::KindCount() const
{
    return m_options.kinds >= 3 && m_options.kinds <= 5 ? m_options.kinds : 5;
}

PlayReport PlayCycle::NewBoard()
{
    PlayReport report;
    Deal(report);
    return report;
}

void PlayCycle::Deal(PlayReport& report)
{
    if (m_frames == 0)
        return;
    report.stopTimer = true;
    m_frame = 0;
    m_blackedOut = false;
    m_disappearing = false;

    GridPos pair;
    if (m_board.HasGame()) {
        for (int deal = 0; deal < kMaxDeals && pair.x < 0; ++deal) {
            m_board.Generate(m_options.pattern, KindCount());
            pair = m_board.FindPair();
        }
    }
    if (pair.x < 0) {
        m_sel = {};
        return;
    }
    report.dealt = true;
    if (m_observer)
        m_observer->BoardDealt(m_board);
    Pick(report);
}

void PlayCycle::Pick(PlayReport& report)
{
    m_sel = m_board.PickGroup();
    m_selectCycles = 0;
    if (m_observer)
        m_observer->GroupPicked(m_board, m_sel, m_board.GroupSize());
    report.stopTimer = false;
    report.restartTimer = true;
}

PlayReport PlayCycle::Tick()
{
    PlayReport report;
    // A tick may still be queued after play stopped: ignore it when there
    // is nothing to animate, or the screen has been blacked out.
    if (m_frames == 0 || m_blackedOut || !m_board.HasGame())
        return report;
    const std::uint8_t selected = m_board.Cell(m_sel.x, m_sel.y);
    const int kind = selected & Board::kKindMask;
    if ((selected & Board::kMark) == 0 || kind < 1 || kind > 5)
        return report;
    if (m_frame < 0 || m_frame >= m_frames)
        m_frame = 0;

    if (m_frame == 0) {
        report.wave = m_disappearing ? Wave::Disappear : Wave::Select;
        // Column 0 is the still picture then; an image with a single column
        // has nothing else to show.
        if (m_options.stillFirstFrame && m_frames > 1)
            m_frame = 1;
    }
    report.frameShown = true;
    report.disappearing = m_disappearing;
    report.kind = kind;
    report.frame = m_frame;

    m_frame = (m_frame + 1) % m_frames;
    if (m_frame == 0)
        EndOfCycle(report);
    return report;
}

void PlayCycle::EndOfCycle(PlayReport& report)
{
    if (!m_disappearing) {
        ++m_selectCycles;
        if (m_board.Random(5) < 2)
            m_disappearing = true;
        return;
    }

    m_disappearing = false;
    report.removed = true;
    report.selectionCycles = m_selectCycles;
    report.changed = m_board.RemoveGroup();
    if (m_observer)
        m_observer->GroupRemoved(m_board, m_selectCycles);
    if (m_board.FindPair().x < 0) {
        Deal(report);
        return;
    }
    Pick(report);
}
