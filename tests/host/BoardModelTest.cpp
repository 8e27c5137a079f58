// Grid layout, board generation, the pair scan, groups and their removal,
// and the timer cycle that plays them.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace boardtest;

namespace {

int K(int kind) { return Draw(kind - 1, 5); }

std::string Box(const BoardGame& g)
{
    return Nums({g.m_nGroupLeft, g.m_nGroupRight, g.m_nGroupTop, g.m_nGroupBottom});
}

// Columns, rows, offsets and cell size; "play" when there is a game and
// NewBoard starts it, "none" when neither and nothing is drawn or animated.
TEST(BoardLayout, GridSizeOffsetsAndWhetherAGameStarts)
{
    const struct { int w, h, cell; const char* want; } cases[] = {
        {100, 70, 18, "5 3 5 8 18 play"},
        {3840, 2160, 32, "120 67 0 8 32 play"},  // beyond the old 100 columns
        {7680, 4320, 32, "240 135 0 0 32 play"},
        {8000, 5000, 32, "240 135 160 340 32 play"},  // clamped, still centred
        {20000, 20000, 1, "240 135 9880 9932 1 play"},
        {64, 32, 32, "2 1 0 0 32 play"},
        {32, 64, 32, "1 2 0 0 32 play"},
        {32, 32, 32, "0 0 16 16 32 none"},
        {-50, -20, 32, "0 0 0 0 32 none"},
        {100, 70, 0, "100 70 0 0 1 play"},  // cell size brought into 1..128
        {1000, 800, 500, "7 6 52 16 128 play"},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        Table t(random);
        BoardGame& g = t.game;
        g.CellSize = c.cell;
        g.ComputeLayout(c.w, c.h);
        g.NewBoard();
        const bool started = !t.effects.Only("timer").empty();
        g.OnTimer(1);  // without a game a stray tick finds nothing to animate
        const bool idle = t.effects.log == std::vector<std::string>{"stop 1"} && random.draws == 0;
        EXPECT_EQ(Nums({g.m_nCols, g.m_nRows, g.m_nOffsetX, g.m_nOffsetY, g.CellSize}) +
                      (g.HasGame() && started ? " play" : !g.HasGame() && idle ? " none" : " mixed"),
                  c.want) << c.w << "x" << c.h << " at " << c.cell;
    }
}

// Scripted draws pin the order in which each pattern fills the grid.
TEST(BoardGenerate, PatternsFillInTheirOrderOfDraws)
{
    const struct {
        const char* name; int pattern, cols, rows; std::vector<int> draws; std::vector<std::string> want;
    } cases[] = {
        {"random, column by column", 1, 3, 2, {K(1), K(2), K(3), K(4), K(5), K(1)}, {"135", "241"}},
        {"lines as columns", 2, 3, 2, {Draw(1, 2), K(1), K(2), K(5)}, {"125", "125"}},
        {"v-line", 5, 3, 2, {K(2), K(5), K(1)}, {"251", "251"}},
        {"0 plays v-line", 0, 3, 2, {K(3), K(1), K(4)}, {"314", "314"}},
        {"9 plays v-line", 9, 3, 2, {K(3), K(1), K(4)}, {"314", "314"}},
        {"square 7x5", 3, 7, 5, {K(1), K(2), K(3)}, {"1111111", "1222221", "1233321", "1222221", "1111111"}},
        {"square 1x3", 3, 1, 3, {K(2)}, {"2", "2", "2"}},
    };
    for (const auto& c : cases) {
        std::vector<int> values = c.draws;
        values.push_back(32767);  // a draw too many shows up as kind 5
        ScriptedRandom random(values);
        Table t(random);
        t.game.CellArr = c.pattern;
        t.game.m_nCols = c.cols;
        t.game.m_nRows = c.rows;
        t.game.GenerateBoard();
        EXPECT_EQ(Rows(t.game), c.want) << c.name;
        EXPECT_EQ(random.draws, static_cast<int>(c.draws.size())) << c.name;
    }
}

// Each board also has a copy of its last column just right of the grid:
// the scan must never reach it.
TEST(BoardFindPair, ScansColumnsBottomUpAndStopsAtTheFirstEmptyColumn)
{
    const struct { const char* name; std::vector<std::string> rows; GridPos want; } cases[] = {
        {"only pair in the two rightmost occupied columns", {"1231.", "2144."}, {2, 1}},
        {"right neighbour on the top row", {"11", "23", "32"}, {0, 0}},
        {"none on a checker board", {"1212", "2121"}, {-1, -1}},
        {"never compared across an empty column", {"12.33", "21.33"}, {-1, -1}},
        {"the top of a short pile moves the scan on", {"...", "1..", "233"}, {1, 2}},
        {"an empty right neighbour never matches", {"2.", "12"}, {-1, -1}},
        {"single row", {"1232332"}, {4, 0}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        Table t(random);
        SetRows(t.game, c.rows);
        std::memcpy(t.game.m_board[t.game.m_nCols], t.game.m_board[t.game.m_nCols - 1], BoardGame::kMaxRows);
        const GridPos got = t.game.FindPair();
        EXPECT_EQ(Str(got) + " stored " + Str({t.game.m_nSelX, t.game.m_nSelY}),
                  Str(c.want) + " stored " + Str(c.want)) << c.name;
    }
}

// A source that never deals two equal neighbours must not hang the window.
TEST(BoardNewBoard, GivesUpOnASourceThatNeverDealsAPair)
{
    struct : RandomSource {
        int Next15() override { return (flip = !flip) ? 0 : 32767; }
        bool flip = false;
    } random;
    Table t(random);
    SetRows(t.game, {"00"});
    t.game.NewBoard();
    t.game.OnTimer(1);
    EXPECT_EQ(t.effects.log, std::vector<std::string>{"stop 1"});
    EXPECT_EQ(t.game.m_nSelX, -1);
}

TEST(BoardSelectGroup, StaysInsideTheGridAndIsNotTrappedByStrayMarks)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"11", "11"});
    for (int i = 0; i < 3; ++i)  // equal stale pieces just outside the grid
        t.game.m_board[2][i] = t.game.m_board[i][2] = 1;
    EXPECT_EQ(t.game.SelectGroup(1, 1), 4);
    EXPECT_EQ(Box(t.game), "0 1 0 1");
    EXPECT_EQ(t.game.m_board[2][1] + t.game.m_board[1][2], 2) << "stale pieces were marked";
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {1000, 1000}})
        EXPECT_EQ(t.game.SelectGroup(x, y), 0) << x << "," << y;

    SetRows(t.game, {"111", "111"});
    t.game.m_board[1][0] |= BoardGame::kMark;  // outside the (empty) box
    t.game.m_board[2][1] |= BoardGame::kMark;
    EXPECT_EQ(t.game.SelectGroup(1, 0), 5);
    EXPECT_EQ(t.game.MarkNeighbours(0, 0, 0x21, 1), 1);
    EXPECT_EQ(t.game.MarkNeighbours(0, 0, 0, 1), 1);
}

