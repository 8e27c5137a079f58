#pragma once
#include "board/BoardLayout.h"
#include "board/BoardLook.h"
#include "board/PlayCycle.h"

#include <vector>

// A rectangle of screen pixels; right and bottom lie outside.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where a board is drawn. The canvas keeps a strip of cell-sized pictures:
// slot 0 the empty cell, 1..5 the kinds at rest, 6 the animation frame.
class BoardCanvas {
public:
    virtual ~BoardCanvas() = default;
    // Scales the resting pictures into the strip at `cellSize` pixels, then
    // the fills; the piece image's frame columns, 0 when there is none.
    virtual int PrepareStrip(int cellSize, const StripFill& fill) = 0;
    // Scales frame `column` of image row `row` into the animation slot.
    virtual void ShowFrame(int row, int column) = 0;
    // Copies a strip slot onto the cell whose top left corner is (x, y).
    virtual void DrawSlot(int slot, int x, int y) = 0;
    // Paints the area black.
    virtual void FillArea(const ScreenRect& area) = 0;
};

// The clock of the animation steps.
class StepTimer {
public:
    virtual ~StepTimer() = default;
    // Steps every `milliseconds` from now on, replacing any earlier start.
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
};

// Between the play cycle and a screen: it owns the game and its layout,
// draws each report onto the canvas and runs the step timer. Every front
// end hands it its size, its timer ticks and its repaints, nothing else.
class BoardPresenter {
public:
    BoardPresenter(RandomSource& random, BoardCanvas& canvas, StepTimer& timer);

    // A new size or look: lays the grid out, prepares the strip, deals and
    // paints everything.
    void Reset(int width, int height, const BoardLook& look);
    // A new look at the same size: a new cell size, fill, pattern or kind
    // count deals anew; a new speed or still-frame option lets the board in
    // play go on.
    void Apply(const BoardLook& look);
    // One animation step, drawn; the wave it asks for.
    Wave Step();
    // Draws `area` again (the screen lost it).
    void Paint(const ScreenRect& area);
    // Stops play and shows black until the next Reset.
    void BlackOut();
    // Holds the steps while another loop runs.
    void Pause(bool paused);

    bool BlackedOut() const { return m_game.BlackedOut(); }
    bool Playing() const { return m_dealt && !BlackedOut(); }
    int Frames() const { return m_frames; }
    const BoardLook& Look() const { return m_look; }
    const BoardLayout& Layout() const { return m_layout; }
    const PlayCycle& Game() const { return m_game; }

private:
    Wave Show(const PlayReport& report);
    void DrawCell(int x, int y);

    BoardCanvas& m_canvas;
    StepTimer& m_timer;
    PlayCycle m_game;
    BoardLook m_look;
    BoardLayout m_layout;
    int m_width = 0;
    int m_height = 0;
    int m_frames = 0;
    bool m_dealt = false;       // a board is in play
    bool m_frameShown = false;  // the group shows the animation slot
    std::vector<GridPos> m_cells;  // kept, so that a step does not allocate
};
