#include "board/Board.h"

#include <algorithm>
#include <cstring>

static_assert(Board::kMaxCols * Board::kMaxRows <= 65536,
              "the flood-fill stack stores cell indices in 16 bits");

Board::Board(RandomSource& random)
    : m_random(random),
      m_changed(new GridPos[kMaxCols * kMaxRows]),
      m_snapshot(new std::uint8_t[kMaxCols * kMaxRows]),
      m_fillStack(new std::uint16_t[kMaxCols * kMaxRows])
{
}

void Board::Resize(int cols, int rows)
{
    m_nCols = std::clamp(cols, 0, kMaxCols);
    m_nRows = std::clamp(rows, 0, kMaxRows);
    if (m_nCols * m_nRows < 2) {
        // Nowhere to find a pair: no board at all.
        m_nCols = 0;
        m_nRows = 0;
    }
    m_group = {};
    m_nGroupSize = 0;
    m_pair = {};
}

void Board::SetCell(int x, int y, std::uint8_t value)
{
    if (InGrid(x, y))
        m_board[x][y] = value;
}

void Board::Generate(int pattern, int kinds)
{
    if (!HasGame())
        return;
    m_group = {};
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

GridPos Board::FindPair()
{
    GridPos found;
    if (HasGame()) {
        int x = 0;
        int y = m_nRows - 1;
        // Empty columns are all at the right: the first one ends the scan.
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
    m_pair = found;
    return found;
}

void Board::ClearMarks()
{
    const int left = std::max(m_group.left, 0);
    const int right = std::min(m_group.right, m_nCols - 1);
    const int top = std::max(m_group.top, 0);
    const int bottom = std::min(m_group.bottom, m_nRows - 1);
    for (int x = left; x <= right; ++x)
        for (int y = top; y <= bottom; ++y)
            m_board[x][y] &= kKindMask;
}

int Board::SelectGroup(int x, int y)
{
    if (!HasGame())
        return 0;
    ClearMarks();
    m_nGroupSize = 0;
    if (!InGrid(x, y)) {
        m_group = {};
        return 0;
    }
    m_group = {x, x, y, y};
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
int Board::MarkNeighbours(int x, int y, int v, int n)
{
    std::uint16_t* const stack = m_fillStack.get();
    int top = 0;
    stack[top++] = static_cast<std::uint16_t>(x * kMaxRows + y);

    auto visit = [&](int nx, int ny) {
        std::uint8_t& cell = m_board[nx][ny];
        if (cell != v)
            return;
        cell = static_cast<std::uint8_t>(cell | kMark);
        m_group.left = std::min(m_group.left, nx);
        m_group.right = std::max(m_group.right, nx);
        m_group.top = std::min(m_group.top, ny);
        m_group.bottom = std::max(m_group.bottom, ny);
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

GridPos Board::PickGroup()
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
        if (SelectGroup(x, y) > 1)
            return {x, y};
    }
    SelectGroup(m_pair.x, m_pair.y);
    return m_pair;
}

ChangedCells Board::RemoveGroup()
{
    GridPos* const changed = m_changed.get();
    GridPos* out = changed;
    if (!HasGame())
        return {changed, out};
    const int left = std::clamp(m_group.left, 0, m_nCols - 1);
    const int right = std::clamp(m_group.right, left, m_nCols - 1);
    const int top = std::clamp(m_group.top, 0, m_nRows - 1);
    const int bottom = std::clamp(m_group.bottom, top, m_nRows - 1);

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
    int changedRight = right;
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
        changedRight = std::max(last, right);
    }

    for (int x = left; x <= changedRight; ++x) {
        const std::uint8_t* const before = snapshot + x * kMaxRows;
        if (std::memcmp(before, m_board[x], static_cast<std::size_t>(m_nRows)) == 0)
            continue;
        for (int y = 0; y < m_nRows; ++y)
            if (m_board[x][y] != before[y])
                *out++ = {x, y};
    }

    m_group = {};
    m_nGroupSize = 0;
    return {changed, out};
}
