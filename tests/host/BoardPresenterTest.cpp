// The presenter's own rules, on a canvas that remembers which strip slot
// (and which frame) each pixel shows: what each step draws, what a new look
// redoes, the step timer, pausing, the black-out and repainting part of
// the screen.
#include "board/BoardPresenter.h"

#include "base/Random.h"
#include "image/PieceLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kBlack = -1;
constexpr int kNoFrame = -1;
// What an animation slot drawn after ShowFrame(row, column) shows.
int Frame(int row, int column) { return 100 + row * 16 + column; }

struct SlotCanvas : BoardCanvas {
    SlotCanvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, -2) {}
    int PrepareStrip(int size, const StripFill&) override { ++strips, cellSize = size; return frames; }
    void ShowFrame(int row, int column) override { frame = Frame(row, column); }
    void DrawSlot(int slot, int x, int y) override
    {
        ++draws;
        Fill({x, y, x + cellSize, y + cellSize}, slot == kAnimSlot ? frame : slot);
    }
    void FillArea(const ScreenRect& area) override { Fill(area, kBlack); }
    void Fill(const ScreenRect& r, int value)
    {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x)
                pixels[static_cast<std::size_t>(y) * width + x] = value;
    }
    int At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool AllBlack() const { return std::all_of(pixels.begin(), pixels.end(), [](int p) { return p == kBlack; }); }

    int width, height;
    std::vector<int> pixels;
    int frames = 3, frame = kNoFrame, cellSize = 0, strips = 0, draws = 0;
};

struct Timer : StepTimer {
    void Start(int ms) override { on = true, interval = ms, ++starts; }
    void Stop() override { on = false; }
    bool on = false;
    int interval = 0, starts = 0;
};

struct Played {
    MsvcRandom random{3};
    SlotCanvas canvas{200, 120};
    Timer timer;
    BoardPresenter board{random, canvas, timer};
};

// Each cell shows its kind, the group `frame` while one is shown; the
// margin is black.
std::string CellsDiff(const Played& p, int frame = kNoFrame)
{
    const Board& b = p.board.Game().GetBoard();
    const BoardLayout& l = p.board.Layout();
    for (int x = 0; x < b.Cols(); ++x)
        for (int y = 0; y < b.Rows(); ++y) {
            const int got = p.canvas.At(l.offsetX + x * l.cellSize, l.offsetY + y * l.cellSize);
            const bool animated = frame != kNoFrame && (b.Cell(x, y) & Board::kMark);
            if (got != (animated ? frame : b.Cell(x, y) & Board::kKindMask))
                return "cell " + std::to_string(x) + "," + std::to_string(y) + " shows " + std::to_string(got);
        }
    const bool margin = l.offsetX > 0 || l.offsetY > 0;
    return !margin || p.canvas.At(0, 0) == kBlack ? "" : "the margin is not black";
}

// Against a twin game drawing the same numbers: the group shows the frame
// each report names until it goes, removals and deals are drawn, the wave
// is passed on and the timer restarts when a report says so.
TEST(BoardPresenterTest, EachStepDrawsWhatItsReportSays)
{
    for (bool still : {false, true}) {
        Played p;
        BoardLook look;
        look.cellSize = 40, look.play.stillFirstFrame = still;
        p.board.Reset(200, 120, look);
        MsvcRandom twinRandom{3};
        PlayCycle twin(twinRandom);
        twin.SetOptions(look.play);
        twin.SetFrames(p.canvas.frames);
        twin.Resize(p.board.Layout().cols, p.board.Layout().rows);
        twin.NewBoard();
        int frame = kNoFrame, removals = 0, deals = 0;
        for (int step = 0; step < 300; ++step) {
            const PlayReport r = twin.Tick();
            p.timer.starts = 0;
            EXPECT_EQ(p.board.Step(), r.wave) << "step " << step;
            if (r.frameShown)
                frame = Frame(r.disappearing ? DisappearRow(r.kind) : SelectRow(r.kind), r.frame);
            if (r.removed || r.dealt)
                frame = kNoFrame;
            removals += r.removed, deals += r.dealt;
            EXPECT_EQ(p.timer.starts, r.restartTimer ? 1 : 0) << "step " << step;
            ASSERT_EQ(CellsDiff(p, frame), "") << "step " << step << ", still " << still;
        }
        EXPECT_GT(removals, 3);
        EXPECT_GT(deals, 1);
    }
}

