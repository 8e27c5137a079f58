#include "board/BoardGame.h"

#include <algorithm>
#include <cstring>

void BoardGame::ClearMarks()
{
    const int left = std::max(m_nGroupLeft, 0);
    const int right = std::min(m_nGroupRight, m_nCols - 1);
    const int top = std::max(m_nGroupTop, 0);
    const int bottom = std::min(m_nGroupBottom, m_nRows - 1);
    for (int x = left; x <= right; ++x)
        for (int y = top; y <= bottom; ++y)
            m_board[x][y] &= kKindMask;
}

int BoardGame::SelectGroup(int x, int y)
{
    if (!HasGame())
        return 0;
    ClearMarks();
    m_nGroupSize = 0;
    if (!InGrid(x, y)) {
        ResetGroupBox();
        return 0;
    }
    m_nGroupLeft = m_nGroupRight = x;
    m_nGroupTop = m_nGroupBottom = y;
    // A stray mark outside the last box must not become the value searched
    // for; start from the kind alone.
    const std::uint8_t v = m_board[x][y] & kKindMask;
    if (v == 0)
        return 0;
    m_board[x][y] = static_cast<std::uint8_t>(v | kMark);
    m_nGroupSize = MarkNeighbours(x, y, v, 1);
    return m_nGroupSize;
}

// Depth-first over an explicit stack: a group may fill the whole grid, far
// deeper than a recursion could safely go. Each cell is pushed once, when it
// is marked, so the stack never holds more than the cells in use.
int BoardGame::MarkNeighbours(int x, int y, int v, int n)
{
    // Only an unmarked piece value can be searched: marking must change
    // every cell it matches, or the search would never end.
    if (!InGrid(x, y) || v <= 0 || v > kKindMask)
        return n;
    std::uint16_t* const stack = m_fillStack.get();
    int top = 0;
    stack[top++] = static_cast<std::uint16_t>(x * kMaxRows + y);

    auto visit = [&](int nx, int ny) {
        std::uint8_t& cell = m_board[nx][ny];
        if (cell != v)
            return;
        cell = static_cast<std::uint8_t>(cell | kMark);
        m_nGroupLeft = std::min(m_nGroupLeft, nx);
        m_nGroupRight = std::max(m_nGroupRight, nx);
        m_nGroupTop = std::min(m_nGroupTop, ny);
        m_nGroupBottom = std::max(m_nGroupBottom, ny);
        ++n;
        stack[top++] = static_cast<std::uint16_t>(nx * kMaxRows + ny);
    };

    while (top > 0) {
        const int index = stack[--top];
        const int cx = index / kMaxRows;
        const int cy = index % kMaxRows;
        if (cy > 0)
            visit(cx, cy - 1);
        if (cy < m_nRows - 1)
            visit(cx, cy + 1);
        if (cx > 0)
            visit(cx - 1, cy);
        if (cx < m_nCols - 1)
            visit(cx + 1, cy);
    }
    return n;
}

GridPos BoardGame::PickGroup()
{
    if (!HasGame())
        return {};
    for (int attempt = 0; attempt < 10; ++attempt) {
        int occupied = 0;
        for (int c = m_nCols - 1; c >= 0; --c) {
            if (m_board[c][m_nRows - 1] != 0) {
                occupied = c + 1;
                break;
            }
        }
        const int x = Random(occupied);
        int top = 0;
        while (top < m_nRows && m_board[x][top] == 0)
            ++top;
        const int y = top + Random(m_nRows - top);
        if (SelectGroup(x, y) > 1) {
            if (m_pObserver)
                m_pObserver->GroupPicked(*this, x, y, m_nGroupSize);
            m_nSelectCycles = 0;
            return {x, y};
        }
    }
    // Ten lone pieces in a row: take the pair the last scan found.
    const GridPos pair{m_nSelX, m_nSelY};
    SelectGroup(pair.x, pair.y);
    if (m_pObserver)
        m_pObserver->GroupPicked(*this, pair.x, pair.y, m_nGroupSize);
    m_nSelectCycles = 0;
    return pair;
}

void BoardGame::RemoveGroup()
{
    if (!HasGame())
        return;
    const int left = std::clamp(m_nGroupLeft, 0, m_nCols - 1);
    const int right = std::clamp(m_nGroupRight, left, m_nCols - 1);
    const int top = std::clamp(m_nGroupTop, 0, m_nRows - 1);
    const int bottom = std::clamp(m_nGroupBottom, top, m_nRows - 1);

    // Nothing left of the group can change, so the snapshot starts there.
    std::uint8_t* const snapshot = m_snapshot.get();
    std::memcpy(snapshot + left * kMaxRows, m_board[left],
                static_cast<std::size_t>(m_nCols - left) * kMaxRows);

    for (int x = left; x <= right; ++x)
        for (int y = top; y <= bottom; ++y)
            if (m_board[x][y] >= kMark)
                m_board[x][y] = 0;

    // Pieces fall: each column's pile above the group closes up, in order.
    for (int x = left; x <= right; ++x) {
        std::uint8_t* const column = m_board[x];
        int to = bottom;
        for (int from = bottom; from >= 0; --from) {
            if (column[from] == 0) {
                if (from < top)
                    break;  // above the group the pile has no holes
                continue;
            }
            if (from != to) {
                column[to] = column[from];
                column[from] = 0;
            }
            --to;
        }
    }

    // Empty columns close up to the left.
    const int lastRow = m_nRows - 1;
    int last = -1;
    bool anyEmpty = false;
    for (int x = left; x < m_nCols; ++x) {
        if (m_board[x][lastRow] != 0)
            last = x;
        else
            anyEmpty = true;
    }
    if (last < 0)
        last = std::min(left + 1, m_nCols - 1);
    int redrawRight = right;
    if (anyEmpty) {
        int to = left;
        for (int from = left; from <= last; ++from) {
            if (m_board[from][lastRow] == 0)
                continue;
            if (from != to) {
                std::memcpy(m_board[to], m_board[from], static_cast<std::size_t>(m_nRows));
                std::memset(m_board[from], 0, static_cast<std::size_t>(m_nRows));
            }
            ++to;
        }
        redrawRight = std::max(last, right);
    }

    for (int x = left; x <= redrawRight; ++x) {
        const std::uint8_t* const before = snapshot + x * kMaxRows;
        if (std::memcmp(before, m_board[x], static_cast<std::size_t>(m_nRows)) == 0)
            continue;
        for (int y = 0; y < m_nRows; ++y)
            if (m_board[x][y] != before[y])
                m_effects.DrawCell(x, y, m_board[x][y]);
    }

    ResetGroupBox();
    m_nGroupSize = 0;
    if (m_pObserver)
        m_pObserver->GroupRemoved(*this, m_nSelectCycles);
}