// Far deeper than a recursive search could go.
TEST(BoardSelectGroup, GroupFillingTheWholeCapacity)
{
    ScriptedRandom random;
    Table t(random);
    t.game.m_nCols = BoardGame::kMaxCols;
    t.game.m_nRows = BoardGame::kMaxRows;
    std::memset(t.game.m_board, 3, sizeof t.game.m_board);
    EXPECT_EQ(t.game.SelectGroup(120, 60), 240 * 135);
    EXPECT_EQ(Box(t.game), "0 239 0 134");
    const auto* cells = &t.game.m_board[0][0];
    EXPECT_EQ(std::count(cells, cells + 240 * 135, 3 | BoardGame::kMark), 240 * 135);
}

TEST(BoardPickGroup, DrawsAColumnThenAPieceOfItsPileTenTimesAtMost)
{
    std::vector<int> nineLone(18, 0);  // column 0, its only piece: a lone 1
    nineLone.insert(nineLone.end(), {Draw(3, 4), 0});
    const struct {
        const char* name; std::vector<std::string> rows; std::vector<int> values; const char* want; int draws;
        std::vector<std::string> after;
    } cases[] = {
        {"ten lone hits fall back to the stored pair", {"1233"}, {0}, "2,0", 20, {"12cc"}},
        {"the tenth try still counts", {"1233"}, nineLone, "3,0", 20, {"12cc"}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random(c.values);
        Table t(random);
        SetRows(t.game, c.rows);
        t.game.FindPair();
        EXPECT_EQ(Str(t.game.PickGroup()), c.want) << c.name;
        EXPECT_EQ(random.draws, c.draws) << c.name;
        EXPECT_EQ(Rows(t.game), c.after) << c.name;
        EXPECT_EQ(t.game.m_nGroupSize, 2) << c.name;
    }
}

// SelectGroup first clears the marks of the last cell's group; then
// RemoveGroup takes the group away, piles close up, emptied columns close
// to the left, and exactly the changed cells are drawn, column by column.
TEST(BoardGroups, SelectThenRemove)
{
    const struct {
        const char* name; std::vector<std::string> rows; int x, y, count; const char* box;
        std::vector<std::string> marked, after;
    } cases[] = {
        {"ring around a foreign pair", {"1112", "2212", "1112"}, 0, 0, 7, "0 2 0 2", {"aaa2", "22a2", "aaa2"},
         {"0020", "0020", "2220"}},
        {"the pair inside", {"1112", "2212", "1112"}, 1, 1, 2, "0 1 1 1", {"1112", "bb12", "1112"},
         {"0012", "1112", "1112"}},
        {"the rightmost column", {"1112", "2212", "1112"}, 3, 0, 3, "3 3 0 2", {"111b", "221b", "111b"},
         {"1110", "2210", "1110"}},
        {"an empty cell", {"..", "21"}, 1, 0, 0, "1 1 0 0", {"00", "21"}, {"00", "21"}},
        {"a spiral grows the box every way, then empties the board", {"33333", "3...3", "3.3.3", "3.333"}, 2, 2,
         14, "0 4 0 3", {"ccccc", "c000c", "c0c0c", "c0ccc"}, {"00000", "00000", "00000", "00000"}},
        {"a whole column: everything right of it moves one left", {"1324", "2315"}, 1, 1, 2, "1 1 0 1",
         {"1c24", "2c15"}, {"1240", "2150"}},
        {"three columns, the middle one emptied", {"4351", "3332"}, 1, 1, 4, "0 2 0 1", {"4c51", "ccc2"},
         {"0010", "4520"}},
        {"pieces above fall by the cells removed below them", {"4...", "5.3.", "1131", "2112"}, 0, 2, 4, "0 2 2 3",
         {"4000", "5030", "aa31", "2aa2"}, {"0000", "4000", "5310", "2320"}},
        {"columns outside the box keep their piles", {"3..2", "3..2", "1..4", "1..4", "5115"}, 1, 4, 2, "1 2 4 4",
         {"3002", "3002", "1004", "1004", "5aa5"}, {"3200", "3200", "1400", "1400", "5500"}},
        {"a group high in a pile", {"2.", "11", "21", "31"}, 0, 1, 4, "0 1 1 3", {"20", "aa", "2a", "3a"},
         {"00", "20", "20", "30"}},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        Table t(random);
        SetRows(t.game, c.rows);
        t.game.SelectGroup(t.game.m_nCols - 1, t.game.m_nRows - 1);
        EXPECT_EQ(t.game.SelectGroup(c.x, c.y), c.count) << c.name;
        EXPECT_EQ(Box(t.game), c.box) << c.name;
        EXPECT_EQ(Rows(t.game), c.marked) << c.name;
        std::vector<std::string> drawn;
        for (std::size_t x = 0; x < c.rows[0].size(); ++x)
            for (std::size_t y = 0; y < c.rows.size(); ++y)
                if (c.marked[y][x] != c.after[y][x])
                    drawn.push_back("cell " + Nums({int(x), int(y), c.after[y][x] - '0'}));
        t.game.RemoveGroup();
        EXPECT_EQ(Rows(t.game), c.after) << c.name;
        EXPECT_EQ(t.effects.log, drawn) << c.name;
        EXPECT_EQ(Box(t.game), "0 0 0 0") << c.name;
    }
}

// The group of 2s (selection row 3, disappearing row 4) is marked; after
// its removal the 1s close up into a group of three. The scripted draws
// keep the selection phase once, then change: two selection cycles.
struct Scripted {
    ScriptedRandom random{{Draw(2, 5), Draw(1, 5), 0}};
};
struct Play : Scripted, Table {
    explicit Play(int frames) : Table(random, frames)
    {
        game.Select = "s.wav";
        game.Disappear = "d.wav";
        game.MIDI = "m.mid";
        SetRows(game, {"1.1", "221"});
        game.SelectGroup(game.m_nSelX = 0, game.m_nSelY = 1);
    }
    void Ticks(int n) { while (n-- > 0) game.OnTimer(1); }
};

// Cues and frames in order: "s31" is the selection cue, then row 3 column 1.
std::string CuesAndFrames(const RecordingEffects& e)
{
    std::string out;
    for (const auto& entry : e.log)
        if (entry.compare(0, 5, "wave ") == 0)
            out += entry[5];
        else if (entry.compare(0, 6, "frame ") == 0)
            out += entry.substr(6, 1) + entry.substr(8) + " ";
    return out;
}

// With 4 image columns and column 0 still, a cycle shows columns 1-3. The
// phase changes only at the end of a cycle; the group goes at the last tick.
TEST(BoardCycle, ShowsEveryFrameColumnOfEachCycleAndItsCue)
{
    const struct { const char* name; int frames, still, sound; std::string want; } cases[] = {
        {"4 columns", 4, 0, 1, "s30 31 32 33 s30 31 32 33 d40 41 42 43 "},
        {"4 columns, column 0 still", 4, 1, 1, "s31 32 33 s31 32 33 d41 42 43 "},
        {"2 columns, column 0 still", 2, 1, 1, "s31 s31 d41 "},
        {"1 column", 1, 0, 1, "s30 s30 d40 "},
        {"1 column, column 0 still: shows column 0", 1, 1, 1, "s30 s30 d40 "},
        {"sound off", 3, 0, 0, "30 31 32 30 31 32 40 41 42 "},
    };
    for (const auto& c : cases) {
        Play p(c.frames);
        p.game.AnimBMPOption = c.still;
        p.game.Sound = c.sound;
        p.Ticks(static_cast<int>(std::count(c.want.begin(), c.want.end(), ' ')));
        EXPECT_EQ(CuesAndFrames(p.effects), c.want) << c.name;
        EXPECT_EQ(p.effects.Only("stop"), std::vector<std::string>{"stop 1"}) << c.name << ": removed at the last tick";
    }
}

// Each tick draws the frame onto every marked cell; at the end the timer
// stops, the changed cells are drawn, the next group is picked and the
// timer starts again.
TEST(BoardCycle, RemovalAtTheLastTick)
{
    Play p(1);
    p.game.AnimIntrvl = 70;
    p.Ticks(2);
    p.effects.Clear();
    p.Ticks(1);
    EXPECT_EQ(p.effects.log, (std::vector<std::string>{"frame 4 0", "anim 0 1", "anim 1 1", "stop 1", "cell 0 0 0",
                                                       "cell 0 1 1", "cell 1 0 1", "cell 1 1 1", "cell 2 0 0",
                                                       "cell 2 1 0", "timer 1 70"}));
    EXPECT_EQ(Rows(p.game), (std::vector<std::string>{"0a0", "aa0"}));
    EXPECT_EQ(Str({p.game.m_nSelX, p.game.m_nSelY}), "0,1");
    EXPECT_FALSE(p.game.m_bDisappearing);
}

// Timer 2 stops everything at once; ticks still queued and other timers
// do nothing; a new board plays again, from the first frame of a
// selection with its cue, whatever phase the old one was blacked out in.
TEST(BoardCycle, BlackOutAndStrayTicks)
{
    for (int bgm : {1, 0}) {
        Play p(4);
        p.game.BGM = bgm;
        p.game.Sound = 1;
        p.Ticks(10);  // into the disappearing cycle
        ASSERT_TRUE(p.game.m_bDisappearing && p.game.m_nFrame == 2);
        p.effects.Clear();
        p.game.OnTimer(2);
        std::vector<std::string> want = {"stop 1", "stop 2", "close m.mid", "black"};
        if (!bgm)
            want.erase(want.begin() + 2);
        EXPECT_EQ(p.effects.log, want);
        EXPECT_EQ(Rows(p.game), (std::vector<std::string>{"101", "bb1"})) << "the group stays marked";
        p.effects.Clear();
        for (unsigned id : {1u, 1u, 0u, 3u, 99u})
            p.game.OnTimer(id);
        EXPECT_EQ(p.effects.log, std::vector<std::string>{});
        p.game.NewBoard();
        EXPECT_FALSE(p.game.m_bBlackedOut);
        EXPECT_EQ(p.effects.log.back(), "timer 1 50");
        p.effects.Clear();
        p.Ticks(1);
        EXPECT_EQ(CuesAndFrames(p.effects), "s10 ");
    }
}

} // namespace
