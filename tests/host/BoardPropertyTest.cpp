// Whole games played through the timer, checked after every step against
// rules computed here independently of the engine.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>

using namespace boardtest;

namespace {

using Grid = std::vector<std::vector<int>>;  // [x][y]

Grid Capture(const BoardGame& g)
{
    Grid grid(g.m_nCols, std::vector<int>(g.m_nRows));
    for (int x = 0; x < g.m_nCols; ++x)
        for (int y = 0; y < g.m_nRows; ++y)
            grid[x][y] = g.m_board[x][y];
    return grid;
}

bool HasEqualNeighbours(const Grid& grid)
{
    const int cols = static_cast<int>(grid.size());
    const int rows = cols ? static_cast<int>(grid[0].size()) : 0;
    for (int x = 0; x < cols; ++x)
        for (int y = 0; y < rows; ++y) {
            const int v = grid[x][y];
            if (v == 0)
                continue;
            if ((x + 1 < cols && grid[x + 1][y] == v) || (y + 1 < rows && grid[x][y + 1] == v))
                return true;
        }
    return false;
}

// Collects a failure text instead of stopping the game, so one broken rule
// does not flood the output with thousands of repeats.
class GameChecker : public BoardObserver {
public:
    GameChecker(RecordingEffects& effects, std::string name)
        : m_effects(effects), m_name(std::move(name)) {}

    void BoardDealt(const BoardGame& g) override
    {
        ++boards;
        if (m_expectBoard == No)
            Fail("a new board while a pair was left");
        m_expectBoard = Unknown;
        const Grid grid = Capture(g);
        for (int x = 0; x < g.m_nCols; ++x)
            for (int y = 0; y < g.m_nRows; ++y)
                if (grid[x][y] < 1 || grid[x][y] > g.KindCount())
                    Fail("dealt cell " + Xy(x, y) + " = " + std::to_string(grid[x][y]));
        if (!HasEqualNeighbours(grid))
            Fail("a new board without a pair");
        // Every cell was drawn once, column by column.
        std::vector<std::string> want;
        for (int x = 0; x < g.m_nCols; ++x)
            for (int y = 0; y < g.m_nRows; ++y)
                want.push_back("cell " + std::to_string(x) + " " + std::to_string(y) + " " +
                               std::to_string(grid[x][y]));
        if (m_effects.Only("cell") != want)
            Fail("new board drew " + std::to_string(m_effects.Only("cell").size()) + " cells, wanted each of " +
                 std::to_string(want.size()) + " once in order");
    }

    void GroupPicked(const BoardGame& g, int x, int y, int count) override
    {
        if (m_expectBoard == Yes)
            Fail("a group picked on a board without pairs");
        m_expectBoard = Unknown;
        m_before = Capture(g);
        CheckMarkedGroup(g, x, y, count);
        m_effects.Clear();
    }

    void GroupRemoved(const BoardGame& g, int cycles) override
    {
        ++removals;
        cycleTotal += cycles;
        if (cycles < 1)
            Fail("a group removed after " + std::to_string(cycles) + " selection cycles");
        const Grid after = Capture(g);
        CheckRemoval(g, after);
        m_expectBoard = HasEqualNeighbours(after) ? No : Yes;
        m_effects.Clear();
    }

    int boards = 0;
    int removals = 0;
    long long cycleTotal = 0;
    std::string failure;

private:
    enum Expect { Unknown, Yes, No };

    static std::string Xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void Fail(const std::string& what)
    {
        if (failure.empty())
            failure = m_name + ": " + what + " (board " + std::to_string(boards) + ", removal " +
                      std::to_string(removals) + ")";
    }

