// The board's rules to the cell, its layout, and what the play cycle reports.
// Whole games, the draws of dealing and picking included, are held against a
// model of the rules by the simulator's trace check.
#include "board/Board.h"
#include "board/BoardLayout.h"
#include "board/PlayCycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Hands out the given values in turn, then repeats the last one.
struct ScriptedRandom : RandomSource {
    explicit ScriptedRandom(std::vector<int> v = {0}) : values(std::move(v)) {}
    int Next15() override { return values[std::min<std::size_t>(draws++, values.size() - 1)]; }
    std::vector<int> values;
    std::size_t draws = 0;
};

// The smallest 15-bit value for which Random(n) gives `value`.
int Draw(int value, int n) { return (value * 32768 + n - 1) / n; }
int Kind(int kind) { return Draw(kind - 1, 5); }

using Grid = std::vector<std::string>;

// Rows of digits, '.' empty. A stale copy of the last column and row lies
// just outside the grid, where no rule may look.
void SetRows(Board& b, const Grid& rows)
{
    const int cols = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    b.Resize(cols + 1, height + 1);
    for (int x = 0; x <= cols; ++x)
        for (int y = 0; y <= height; ++y) {
            const char c = rows[std::min(y, height - 1)][std::min(x, cols - 1)];
            b.SetCell(x, y, static_cast<std::uint8_t>(c == '.' ? 0 : c - '0'));
        }
    b.Resize(cols, height);
}

// Kinds as digits, marked cells as letters a..e, empty cells as '.'.
Grid Rows(const Board& b)
{
    Grid rows(b.Rows());
    for (int y = 0; y < b.Rows(); ++y)
        for (int x = 0; x < b.Cols(); ++x) {
            const int v = b.Cell(x, y);
            rows[y] += static_cast<char>(v == 0 ? '.' : v & Board::kMark ? 'a' + (v & Board::kKindMask) - 1 : '0' + v);
        }
    return rows;
}

