#pragma once
#include "board/BoardEffects.h"
#include "board/BoardObserver.h"
#include "base/Random.h"
#include "base/Settings.h"

#include <cstdint>
#include <memory>

// A cell of the grid; (-1, -1) stands for "none".
struct GridPos {
    int x = -1;
    int y = -1;
    bool operator==(const GridPos& o) const { return x == o.x && y == o.y; }
    bool operator!=(const GridPos& o) const { return !(*this == o); }
};

// The puzzle the saver plays with itself: the grid, its generation, the
// group search and removal, and the timer-driven animation cycle. It knows
// nothing of windows; drawing, timers and sound go out through BoardEffects.
//
// The setting members (CellSize, CellArr, CellNo, AnimIntrvl, Sound, ...)
// are inherited from Settings; owners write them directly.
class BoardGame : public Settings {
public:
    // Room for an 8K screen at 32-pixel cells.
    static constexpr int kMaxCols = 240;
    static constexpr int kMaxRows = 135;
    // Seven slots of the cell strip must fit its 896 pixels.
    static constexpr int kMaxCellSize = 128;

    static constexpr std::uint8_t kKindMask = 0x0F;
    static constexpr std::uint8_t kMark = 0x20;

    static constexpr unsigned kAnimTimer = 1;
    static constexpr unsigned kBlackOutTimer = 2;

    // Image row of the empty cell; kind k animates in rows 2k-1 and 2k.
    static int SelectRow(int kind) { return 2 * kind - 1; }
    static int DisappearRow(int kind) { return 2 * kind; }

    BoardGame(RandomSource& random, BoardEffects& effects);
    virtual ~BoardGame() = default;
    BoardGame(const BoardGame&) = delete;
    BoardGame& operator=(const BoardGame&) = delete;

    // The window owns the picture; the game only needs to know that one is
    // loaded and how many frame columns it has. Loading calls ClearImage
    // first and SetImage after a successful read; frames < 1 is refused.
    bool SetImage(int frames);
    void ClearImage();
    bool HasImage() const { return m_bImageLoaded; }

    // Grid size and offsets for a client area. Brings CellSize within
    // 1..kMaxCellSize, clamps the grid to the capacity (still centred) and
    // leaves an empty grid when fewer than two cells fit.
    void ComputeLayout(int clientWidth, int clientHeight);
    // At least two cells in use, within the capacity: a game can be played.
    bool HasGame() const;

    void GenerateBoard();
    GridPos FindPair();
    void NewBoard();

    int SelectGroup(int x, int y);
    int MarkNeighbours(int x, int y, int v, int n);
    GridPos PickGroup();
    void RemoveGroup();

    void OnTimer(unsigned id);
    void BlackOut();

    int Random(int n) { return ::Random(m_random, n); }

    // Cell byte, or 0 outside the grid in use.
    std::uint8_t Cell(int x, int y) const;
    // Kinds drawn for a new board: CellNo, or 5 when it is out of range.
    int KindCount() const;

    void SetObserver(BoardObserver* observer) { m_pObserver = observer; }

    // The grid, column-major: m_board[x][y]. Only the top-left
    // m_nCols x m_nRows cells are in play.
    std::uint8_t m_board[kMaxCols][kMaxRows] = {};
    int m_nCols = 0;
    int m_nRows = 0;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_nSelX = -1;
    int m_nSelY = -1;
    int m_nGroupLeft = 0;
    int m_nGroupRight = 0;
    int m_nGroupTop = 0;
    int m_nGroupBottom = 0;
    int m_nFrame = 0;
    int m_nFrames = 1;
    bool m_bDisappearing = false;
    bool m_bBlackedOut = false;

    // Size of the group marked by the last SelectGroup.
    int m_nGroupSize = 0;
    // Selection cycles the current group has shown.
    int m_nSelectCycles = 0;

private:
    bool InGrid(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_nCols && y < m_nRows;
    }
    void ClearMarks();
    void ResetGroupBox();
    void DrawWholeBoard();
    void AnimationStep();
    void EndOfCycle();
    unsigned AnimInterval() const;

    RandomSource& m_random;
    BoardEffects& m_effects;
    BoardObserver* m_pObserver = nullptr;
    bool m_bImageLoaded = false;

    // Allocated once here, so that play itself never allocates.
    std::unique_ptr<std::uint8_t[]> m_snapshot;
    std::unique_ptr<std::uint16_t[]> m_fillStack;
};