    void CheckMarkedGroup(const BoardGame& g, int px, int py, int count)
    {
        const int cols = g.m_nCols, rows = g.m_nRows;
        const int kind = m_before[px][py] & 0x0F;
        if (!(m_before[px][py] & 0x20))
            Fail("picked cell " + Xy(px, py) + " is not marked");
        // The connected set of `kind` around the picked cell, found here.
        std::vector<std::vector<bool>> seen(cols, std::vector<bool>(rows));
        std::vector<std::pair<int, int>> todo = {{px, py}};
        seen[px][py] = true;
        int size = 0, left = px, right = px, top = py, bottom = py;
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            ++size;
            left = std::min(left, x); right = std::max(right, x);
            top = std::min(top, y); bottom = std::max(bottom, y);
            const std::array<std::pair<int, int>, 4> next = {{{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}};
            for (auto [nx, ny] : next)
                if (nx >= 0 && ny >= 0 && nx < cols && ny < rows && !seen[nx][ny] &&
                    (m_before[nx][ny] & 0x0F) == kind) {
                    seen[nx][ny] = true;
                    todo.push_back({nx, ny});
                }
        }
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                if (((m_before[x][y] & 0x20) != 0) != seen[x][y])
                    Fail("cell " + Xy(x, y) + " marked " + std::to_string((m_before[x][y] & 0x20) != 0) +
                         ", in the group " + std::to_string(seen[x][y]));
        if (size < 2)
            Fail("picked a group of " + std::to_string(size));
        if (count != size)
            Fail("PickGroup counted " + std::to_string(count) + ", group has " + std::to_string(size));
        if (g.m_nGroupLeft != left || g.m_nGroupRight != right || g.m_nGroupTop != top ||
            g.m_nGroupBottom != bottom)
            Fail("box " + Xy(g.m_nGroupLeft, g.m_nGroupTop) + "-" + Xy(g.m_nGroupRight, g.m_nGroupBottom) +
                 ", wanted " + Xy(left, top) + "-" + Xy(right, bottom));
        m_groupSize = size;
        m_groupKind = kind;
    }

    void CheckRemoval(const BoardGame& g, const Grid& after)
    {
        const int cols = g.m_nCols, rows = g.m_nRows;
        std::array<int, 16> kindsBefore{}, kindsAfter{};
        int piecesBefore = 0, piecesAfter = 0;
        bool emptyColumnSeen = false;
        for (int x = 0; x < cols; ++x) {
            bool pileStarted = false;
            for (int y = 0; y < rows; ++y) {
                const int b = m_before[x][y], a = after[x][y];
                if (b) { ++piecesBefore; ++kindsBefore[b & 0x0F]; }
                if (a) { ++piecesAfter; ++kindsAfter[a & 0x0F]; }
                if (a & 0xF0)
                    Fail("cell " + Xy(x, y) + " = " + std::to_string(a) + " after removal");
                if (a)
                    pileStarted = true;
                else if (pileStarted)
                    Fail("hole at " + Xy(x, y) + ": pieces do not rest at the bottom");
            }
            const bool empty = after[x][rows - 1] == 0;
            if (!empty && emptyColumnSeen)
                Fail("column " + std::to_string(x) + " is occupied right of an empty column");
            emptyColumnSeen = emptyColumnSeen || empty;
        }
        if (piecesBefore - piecesAfter != m_groupSize)
            Fail("pieces " + std::to_string(piecesBefore) + " -> " + std::to_string(piecesAfter) +
                 ", group of " + std::to_string(m_groupSize));
        for (int k = 0; k < 16; ++k) {
            const int fell = kindsBefore[k] - kindsAfter[k];
            const int want = k == m_groupKind ? m_groupSize : 0;
            if (fell != want)
                Fail("kind " + std::to_string(k) + " fell by " + std::to_string(fell) + ", wanted " +
                     std::to_string(want));
        }
        // The redraw list is exactly the changed cells, each drawn once with its new value.
        std::set<std::string> changed, drawn;
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                if (after[x][y] != m_before[x][y])
                    changed.insert("cell " + std::to_string(x) + " " + std::to_string(y) + " " +
                                   std::to_string(after[x][y]));
        const auto cells = m_effects.Only("cell");
        drawn.insert(cells.begin(), cells.end());
        if (drawn.size() != cells.size())
            Fail("a cell was drawn twice");
        if (drawn != changed) {
            std::ostringstream s;
            s << "redrew " << drawn.size() << " cells, " << changed.size() << " changed";
            for (const auto& c : changed)
                if (!drawn.count(c))
                    s << "; missing " << c;
            for (const auto& d : drawn)
                if (!changed.count(d))
                    s << "; extra " << d;
            Fail(s.str());
        }
    }

