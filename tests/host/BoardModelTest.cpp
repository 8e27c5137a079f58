// Grid layout, board generation and the pair scan.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace boardtest;

namespace {

TEST(BoardLayout, GridSizeAndOffsetsFollowTheClientArea)
{
    struct Case { int w, h, cell; int cols, rows, offX, offY, cellAfter; };
    const Case cases[] = {
        {100, 70, 18, 5, 3, 5, 8, 18},
        {3840, 2160, 32, 120, 67, 0, 8, 32},        // beyond the old 100 columns
        {7680, 4320, 32, 240, 135, 0, 0, 32},       // exactly the capacity
        {8000, 5000, 32, 240, 135, 160, 340, 32},   // clamped, still centred
        {20000, 20000, 1, 240, 135, 9880, 9932, 1},
        {101, 71, 2, 50, 35, 0, 0, 2},               // odd pixel to the right/bottom
        {64, 32, 32, 2, 1, 0, 0, 32},                // two cells: a game
        {32, 64, 32, 1, 2, 0, 0, 32},
        {32, 32, 32, 0, 0, 16, 16, 32},              // one cell: no game
        {31, 500, 32, 0, 0, 15, 250, 32},
        {0, 0, 32, 0, 0, 0, 0, 32},
        {-50, -20, 32, 0, 0, 0, 0, 32},
        {100, 70, 0, 100, 70, 0, 0, 1},              // cell size brought into 1..128
        {100, 70, -7, 100, 70, 0, 0, 1},
        {1000, 800, 500, 7, 6, 52, 16, 128},
    };
    for (const Case& c : cases) {
        ScriptedRandom random;
        Table t(random);
        t.game.CellSize = c.cell;
        t.game.ComputeLayout(c.w, c.h);
        const BoardGame& g = t.game;
        EXPECT_EQ(g.m_nCols, c.cols) << c.w << "x" << c.h << " at " << c.cell;
        EXPECT_EQ(g.m_nRows, c.rows) << c.w << "x" << c.h << " at " << c.cell;
        EXPECT_EQ(g.m_nOffsetX, c.offX) << c.w << "x" << c.h << " at " << c.cell;
        EXPECT_EQ(g.m_nOffsetY, c.offY) << c.w << "x" << c.h << " at " << c.cell;
        EXPECT_EQ(g.CellSize, c.cellAfter) << c.w << "x" << c.h << " at " << c.cell;
        EXPECT_EQ(g.HasGame(), c.cols * c.rows >= 2) << c.w << "x" << c.h << " at " << c.cell;
    }
}

TEST(BoardLayout, WindowSmallerThanTwoCellsStartsNoGame)
{
    for (int size : {0, 1, 31, 32, 63}) {
        ScriptedRandom random;
        Table t(random);
        t.game.ComputeLayout(size, 32);
        t.game.NewBoard();
        EXPECT_EQ(t.effects.Only("cell").size(), 0u) << "width " << size;
        EXPECT_EQ(t.effects.Only("timer").size(), 0u) << "width " << size;
        EXPECT_EQ(t.game.m_nSelX, -1) << "width " << size;
        EXPECT_EQ(random.draws, 0) << "width " << size;
        t.game.OnTimer(1);  // a stray tick finds nothing to animate
        EXPECT_EQ(t.effects.Only("frame").size(), 0u) << "width " << size;
    }
}

TEST(BoardLayout, NothingPlaysWithoutAnImage)
{
    ScriptedRandom random;
    RecordingEffects effects;
    BoardGame game(random, effects);
    game.ComputeLayout(640, 480);
    game.GenerateBoard();
    game.NewBoard();
    game.OnTimer(1);
    EXPECT_TRUE(effects.log.empty()) << "first effect: " << effects.log.front();
    EXPECT_EQ(random.draws, 0);
    EXPECT_FALSE(game.SetImage(0));
    EXPECT_FALSE(game.HasImage());
    EXPECT_TRUE(game.SetImage(1));
    EXPECT_TRUE(game.HasImage());
}

// Small boards with a scripted source pin the order of the draws.
TEST(BoardGenerate, PatternsFillInTheirOrderOfDraws)
{
    struct Case {
        const char* name; int pattern; int cols, rows; std::vector<int> kinds;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"random, column by column", 1, 3, 2, {1, 2, 3, 4, 5, 1}, {"135", "241"}},
        {"h-line", 4, 3, 2, {2, 5}, {"222", "555"}},
        {"v-line", 5, 3, 2, {2, 5, 1}, {"251", "251"}},
        {"0 plays v-line", 0, 3, 2, {3, 1, 4}, {"314", "314"}},
        {"9 plays v-line", 9, 3, 2, {3, 1, 4}, {"314", "314"}},
        {"-4 plays v-line", -4, 2, 2, {5, 2}, {"52", "52"}},
        {"square 7x5", 3, 7, 5, {1, 2, 3},
         {"1111111", "1222221", "1233321", "1222221", "1111111"}},
        {"square 5x5 single centre", 3, 5, 5, {4, 2, 5},
         {"44444", "42224", "42524", "42224", "44444"}},
        {"square 4x6", 3, 4, 6, {1, 3},
         {"1111", "1331", "1331", "1331", "1331", "1111"}},
        {"square 1x3", 3, 1, 3, {2}, {"2", "2", "2"}},
    };
    for (const Case& c : cases) {
        std::vector<int> values;
        for (int k : c.kinds)
            values.push_back(Draw(k - 1, 5));
        values.push_back(32767);  // anything after shows up as kind 5
        ScriptedRandom random(values);
        Table t(random);
        t.game.CellArr = c.pattern;
        t.game.m_nCols = c.cols;
        t.game.m_nRows = c.rows;
        t.game.GenerateBoard();
        EXPECT_EQ(Rows(t.game), c.want) << c.name;
        EXPECT_EQ(random.draws, static_cast<int>(c.kinds.size())) << c.name;
    }
}

