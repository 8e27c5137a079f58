#pragma once
#include "base/Random.h"

#include <cstdint>
#include <memory>
#include <cstddef>

// A cell of the grid; (-1, -1) stands for "none".
struct GridPos {
    int x = -1;
    int y = -1;
    bool operator==(const GridPos& o) const { return x == o.x && y == o.y; }
    bool operator!=(const GridPos& o) const { return !(*this == o); }
};

// The cells a removal changed, column by column; valid until the next one.
struct ChangedCells {
    const GridPos* first = nullptr;
    const GridPos* last = nullptr;
    const GridPos* begin() const { return first; }
    const GridPos* end() const { return last; }
    std::size_t size() const { return static_cast<std::size_t>(last - first); }
};

// The cells a marked group spans.
struct GroupBox {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The grid of pieces and its rules: dealing, the pair scan, the group
// search and the removal, which reports the cells it changed. Cell values
// are the kind 1..5, 0 for empty, with kMark set on the marked group.
class Board {
public:
    // Room for an 8K screen at 32-pixel cells.
    static constexpr int kMaxCols = 240;
    static constexpr int kMaxRows = 135;
    static constexpr std::uint8_t kKindMask = 0x0F;
    static constexpr std::uint8_t kMark = 0x20;

    explicit Board(RandomSource& random);
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // Clamps the grid to the capacity; fewer than two cells leave no game.
    void Resize(int cols, int rows);
    int Cols() const { return m_nCols; }
    int Rows() const { return m_nRows; }
    bool HasGame() const { return m_nCols * m_nRows >= 2; }

    // Cell value, or 0 outside the grid in use.
    std::uint8_t Cell(int x, int y) const { return InGrid(x, y) ? m_board[x][y] : 0; }
    void SetCell(int x, int y, std::uint8_t value);

    // Fills the grid in a pattern (1 single cells, 2 rows or columns at
    // random, 3 rings, 4 rows, anything else columns) with 1..kinds.
    void Generate(int pattern, int kinds);
    // The first cell with a like neighbour above or to the right, scanning
    // columns left to right and each pile bottom up; remembered for PickGroup.
    GridPos FindPair();

    // Marks the group of the cell's kind around (x, y); its size.
    int SelectGroup(int x, int y);
    // A random group of two or more, or the last pair found after ten lone
    // pieces in a row.
    GridPos PickGroup();
    // Removes the marked cells, lets the piles fall and closes empty columns
    // to the left. The cells whose value changed, column by column.
    ChangedCells RemoveGroup();

    const GroupBox& Group() const { return m_group; }
    int GroupSize() const { return m_nGroupSize; }

    int Random(int n) { return ::Random(m_random, n); }

private:
    bool InGrid(int x, int y) const { return x >= 0 && y >= 0 && x < m_nCols && y < m_nRows; }
    void ClearMarks();
    int MarkNeighbours(int x, int y, int v, int n);

    RandomSource& m_random;
    // Column-major: m_board[x][y].
    std::uint8_t m_board[kMaxCols][kMaxRows] = {};
    int m_nCols = 0;
    int m_nRows = 0;
    GroupBox m_group;
    int m_nGroupSize = 0;
    GridPos m_pair;
    std::unique_ptr<GridPos[]> m_changed;
    // Allocated once, so that play itself never allocates.
    std::unique_ptr<std::uint8_t[]> m_snapshot;
    std::unique_ptr<std::uint16_t[]> m_fillStack;
};