    RecordingEffects& m_effects;
    std::string m_name;
    Grid m_before;
    int m_groupSize = 0;
    int m_groupKind = 0;
    Expect m_expectBoard = Unknown;
};

struct GameSpec { int cols, rows, pattern, kinds, frames, still, maxRemovals; std::uint32_t seed; };

struct Outcome {
    int boards = 0;
    int removals = 0;
    long long cycleTotal = 0;
    std::string failure;
};

Outcome Play(const GameSpec& s, int boardsToPlay)
{
    MsvcRandom random(s.seed);
    Table t(random, s.frames);
    std::ostringstream name;
    name << s.cols << "x" << s.rows << " pattern " << s.pattern << " kinds " << s.kinds
         << " frames " << s.frames << (s.still ? " still" : "") << " seed " << s.seed;
    GameChecker checker(t.effects, name.str());
    t.game.SetObserver(&checker);
    t.game.CellArr = s.pattern;
    t.game.CellNo = s.kinds;
    t.game.AnimBMPOption = s.still;
    t.game.CellSize = 1;
    t.game.ComputeLayout(s.cols, s.rows);
    t.game.NewBoard();
    // A group ends with odds of 2 in 5 per cycle: a hundred cycles per
    // removal on average means a stuck cycle, which must fail, not hang.
    const long long removalCap =
        std::min<long long>(s.maxRemovals, 1LL * s.cols * s.rows * (boardsToPlay + 1));
    const long long tickLimit = 100LL * (s.frames + 1) * (removalCap + 1);
    auto outcome = [&] {
        return Outcome{checker.boards, checker.removals, checker.cycleTotal, checker.failure};
    };
    for (long long tick = 0; tick < tickLimit && t.effects.animTimer; ++tick) {
        t.game.OnTimer(1);
        if (checker.boards > boardsToPlay || checker.removals >= s.maxRemovals || !checker.failure.empty())
            return outcome();
    }
    if (checker.failure.empty() && t.game.HasGame())
        checker.failure = name.str() + ": the cycle stalled after " + std::to_string(checker.removals) +
                          " removals";
    return outcome();
}

TEST(BoardProperties, SmallBoardsPlayedToTheEnd)
{
    const int patterns[] = {0, 1, 2, 3, 4, 5, 9, -1};
    const int kinds[] = {3, 4, 5, 0, 7};
    int games = 0, removals = 0;
    long long cycles = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed)
        for (int p = 0; p < 8; ++p) {
            const int cols = 1 + static_cast<int>((seed * 7 + p) % 12);
            const int rows = 1 + static_cast<int>((seed * 5 + p * 3) % 10);
            if (cols * rows < 2)
                continue;
            const GameSpec spec{cols, rows, patterns[p], kinds[(seed + p) % 5],
                                1 + static_cast<int>(seed % 3), static_cast<int>(seed % 2), 1 << 30, seed};
            const Outcome c = Play(spec, 2);
            ASSERT_TRUE(c.failure.empty()) << c.failure;
            ASSERT_GE(c.boards, 2) << "board ended without a new one";
            ++games;
            removals += c.removals;
            cycles += c.cycleTotal;
        }
    EXPECT_GT(games, 2000);
    // Two chances in five to end each selection cycle: 2.5 cycles on average.
    const double mean = static_cast<double>(cycles) / removals;
    EXPECT_NEAR(mean, 2.5, 0.15) << "over " << removals << " groups";
}

TEST(BoardProperties, LargeBoardsUpToTheCapacity)
{
    const GameSpec specs[] = {
        {240, 135, 1, 5, 1, 0, 40, 11},
        {240, 135, 3, 3, 2, 1, 40, 12},
        {240, 135, 2, 4, 1, 0, 40, 13},
        {100, 76, 1, 3, 1, 0, 200, 14},
        {239, 1, 1, 5, 1, 0, 200, 15},
        {1, 135, 1, 5, 1, 0, 200, 16},
        {1000, 1000, 5, 5, 1, 0, 100, 17},  // clamped to the capacity
    };
    for (const GameSpec& s : specs) {
        const Outcome c = Play(s, 1000);
        ASSERT_TRUE(c.failure.empty()) << c.failure;
        EXPECT_GE(c.removals, 1) << s.cols << "x" << s.rows;
    }
}

TEST(BoardProperties, SameSeedSameGame)
{
    auto log = [](std::uint32_t seed) {
        MsvcRandom random(seed);
        Table t(random, 3);
        t.game.CellSize = 1;
        t.game.ComputeLayout(9, 7);
        t.game.NewBoard();
        for (int i = 0; i < 500; ++i)
            t.game.OnTimer(1);
        return t.effects.log;
    };
    EXPECT_EQ(log(42), log(42));
    EXPECT_NE(log(42), log(43));
}

} // namespace