TEST(BoardGenerate, LinePatternChoosesRowsOrColumnsPerBoard)
{
    // The first draw picks H-Line (0) or V-Line (1), then one kind per line.
    ScriptedRandom hline({Draw(0, 2), Draw(0, 5), Draw(1, 5)});
    Table h(hline);
    h.game.CellArr = 2;
    SetRows(h.game, {"000", "000"});
    h.game.GenerateBoard();
    EXPECT_EQ(Rows(h.game), (std::vector<std::string>{"111", "222"}));

    ScriptedRandom vline({Draw(1, 2), Draw(0, 5), Draw(1, 5), Draw(4, 5)});
    Table v(vline);
    v.game.CellArr = 2;
    SetRows(v.game, {"000", "000"});
    v.game.GenerateBoard();
    EXPECT_EQ(Rows(v.game), (std::vector<std::string>{"125", "125"}));

    // Over many boards both kinds of lines turn up.
    MsvcRandom random(7);
    Table t(random);
    t.game.CellArr = 2;
    t.game.m_nCols = 6;
    t.game.m_nRows = 4;
    int rowBoards = 0, columnBoards = 0;
    for (int i = 0; i < 200; ++i) {
        t.game.GenerateBoard();
        bool rowsUniform = true, colsUniform = true;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y) {
                rowsUniform = rowsUniform && t.game.m_board[x][y] == t.game.m_board[0][y];
                colsUniform = colsUniform && t.game.m_board[x][y] == t.game.m_board[x][0];
            }
        ASSERT_TRUE(rowsUniform || colsUniform) << "board " << i;
        rowBoards += rowsUniform && !colsUniform;
        columnBoards += colsUniform && !rowsUniform;
    }
    EXPECT_GT(rowBoards, 50);
    EXPECT_GT(columnBoards, 50);
}

TEST(BoardGenerate, KindsStayWithinCellNo)
{
    struct Case { int cellNo; int maxKind; };
    const Case cases[] = {{3, 3}, {4, 4}, {5, 5}, {0, 5}, {1, 5}, {2, 5}, {6, 5}, {-1, 5}, {99, 5}};
    for (const Case& c : cases) {
        MsvcRandom random(static_cast<std::uint32_t>(c.cellNo + 100));
        Table t(random);
        t.game.CellNo = c.cellNo;
        t.game.CellArr = 1;
        t.game.m_nCols = 20;
        t.game.m_nRows = 15;
        std::set<int> seen;
        for (int i = 0; i < 20; ++i) {
            t.game.GenerateBoard();
            for (int x = 0; x < 20; ++x)
                for (int y = 0; y < 15; ++y)
                    seen.insert(t.game.m_board[x][y]);
        }
        EXPECT_EQ(*seen.begin(), 1) << "CellNo " << c.cellNo;
        EXPECT_EQ(*seen.rbegin(), c.maxKind) << "CellNo " << c.cellNo;
        EXPECT_EQ(static_cast<int>(seen.size()), c.maxKind) << "CellNo " << c.cellNo;
    }
}

