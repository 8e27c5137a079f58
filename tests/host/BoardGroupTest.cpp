// Marking groups, choosing the next one, and removing it.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

struct Box { int left, right, top, bottom; };

Box GroupBox(const BoardGame& g)
{
    return {g.m_nGroupLeft, g.m_nGroupRight, g.m_nGroupTop, g.m_nGroupBottom};
}

std::string Describe(const Box& b)
{
    return "l" + std::to_string(b.left) + " r" + std::to_string(b.right) + " t" +
           std::to_string(b.top) + " b" + std::to_string(b.bottom);
}

TEST(BoardSelectGroup, MarksTheConnectedCellsOfOneKind)
{
    struct Case {
        const char* name; std::vector<std::string> rows; int x, y;
        int count; Box box; std::vector<std::string> marked;
    };
    const Case cases[] = {
        {"ring around a foreign pair", {"1112", "2212", "1112"}, 0, 0,
         7, {0, 2, 0, 2}, {"aaa2", "22a2", "aaa2"}},
        {"the pair inside", {"1112", "2212", "1112"}, 1, 1,
         2, {0, 1, 1, 1}, {"1112", "bb12", "1112"}},
        {"edge column", {"1112", "2212", "1112"}, 3, 2,
         3, {3, 3, 0, 2}, {"111b", "221b", "111b"}},
        {"diagonal is no neighbour", {"12", "21"}, 0, 0, 1, {0, 0, 0, 0}, {"a2", "21"}},
        {"empty cell", {"..", "21"}, 1, 0, 0, {1, 1, 0, 0}, {"00", "21"}},
        {"spiral grows the box every way", {"33333", "3...3", "3.3.3", "3.333"}, 2, 2,
         14, {0, 4, 0, 3}, {"ccccc", "c000c", "c0c0c", "c0ccc"}},
    };
    for (const Case& c : cases) {
        ScriptedRandom random;
        Table t(random);
        SetRows(t.game, c.rows);
        EXPECT_EQ(t.game.SelectGroup(c.x, c.y), c.count) << c.name;
        EXPECT_EQ(Describe(GroupBox(t.game)), Describe(c.box)) << c.name;
        EXPECT_EQ(Rows(t.game), c.marked) << c.name;
    }
}

TEST(BoardSelectGroup, ClearsThePreviousMarkFirst)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"1112", "2212", "1112"});
    t.game.SelectGroup(0, 0);
    EXPECT_EQ(t.game.SelectGroup(3, 0), 3);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"111b", "221b", "111b"}));
    EXPECT_EQ(t.game.SelectGroup(1, 1), 2);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"1112", "bb12", "1112"}));
}

TEST(BoardSelectGroup, StaysInsideTheGridInUse)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"11", "11"});
    // Equal stale pieces just outside the grid must not join the group.
    for (int i = 0; i < 3; ++i) {
        t.game.m_board[2][i] = 1;
        t.game.m_board[i][2] = 1;
    }
    EXPECT_EQ(t.game.SelectGroup(1, 1), 4);
    EXPECT_EQ(Describe(GroupBox(t.game)), Describe({0, 1, 0, 1}));
    EXPECT_EQ(t.game.m_board[2][1], 1);
    EXPECT_EQ(t.game.m_board[1][2], 1);
    const std::pair<int, int> outside[] = {{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {1000, 1000}};
    for (auto [x, y] : outside)
        EXPECT_EQ(t.game.SelectGroup(x, y), 0) << x << "," << y;
}

TEST(BoardSelectGroup, StrayMarksCannotTrapTheSearch)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"111", "111"});
    t.game.m_board[1][0] |= BoardGame::kMark;  // outside the (empty) box
    t.game.m_board[2][1] |= BoardGame::kMark;
    EXPECT_EQ(t.game.SelectGroup(1, 0), 5);
    EXPECT_EQ(t.game.MarkNeighbours(0, 0, 0x21, 1), 1);
    EXPECT_EQ(t.game.MarkNeighbours(0, 0, 0, 1), 1);
}

TEST(BoardSelectGroup, GroupFillingTheWholeCapacity)
{
    ScriptedRandom random;
    Table t(random);
    t.game.m_nCols = BoardGame::kMaxCols;
    t.game.m_nRows = BoardGame::kMaxRows;
    for (auto& column : t.game.m_board)
        for (auto& cell : column)
            cell = 3;
    EXPECT_EQ(t.game.SelectGroup(120, 60), BoardGame::kMaxCols * BoardGame::kMaxRows);
    EXPECT_EQ(Describe(GroupBox(t.game)),
              Describe({0, BoardGame::kMaxCols - 1, 0, BoardGame::kMaxRows - 1}));
    int marked = 0;
    for (auto& column : t.game.m_board)
        for (auto& cell : column)
            marked += cell == (3 | BoardGame::kMark);
    EXPECT_EQ(marked, BoardGame::kMaxCols * BoardGame::kMaxRows);
}

