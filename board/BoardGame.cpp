#include "board/BoardGame.h"

#include <algorithm>

namespace {

// A deal without any pair is thrown away; on the smallest grids about four
// deals in five are. This many in a row only happens with a broken source,
// and then the window stays without a game rather than hang.
constexpr int kMaxDeals = 1000;

} // namespace

static_assert(BoardGame::kMaxCols * BoardGame::kMaxRows <= 65536,
              "the flood-fill stack stores cell indices in 16 bits");

BoardGame::BoardGame(RandomSource& random, BoardEffects& effects)
    : m_random(random),
      m_effects(effects),
      m_snapshot(new std::uint8_t[kMaxCols * kMaxRows]),
      m_fillStack(new std::uint16_t[kMaxCols * kMaxRows])
{
}

bool BoardGame::SetImage(int frames)
{
    if (frames < 1) {
        ClearImage();
        return false;
    }
    m_nFrames = frames;
    m_bImageLoaded = true;
    return true;
}

void BoardGame::ClearImage()
{
    m_effects.StopTimer(kAnimTimer);
    m_nSelX = -1;
    m_nSelY = -1;
    m_bImageLoaded = false;
}

void BoardGame::ComputeLayout(int clientWidth, int clientHeight)
{
    CellSize = std::clamp(CellSize, 1, kMaxCellSize);
    const int width = std::max(clientWidth, 0);
    const int height = std::max(clientHeight, 0);

    m_nCols = std::min(width / CellSize, kMaxCols);
    m_nRows = std::min(height / CellSize, kMaxRows);
    if (m_nCols * m_nRows < 2) {
        // Nowhere to find a pair: no board at all.
        m_nCols = 0;
        m_nRows = 0;
    }
    m_nOffsetX = (width - m_nCols * CellSize) / 2;
    m_nOffsetY = (height - m_nRows * CellSize) / 2;
}

bool BoardGame::HasGame() const
{
    return m_nCols >= 1 && m_nRows >= 1 && m_nCols <= kMaxCols && m_nRows <= kMaxRows &&
           m_nCols * m_nRows >= 2;
}

std::uint8_t BoardGame::Cell(int x, int y) const
{
    return HasGame() && InGrid(x, y) ? m_board[x][y] : 0;
}

int BoardGame::KindCount() const
{
    return CellNo >= 3 && CellNo <= 5 ? CellNo : 5;
}

void BoardGame::ResetGroupBox()
{
    m_nGroupRight = 0;
    m_nGroupLeft = 0;
    m_nGroupBottom = 0;
    m_nGroupTop = 0;
}

void BoardGame::GenerateBoard()
{
    if (!m_bImageLoaded || !HasGame())
        return;
    ResetGroupBox();

    const int kinds = KindCount();
    int pattern = CellArr;
    if (pattern == 2)
        pattern = 4 + Random(2);

    switch (pattern) {
    case 1:  // every cell on its own
        for (int x = 0; x < m_nCols; ++x)
            for (int y = 0; y < m_nRows; ++y)
                m_board[x][y] = static_cast<std::uint8_t>(1 + Random(kinds));
        break;
    case 3: {  // concentric rings, one kind each
        const int rings = (std::min(m_nCols, m_nRows) + 1) / 2;
        for (int k = 0; k < rings; ++k) {
            const auto kind = static_cast<std::uint8_t>(1 + Random(kinds));
            const int right = m_nCols - 1 - k;
            const int bottom = m_nRows - 1 - k;
            for (int x = k; x <= right; ++x) {
                m_board[x][k] = kind;
                m_board[x][bottom] = kind;
            }
            for (int y = k; y <= bottom; ++y) {
                m_board[k][y] = kind;
                m_board[right][y] = kind;
            }
        }
        break;
    }
    case 4:  // one kind per row
        for (int y = 0; y < m_nRows; ++y) {
            const auto kind = static_cast<std::uint8_t>(1 + Random(kinds));
            for (int x = 0; x < m_nCols; ++x)
                m_board[x][y] = kind;
        }
        break;
    default:  // one kind per column
        for (int x = 0; x < m_nCols; ++x) {
            const auto kind = static_cast<std::uint8_t>(1 + Random(kinds));
            std::fill(m_board[x], m_board[x] + m_nRows, kind);
        }
        break;
    }
}

GridPos BoardGame::FindPair()
{
    GridPos found;
    if (HasGame()) {
        int x = 0;
        int y = m_nRows - 1;
        // Columns left to right, each pile bottom up; the first empty
        // column ends the scan, as empty columns are all at the right.
        while (m_board[x][y] != 0) {
            const std::uint8_t v = m_board[x][y];
            const std::uint8_t above = y > 0 ? m_board[x][y - 1] : 0;
            const std::uint8_t right = x < m_nCols - 1 ? m_board[x + 1][y] : 0;
            if (above == v || right == v) {
                found = {x, y};
                break;
            }
            --y;
            if (y < 0 || above == 0) {
                ++x;
                y = m_nRows - 1;
                if (x >= m_nCols)
                    break;
            }
        }
    }
    m_nSelX = found.x;
    m_nSelY = found.y;
    return found;
}

void BoardGame::DrawWholeBoard()
{
    for (int x = 0; x < m_nCols; ++x)
        for (int y = 0; y < m_nRows; ++y)
            m_effects.DrawCell(x, y, m_board[x][y]);
}

void BoardGame::NewBoard()
{
    if (!m_bImageLoaded)
        return;
    m_effects.StopTimer(kAnimTimer);
    m_nFrame = 0;
    m_bBlackedOut = false;
    m_bDisappearing = false;

    GridPos pair;
    if (HasGame()) {
        for (int deal = 0; deal < kMaxDeals && pair.x < 0; ++deal) {
            GenerateBoard();
            pair = FindPair();
        }
    }
    if (pair.x < 0) {
        ResetGroupBox();
        m_nSelX = -1;
        m_nSelY = -1;
        return;
    }

    DrawWholeBoard();
    if (m_pObserver)
        m_pObserver->BoardDealt(*this);
    const GridPos picked = PickGroup();
    m_nSelX = picked.x;
    m_nSelY = picked.y;
    m_effects.RestartTimer(kAnimTimer, AnimInterval());
}

unsigned BoardGame::AnimInterval() const
{
    return static_cast<unsigned>(std::max(AnimIntrvl, 0));
}
