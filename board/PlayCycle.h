#pragma once
#include "board/Board.h"


// What a game takes from the settings.
struct PlayOptions {
    int pattern = 1;               // CellArr
    int kinds = 5;                 // CellNo; out of 3..5 plays five
    bool stillFirstFrame = false;  // AnimBMPOption: frame 0 is the piece at rest only
};

enum class Wave { None, Select, Disappear };

// Follows the course of a game without taking part in it: the simulator's
// trace and the property tests listen here; the window needs none.
class PlayObserver {
public:
    virtual ~PlayObserver() = default;
    // A new board, before its first group is picked.
    virtual void BoardDealt(const Board& board) = 0;
    virtual void GroupPicked(const Board& board, GridPos pos, int size) = 0;
    // After the removal, before the next pick or deal.
    virtual void GroupRemoved(const Board& board, int selectionCycles) = 0;
};

// What a step of play did, for the window to draw and sound. Removal,
// deal and pick happen in this order within one step.
struct PlayReport {
    // Frame `frame` of kind `kind`'s selection (or disappearing) animation
    // shows on the marked cells of the group.
    bool frameShown = false;
    bool disappearing = false;
    int kind = 0;
    int frame = 0;
    Wave wave = Wave::None;

    // A group went; `changed` lists the cells whose value changed.
    bool removed = false;
    int selectionCycles = 0;
    ChangedCells changed;

    bool dealt = false;  // a new board: every cell is new

    bool restartTimer = false;  // a new group: its animation starts now
    bool stopTimer = false;     // nothing left to animate
};

// The course of a game: a new board, then one step per animation tick.
// Each selection cycle shows every frame column; after a cycle the group
// starts disappearing with a chance of 2 in 5, and after its disappearing
// cycle it is removed and the next group picked, or a new board dealt.
class PlayCycle {
public:
    explicit PlayCycle(RandomSource& random) : m_board(random) {}

    void SetOptions(const PlayOptions& options) { m_options = options; }
    void SetObserver(PlayObserver* observer) { m_observer = observer; }
    // Frame columns of the piece image; 0 while there is none, and then
    // nothing is dealt or played.
    void SetFrames(int frames);
    void Resize(int cols, int rows) { m_board.Resize(cols, rows); }

    PlayReport NewBoard();
    PlayReport Tick();
    // Stops play until the next board: a tick still queued does nothing.
    void BlackOut() { m_blackedOut = true; }
    bool BlackedOut() const { return m_blackedOut; }

    const Board& GetBoard() const { return m_board; }
    Board& GetBoard() { return m_board; }

private:
    int KindCount() const;
    void Deal(PlayReport& report);
    void Pick(PlayReport& report);
    void EndOfCycle(PlayReport& report);

    Board m_board;
    PlayOptions m_options;
    PlayObserver* m_observer = nullptr;
    int m_frames = 0;
    int m_frame = 0;
    GridPos m_sel;
    bool m_disappearing = false;
    bool m_blackedOut = false;
    int m_selectCycles = 0;
};
