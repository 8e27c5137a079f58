#include "board/BoardPresenter.h"

#include "image/PieceLayout.h"

#include <algorithm>
#include <utility>

namespace {

bool SameFill(const StripFill& a, const StripFill& b)
{
    return a.emptyCells == b.emptyCells && a.pieces == b.pieces && a.colour == b.colour;
}

} // namespace

BoardPresenter::BoardPresenter(RandomSource& random, BoardCanvas& canvas, StepTimer& timer)
    : m_canvas(canvas), m_timer(timer), m_game(random)
{
}

void BoardPresenter::Reset(int width, int height, const BoardLook& look)
{
    m_timer.Stop();
    m_look = look;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_dealt = false;
    m_frameShown = false;
    m_layout = LayOutBoard(m_width, m_height, look.cellSize, kMaxCellPixels);
    m_game.SetOptions(look.play);
    m_frames = m_canvas.PrepareStrip(m_layout.cellSize, look.fill);
    m_game.SetFrames(m_frames);
    m_game.Resize(m_layout.cols, m_layout.rows);
    Show(m_game.NewBoard());
    if (!m_dealt)
        m_canvas.FillArea({0, 0, m_width, m_height});
}

void BoardPresenter::Apply(const BoardLook& look)
{
    // Only what changed is redone: a new speed must not deal a new board.
    if (look.cellSize != m_look.cellSize || !SameFill(look.fill, m_look.fill) ||
        look.play.pattern != m_look.play.pattern || look.play.kinds != m_look.play.kinds) {
        Reset(m_width, m_height, look);
        return;
    }
    const bool newSpeed = look.stepMs != m_look.stepMs;
    m_look = look;
    m_game.SetOptions(look.play);
    if (newSpeed && Playing())
        m_timer.Start(std::max(m_look.stepMs, 0));
}

Wave BoardPresenter::Step()
{
    return Show(m_game.Tick());
}

Wave BoardPresenter::Show(const PlayReport& report)
{
    if (report.stopTimer)
        m_timer.Stop();
    m_cells.clear();
    const Board& board = m_game.GetBoard();
    if (report.frameShown && report.frame >= 0 && report.frame < m_frames) {
        m_canvas.ShowFrame(report.disappearing ? DisappearRow(report.kind) : SelectRow(report.kind), report.frame);
        m_frameShown = true;
        const GroupBox& group = board.Group();
        for (int x = group.left; x <= group.right; ++x)
            for (int y = group.top; y <= group.bottom; ++y)
                if (board.Cell(x, y) & Board::kMark)
                    m_cells.push_back({x, y});
    }
    if (report.removed) {
        // The group picked after a removal starts from its resting picture.
        m_frameShown = false;
        m_cells.insert(m_cells.end(), report.changed.begin(), report.changed.end());
    }
    if (report.dealt) {
        m_dealt = true;
        m_frameShown = false;
        Paint({0, 0, m_width, m_height});
    } else {
        for (const GridPos& cell : m_cells)
            DrawCell(cell.x, cell.y);
    }
    if (report.restartTimer)
        m_timer.Start(std::max(m_look.stepMs, 0));
    return report.wave;
}

void BoardPresenter::Paint(const ScreenRect& area)
{
    if (!m_dealt || BlackedOut() || m_frames == 0) {
        m_canvas.FillArea(area);
        return;
    }
    const Board& board = m_game.GetBoard();
    const int size = m_layout.cellSize;
    const ScreenRect grid{m_layout.offsetX, m_layout.offsetY, m_layout.offsetX + board.Cols() * size,
                          m_layout.offsetY + board.Rows() * size};
    const ScreenRect margins[] = {{area.left, area.top, area.right, std::min(area.bottom, grid.top)},
                                  {area.left, std::max(area.top, grid.bottom), area.right, area.bottom},
                                  {area.left, std::max(area.top, grid.top), std::min(area.right, grid.left),
                                   std::min(area.bottom, grid.bottom)},
                                  {std::max(area.left, grid.right), std::max(area.top, grid.top), area.right,
                                   std::min(area.bottom, grid.bottom)}};
    for (const ScreenRect& margin : margins)
        if (margin.left < margin.right && margin.top < margin.bottom)
            m_canvas.FillArea(margin);

    // Only the cells the area touches.
    const int left = std::max(area.left, grid.left) - grid.left;
    const int right = std::min(area.right, grid.right) - grid.left;
    const int top = std::max(area.top, grid.top) - grid.top;
    const int bottom = std::min(area.bottom, grid.bottom) - grid.top;
    if (left >= right || top >= bottom)
        return;
    for (int x = left / size; x <= (right - 1) / size; ++x)
        for (int y = top / size; y <= (bottom - 1) / size; ++y)
            DrawCell(x, y);
}

void BoardPresenter::DrawCell(int x, int y)
{
    const Board& board = m_game.GetBoard();
    if (x < 0 || y < 0 || x >= board.Cols() || y >= board.Rows())
        return;
    const std::uint8_t cell = board.Cell(x, y);
    int slot = cell & Board::kKindMask;
    if (slot >= kAnimSlot)
        return;
    if (m_frameShown && (cell & Board::kMark))
        slot = kAnimSlot;
    const int size = m_layout.cellSize;
    m_canvas.DrawSlot(slot, m_layout.offsetX + x * size, m_layout.offsetY + y * size);
}

void BoardPresenter::BlackOut()
{
    m_timer.Stop();
    m_game.BlackOut();
    m_canvas.FillArea({0, 0, m_width, m_height});
}

void BoardPresenter::Pause(bool paused)
{
    if (paused)
        m_timer.Stop();
    else if (Playing())
        m_timer.Start(std::max(m_look.stepMs, 0));
}