TEST(BoardPickGroup, DrawsAColumnThenAPieceOfItsPile)
{
    // Columns 0..3 are occupied; column 2 holds a lone 1, column 1 a 2 of a pair.
    const std::vector<std::string> board = {"....", "22..", "1312"};
    ScriptedRandom random({Draw(2, 4), 0, Draw(1, 4), Draw(0, 2)});
    Table t(random);
    SetRows(t.game, board);
    const GridPos got = t.game.PickGroup();
    EXPECT_EQ(got, (GridPos{1, 1})) << "got " << got.x << "," << got.y;
    EXPECT_EQ(random.draws, 4);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"0000", "bb00", "1312"}));
    EXPECT_EQ(t.game.m_nGroupSize, 2);
}

TEST(BoardPickGroup, TenLoneHitsFallBackToTheStoredPair)
{
    ScriptedRandom random({0});  // always column 0, its only piece: a lone 1
    Table t(random);
    SetRows(t.game, {"1233"});
    ASSERT_EQ(t.game.FindPair(), (GridPos{2, 0}));
    const GridPos got = t.game.PickGroup();
    EXPECT_EQ(got, (GridPos{2, 0})) << "got " << got.x << "," << got.y;
    EXPECT_EQ(random.draws, 20);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"12cc"}));
}

TEST(BoardPickGroup, TheTenthTryStillCounts)
{
    std::vector<int> values(18, 0);  // nine lone hits
    values.push_back(Draw(3, 4));    // then column 3
    values.push_back(0);
    ScriptedRandom random(values);
    Table t(random);
    SetRows(t.game, {"1233"});
    t.game.FindPair();
    EXPECT_EQ(t.game.PickGroup(), (GridPos{3, 0}));
    EXPECT_EQ(random.draws, 20);
}

// The changed cells, column by column, as RemoveGroup should draw them.
std::vector<std::string> ChangedCells(const std::vector<std::string>& before,
                                      const std::vector<std::string>& after)
{
    std::vector<std::string> out;
    for (std::size_t x = 0; x < before[0].size(); ++x)
        for (std::size_t y = 0; y < before.size(); ++y) {
            const bool wasMarked = before[y][x] >= 'a';
            if (wasMarked || before[y][x] != after[y][x])
                out.push_back("cell " + std::to_string(x) + " " + std::to_string(y) + " " +
                              after[y][x]);
        }
    return out;
}

TEST(BoardRemoveGroup, PiecesFallAndColumnsCloseUp)
{
    struct Case {
        const char* name; std::vector<std::string> rows; int x, y;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"a whole column: everything right of it moves one left",
         {"1324", "2315"}, 1, 1, {"1240", "2150"}},
        {"three columns, the middle one emptied",
         {"4351", "3332"}, 1, 1, {"0010", "4520"}},
        {"pieces above fall by the cells removed below them",
         {"4...", "5.3.", "1131", "2112"}, 0, 2, {"0000", "4000", "5310", "2320"}},
        {"no column emptied: nothing moves sideways",
         {"12", "33"}, 0, 1, {"00", "12"}},
        {"empty columns already at the right stay there",
         {"12..", "33.."}, 1, 1, {"00..", "12.."}},
        {"the rightmost column emptied",
         {"1.", "22"}, 1, 1, {"..", "1."}},
        {"the last pieces of the board",
         {"..", "11"}, 0, 1, {"..", ".."}},
        {"columns outside the box keep their piles as they move",
         {"3..2", "3..2", "1..4", "1..4", "5115"}, 1, 4,
         {"32..", "32..", "14..", "14..", "55.."}},
        {"a group high in a pile",
         {"2.", "11", "21", "31"}, 0, 1, {"..", "2.", "2.", "3."}},
    };
    for (const Case& c : cases) {
        ScriptedRandom random;
        Table t(random);
        SetRows(t.game, c.rows);
        ASSERT_GE(t.game.SelectGroup(c.x, c.y), 2) << c.name;
        const std::vector<std::string> before = Rows(t.game);
        std::vector<std::string> after = c.after;
        for (auto& row : after)
            for (auto& ch : row)
                if (ch == '.')
                    ch = '0';
        t.game.RemoveGroup();
        EXPECT_EQ(Rows(t.game), after) << c.name;
        EXPECT_EQ(t.effects.log, ChangedCells(before, after)) << c.name;
        EXPECT_EQ(Describe(GroupBox(t.game)), Describe({0, 0, 0, 0})) << c.name;
    }
}

TEST(BoardRemoveGroup, EmptiedBoardHasNoPairLeft)
{
    ScriptedRandom random;
    Table t(random);
    SetRows(t.game, {"22", "11"});
    t.game.SelectGroup(0, 1);
    t.game.RemoveGroup();
    t.game.SelectGroup(0, 1);
    t.game.RemoveGroup();
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"00", "00"}));
    EXPECT_EQ(t.game.FindPair(), (GridPos{-1, -1}));
}

} // namespace