TEST(BoardPresenterTest, ANewLookRedoesOnlyWhatItChanges)
{
    BoardLook start;
    start.cellSize = 20, start.stepMs = 40;
    const struct { const char* name; void (*change)(BoardLook&); bool deals; } cases[] = {
        {"speed", [](BoardLook& l) { l.stepMs = 90; }, false},
        {"still first frame", [](BoardLook& l) { l.play.stillFirstFrame = true; }, false},
        {"pattern", [](BoardLook& l) { l.play.pattern = 4; }, true},
        {"kinds", [](BoardLook& l) { l.play.kinds = 3; }, true},
        {"cell size", [](BoardLook& l) { l.cellSize = 24; }, true},
        {"fill colour", [](BoardLook& l) { l.fill.colour = 0x010203; }, true},
        {"pieces filled", [](BoardLook& l) { l.fill.pieces = true; }, true},
        {"empty cells filled", [](BoardLook& l) { l.fill.emptyCells = true; }, true},
    };
    for (const auto& c : cases) {
        Played p;
        p.board.Reset(200, 120, start);
        for (int step = 0; step < 7; ++step)
            p.board.Step();
        const std::vector<int> before = p.canvas.pixels;
        BoardLook look = start;
        c.change(look);
        const int starts = p.timer.starts;
        p.board.Apply(look);
        EXPECT_EQ(p.canvas.strips, c.deals ? 2 : 1) << c.name;
        EXPECT_EQ(p.timer.starts > starts, c.deals || look.stepMs != start.stepMs) << c.name;
        EXPECT_EQ(p.timer.interval, look.stepMs) << c.name;
        if (c.deals)
            EXPECT_EQ(CellsDiff(p), "") << c.name;
        else
            EXPECT_TRUE(p.canvas.pixels == before) << c.name << ": the board in play was redrawn";
    }
}

TEST(BoardPresenterTest, TheTimerRunsWhileABoardPlays)
{
    Played p;
    BoardLook look;
    look.stepMs = 25;
    p.board.Reset(200, 120, look);
    EXPECT_TRUE(p.timer.on && p.timer.interval == 25);
    p.board.Pause(true);
    EXPECT_FALSE(p.timer.on);
    p.board.Pause(false);
    EXPECT_TRUE(p.timer.on && p.timer.interval == 25);

    // Black until the next board, whatever comes meanwhile.
    p.board.BlackOut();
    EXPECT_FALSE(p.timer.on);
    EXPECT_TRUE(p.canvas.AllBlack());
    p.board.Step();
    p.board.Pause(false);
    p.board.Paint({0, 0, 200, 120});
    EXPECT_FALSE(p.timer.on);
    EXPECT_TRUE(p.canvas.AllBlack()) << "the board shows through the black-out";
    p.board.Reset(200, 120, look);
    EXPECT_TRUE(p.timer.on);
    EXPECT_EQ(CellsDiff(p), "");

    // No piece image, or no room for two cells: black and still.
    p.canvas.frames = 0;
    p.board.Reset(200, 120, look);
    EXPECT_FALSE(p.timer.on);
    EXPECT_TRUE(p.canvas.AllBlack());
    p.canvas.frames = 3;
    p.board.Reset(30, 20, look);
    EXPECT_FALSE(p.timer.on);
}

// A repaint draws the cells the area touches, and no others.
TEST(BoardPresenterTest, ARepaintDrawsWhatTheAreaTouches)
{
    BoardLook look;
    look.cellSize = 16;
    for (const ScreenRect& area : {ScreenRect{0, 0, 200, 120}, ScreenRect{0, 0, 5, 5}, ScreenRect{20, 11, 37, 12},
                                   ScreenRect{195, 100, 200, 120}, ScreenRect{-10, -10, 500, 500}}) {
        Played p;
        p.board.Reset(200, 120, look);
        p.board.Step();
        const std::vector<int> whole = p.canvas.pixels;
        std::fill(p.canvas.pixels.begin(), p.canvas.pixels.end(), -2);
        p.canvas.draws = 0;
        p.board.Paint(area);
        const BoardLayout& l = p.board.Layout();
        int touched = 0;
        for (int x = 0; x < l.cols; ++x)
            for (int y = 0; y < l.rows; ++y) {
                const int left = l.offsetX + x * 16, top = l.offsetY + y * 16;
                touched += left < area.right && left + 16 > area.left && top < area.bottom && top + 16 > area.top;
            }
        EXPECT_EQ(p.canvas.draws, touched) << area.left << "," << area.top;
        for (int y = std::max(area.top, 0); y < std::min(area.bottom, 120); ++y)
            for (int x = std::max(area.left, 0); x < std::min(area.right, 200); ++x)
                ASSERT_EQ(p.canvas.At(x, y), whole[static_cast<std::size_t>(y) * 200 + x]) << x << "," << y;
    }
}

} // namespace