TEST(BoardGenerate, WritesNothingOutsideTheGrid)
{
    for (int pattern = 0; pattern <= 9; ++pattern) {
        MsvcRandom random(3);
        Table t(random);
        for (auto& column : t.game.m_board)
            for (auto& cell : column)
                cell = 9;
        t.game.CellArr = pattern;
        t.game.m_nCols = 7;
        t.game.m_nRows = 4;
        t.game.GenerateBoard();
        for (int x = 0; x < BoardGame::kMaxCols; ++x)
            for (int y = 0; y < BoardGame::kMaxRows; ++y) {
                const bool inside = x < 7 && y < 4;
                const int v = t.game.m_board[x][y];
                if (inside ? (v < 1 || v > 5) : v != 9)
                    ADD_FAILURE() << "pattern " << pattern << " cell " << x << "," << y << " = " << v;
            }
    }
}

TEST(BoardFindPair, ScansColumnsBottomUpAndStopsAtTheFirstEmptyColumn)
{
    struct Case { const char* name; std::vector<std::string> rows; GridPos want; };
    const Case cases[] = {
        {"only pair side by side in the two rightmost occupied columns",
         {"1231.", "2144."}, {2, 1}},
        {"pair above", {"13", "23", "14"}, {1, 1}},
        {"pair at the top of a full column", {"21", "23", "32"}, {0, 1}},
        {"right neighbour on the top row", {"11", "23", "32"}, {0, 0}},
        {"none on a checker board", {"1212", "2121"}, {-1, -1}},
        {"equal pieces beyond an empty column are never compared",
         {"12.33", "21.33"}, {-1, -1}},
        {"empty board", {"...", "..."}, {-1, -1}},
        {"the top of a short pile moves the scan on", {"...", "1..", "233"}, {1, 2}},
        {"an empty right neighbour never matches", {"2.", "12"}, {-1, -1}},
        {"single column", {"1", "2", "2"}, {0, 2}},
        {"single row", {"1232332"}, {4, 0}},
    };
    for (const Case& c : cases) {
        ScriptedRandom random;
        Table t(random);
        SetRows(t.game, c.rows);
        const GridPos got = t.game.FindPair();
        EXPECT_EQ(got.x, c.want.x) << c.name;
        EXPECT_EQ(got.y, c.want.y) << c.name;
        EXPECT_EQ(t.game.m_nSelX, c.want.x) << c.name << " (stored)";
        EXPECT_EQ(t.game.m_nSelY, c.want.y) << c.name << " (stored)";
    }
}

TEST(BoardFindPair, NeverLooksPastTheLastColumnInUse)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"1212", "2121"});
    // Stale pieces of a larger earlier board right of the grid.
    for (int y = 0; y < 2; ++y)
        t.game.m_board[4][y] = t.game.m_board[3][y];
    EXPECT_EQ(t.game.FindPair(), (GridPos{-1, -1}));
}

TEST(BoardNewBoard, ThrowsAwayDealsWithoutAPairThenDrawsAndStarts)
{
    // 3 x 1, Random pattern: the first deal 1 2 1 has no pair, the second 3 3 4 does.
    std::vector<int> values = {Draw(0, 5), Draw(1, 5), Draw(0, 5), Draw(2, 5), Draw(2, 5), Draw(3, 5)};
    values.push_back(0);  // PickGroup: column 0, the only piece of its pile
    ScriptedRandom random(values);
    Table t(random);
    t.game.AnimIntrvl = 70;
    SetRows(t.game, {"000"});
    t.game.NewBoard();
    const std::vector<std::string> want = {
        "stop 1", "cell 0 0 3", "cell 1 0 3", "cell 2 0 4", "timer 1 70"};
    EXPECT_EQ(t.effects.log, want);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"cc4"}));
    EXPECT_EQ(t.game.m_nSelX, 0);
    EXPECT_EQ(t.game.m_nSelY, 0);
}

// A source that never lets two neighbours match must not hang the window.
TEST(BoardNewBoard, GivesUpOnASourceThatNeverDealsAPair)
{
    class Alternating : public RandomSource {
    public:
        int Next15() override { return (m_flip = !m_flip) ? 0 : 32767; }
    private:
        bool m_flip = false;
    } random;
    RecordingEffects effects;
    BoardGame game(random, effects);
    game.SetImage(4);
    game.CellArr = 1;
    game.m_nCols = 2;
    game.m_nRows = 1;
    game.NewBoard();
    EXPECT_EQ(effects.log, (std::vector<std::string>{"stop 1"}));
    EXPECT_EQ(game.m_nSelX, -1);
    game.OnTimer(1);
    EXPECT_EQ(effects.log.size(), 1u);
}

} // namespace