std::string Str(GridPos p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
std::string Str(int a, int b) { return Str(GridPos{a, b}); }
std::string Box(const GroupBox& g) { return Str(g.left, g.right) + " " + Str(g.top, g.bottom); }

TEST(BoardLayout, WholeCellsCentredWithinTheCapacity)
{
    const struct { int w, h, cell; const char* want; } cases[] = {
        // cols,rows offsetX,offsetY cell
        {100, 70, 18, "5,3 5,8 18"},   {3840, 2160, 32, "120,67 0,8 32"},
        {8000, 5000, 32, "240,135 160,340 32"},  // clamped, still centred
        {64, 32, 32, "2,1 0,0 32"},    {32, 32, 32, "0,0 16,16 32"},  // one cell is no game
        {-50, -20, 32, "0,0 0,0 32"},  {100, 70, 0, "100,70 0,0 1"}, {1000, 800, 500, "7,6 52,16 128"},
    };
    for (const auto& c : cases) {
        const BoardLayout l = LayOutBoard(c.w, c.h, c.cell, 128);
        EXPECT_EQ(Str(l.cols, l.rows) + " " + Str(l.offsetX, l.offsetY) + " " + std::to_string(l.cellSize), c.want)
            << c.w << "x" << c.h << " at " << c.cell;
    }
}

// CellSize is meant at 96 DPI: the same size to the eye on any display.
TEST(BoardLayout, CellPixelsFollowTheDisplayDpi)
{
    const int kMax = 2147483647;
    const struct { int cell, dpi, want; } cases[] = {
        {32, 96, 32}, {32, 144, 48}, {128, 480, 640}, {18, 120, 23}, {32, 110, 37},  // to the nearest pixel, halves up
        {32, 0, 32}, {32, 47, 32}, {32, 961, 32},  // no display's DPI
        {kMax, 192, 640}, {0, 144, 1}, {-kMax - 1, 192, 1},  // what a strip holds
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellPixels(c.cell, c.dpi), c.want) << "CellSize " << c.cell << " at " << c.dpi << " DPI";
}

TEST(Board, FindPairScansColumnsBottomUpAndStopsAtTheFirstEmptyColumn)
{
    const struct { const char* name; Grid rows; GridPos want; } cases[] = {
        {"only pair in the two rightmost occupied columns", {"1231.", "2144."}, {2, 1}},
        {"right neighbour on the top row", {"11", "23", "32"}, {0, 0}},
        {"never compared across an empty column", {"12.33", "21.33"}, {-1, -1}},
        {"the top of a short pile moves the scan on", {"...", "1..", "233"}, {1, 2}},
        {"an empty right neighbour never matches", {"2.", "12"}, {-1, -1}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        Board b(random);
        SetRows(b, c.rows);
        EXPECT_EQ(Str(b.FindPair()), Str(c.want)) << c.name;
    }
}

// SelectGroup first clears the marks of the last group; RemoveGroup takes
// the group away, piles close up, emptied columns close to the left, and
// exactly the cells that changed are reported, column by column.
TEST(Board, SelectThenRemove)
{
    const struct { const char* name; Grid rows; int x, y, count; const char* box; Grid marked, after; } cases[] = {
        {"ring around a foreign pair", {"1112", "2212", "1112"}, 0, 0, 7, "0,2 0,2", {"aaa2", "22a2", "aaa2"},
         {"..2.", "..2.", "222."}},
        {"the pair inside", {"1112", "2212", "1112"}, 1, 1, 2, "0,1 1,1", {"1112", "bb12", "1112"},
         {"..12", "1112", "1112"}},
        {"the rightmost column", {"1112", "2212", "1112"}, 3, 0, 3, "3,3 0,2", {"111b", "221b", "111b"},
         {"111.", "221.", "111."}},
        {"a spiral grows the box every way, then empties the board", {"33333", "3...3", "3.3.3", "3.333"}, 2, 2,
         14, "0,4 0,3", {"ccccc", "c...c", "c.c.c", "c.ccc"}, {".....", ".....", ".....", "....."}},
        {"a whole column: everything right of it moves one left", {"1324", "2315"}, 1, 1, 2, "1,1 0,1",
         {"1c24", "2c15"}, {"124.", "215."}},
        {"three columns, the middle one emptied", {"4351", "3332"}, 1, 1, 4, "0,2 0,1", {"4c51", "ccc2"},
         {"..1.", "452."}},
        {"pieces above fall by the cells removed below them", {"4...", "5.3.", "1131", "2112"}, 0, 2, 4, "0,2 2,3",
         {"4...", "5.3.", "aa31", "2aa2"}, {"....", "4...", "531.", "232."}},
        {"columns outside the box keep their piles", {"3..2", "3..2", "1..4", "1..4", "5115"}, 1, 4, 2, "1,2 4,4",
         {"3..2", "3..2", "1..4", "1..4", "5aa5"}, {"32..", "32..", "14..", "14..", "55.."}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        Board b(random);
        SetRows(b, c.rows);
        b.SelectGroup(b.Cols() - 1, b.Rows() - 1);
        EXPECT_EQ(b.SelectGroup(c.x, c.y), c.count) << c.name;
        EXPECT_EQ(Box(b.Group()), c.box) << c.name;
        EXPECT_EQ(Rows(b), c.marked) << c.name;
        std::string want, got;
        for (std::size_t x = 0; x < c.rows[0].size(); ++x)
            for (std::size_t y = 0; y < c.rows.size(); ++y)
                if (c.marked[y][x] != c.after[y][x])
                    want += Str(GridPos{int(x), int(y)}) + " ";
        for (const GridPos& p : b.RemoveGroup())
            got += Str(p) + " ";
        EXPECT_EQ(Rows(b), c.after) << c.name;
        EXPECT_EQ(got, want) << c.name << ": changed cells";
        EXPECT_EQ(b.GroupSize(), 0) << c.name;
    }
}

TEST(Board, SelectGroupOutsideTheGridStrayMarksAndTheWholeCapacity)
{
    ScriptedRandom random;
    Board b(random);
    SetRows(b, {"111", "111"});
    for (GridPos p : {GridPos{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {1000, 1000}})
        EXPECT_EQ(b.SelectGroup(p.x, p.y), 0) << Str(p);
    // Marks outside the last box: the start's own must not become the value
    // searched for.
    b.SetCell(1, 0, 1 | Board::kMark);
    b.SetCell(2, 1, 1 | Board::kMark);
    EXPECT_EQ(b.SelectGroup(1, 0), 5);

    // Far deeper than a recursive search could go.
    b.Resize(Board::kMaxCols, Board::kMaxRows);
    for (int x = 0; x < Board::kMaxCols; ++x)
        for (int y = 0; y < Board::kMaxRows; ++y)
            b.SetCell(x, y, 3);
    EXPECT_EQ(b.SelectGroup(120, 60), 240 * 135);
    EXPECT_EQ(Box(b.Group()), "0,239 0,134");
}

// A 3 x 2 board of columns "211": the 2s are picked, stay for a second
// selection cycle, then disappear and the 1s close up into a group.
struct Game {
    explicit Game(int frames, bool still = false) : cycle(random)
    {
        cycle.SetOptions({5, 5, still});
        cycle.SetFrames(frames);
        cycle.Resize(3, 2);
        start = cycle.NewBoard();
    }
    ScriptedRandom random{{Kind(2), Kind(1), Kind(1), 0, 0, Draw(2, 5), Draw(1, 5), 0}};
    PlayCycle cycle;
    PlayReport start;
};

// "Ss0": the selection wave, then frame 0 of the selection row.
std::string Shown(const PlayReport& r)
{
    std::string s = r.wave == Wave::Select ? "S" : r.wave == Wave::Disappear ? "D" : "";
    if (r.frameShown)
        s += (r.disappearing ? "d" : "s") + std::to_string(r.frame);
    return s;
}

// Each cycle shows its frame columns with the wave first; the group goes at
// the end of its disappearing cycle and the next one is picked.
TEST(PlayCycle, CyclesFramesAndTheRemoval)
{
    const struct { int frames; bool still; const char* want; } cases[] = {
        {4, false, "Ss0 s1 s2 s3 Ss0 s1 s2 s3 Dd0 d1 d2 d3"},
        {4, true, "Ss1 s2 s3 Ss1 s2 s3 Dd1 d2 d3"},
        {2, true, "Ss1 Ss1 Dd1"},
        {1, true, "Ss0 Ss0 Dd0"},  // a single column has nothing else to show
    };
    for (const auto& c : cases) {
        Game g(c.frames, c.still);
        EXPECT_TRUE(g.start.dealt && g.start.restartTimer);
        std::string shown;
        PlayReport r;
        for (int tick = 0; tick < 40 && !r.removed; ++tick) {
            r = g.cycle.Tick();
            shown += (shown.empty() ? "" : " ") + Shown(r);
            EXPECT_EQ(r.kind, 2) << "tick " << tick;
        }
        EXPECT_EQ(shown, c.want) << c.frames << " frames, still " << c.still;
        EXPECT_EQ(r.selectionCycles, 2);
        EXPECT_TRUE(r.restartTimer && !r.stopTimer && !r.dealt && r.changed.size() == 4);
        EXPECT_EQ(Rows(g.cycle.GetBoard()), (Grid{"aa.", "aa."})) << "the 1s closed up and were picked";
    }
}

TEST(PlayCycle, BlackOutStopsTicksUntilANewBoardStartsAfresh)
{
    Game g(4);
    for (int i = 0; i < 10; ++i)
        g.cycle.Tick();  // frame 2 of the disappearing cycle
    g.cycle.BlackOut();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Shown(g.cycle.Tick()), "") << "a tick still queued";
    const PlayReport r = g.cycle.NewBoard();
    EXPECT_TRUE(r.dealt && r.restartTimer);
    EXPECT_EQ(Shown(g.cycle.Tick()), "Ss0");
}

// Deals that never hold a pair are given up, not tried for ever; no image
// or no room is the presenter's to show.
TEST(PlayCycle, NothingIsDealtWithoutAPair)
{
    struct NoPairs : RandomSource {
        int Next15() override { return (flip = !flip) ? 0 : 32767; }
        bool flip = false;
    } noPairs;
    PlayCycle cycle(noPairs);
    cycle.SetFrames(4);
    cycle.Resize(2, 1);
    const PlayReport r = cycle.NewBoard();
    EXPECT_FALSE(r.dealt || r.restartTimer);
    EXPECT_EQ(Shown(cycle.Tick()), "");
}

} // namespace
