// Whole games played through the timer, checked after every step against
// rules computed here independently of the engine.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>

using namespace boardtest;

namespace {

bool HasPair(const BoardGame& g)
{
    for (int x = 0; x < g.m_nCols; ++x)
        for (int y = 0; y < g.m_nRows; ++y)
            if (const int v = g.m_board[x][y];
                v && ((x + 1 < g.m_nCols && g.m_board[x + 1][y] == v) || (y + 1 < g.m_nRows && g.m_board[x][y + 1] == v)))
                return true;
    return false;
}

// Keeps the first broken rule rather than stopping the game, so one fault
// does not flood the output with thousands of repeats.
class GameChecker : public BoardObserver {
public:
    GameChecker(RecordingEffects& effects, int kinds) : m_effects(effects), m_kinds(kinds) {}

    void BoardDealt(const BoardGame& g) override
    {
        ++boards;
        Check(m_pairLeft != 1, "a new board while a pair was left");
        m_pairLeft = -1;
        Check(HasPair(g), "a new board without a pair");
        std::vector<std::string> want;
        for (int x = 0; x < g.m_nCols; ++x)
            for (int y = 0; y < g.m_nRows; ++y) {
                const int v = g.m_board[x][y];
                Check(v >= 1 && v <= m_kinds, "dealt ", v, " at ", x, ",", y, " with ", m_kinds, " kinds");
                kindsSeen.insert(v);
                want.push_back("cell " + Nums({x, y, v}));
            }
        const auto drawn = m_effects.Only("cell");
        Check(drawn == want, "the new board drew ", drawn.size(), " cells, wanted each of ", want.size(),
              " once, column by column");
        CheckOutside(g);
    }

    void GroupPicked(const BoardGame& g, int px, int py, int count) override
    {
        Check(m_pairLeft != 0, "a group picked on a board without pairs");
        m_pairLeft = -1;
        std::memcpy(m_before, g.m_board, sizeof m_before);
        const int cols = g.m_nCols, rows = g.m_nRows;
        m_kind = m_before[px][py] & 0x0F;
        // The group found here: the cells of the kind connected to the pick.
        std::vector<std::vector<bool>> in(cols, std::vector<bool>(rows));
        std::vector<std::pair<int, int>> todo = {{px, py}};
        in[px][py] = true;
        int size = 0, left = px, right = px, top = py, bottom = py;
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            ++size;
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
                if (nx >= 0 && ny >= 0 && nx < cols && ny < rows && !in[nx][ny] && (m_before[nx][ny] & 0x0F) == m_kind)
                    in[nx][ny] = true, todo.push_back({nx, ny});
        }
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                Check(((m_before[x][y] & 0x20) != 0) == in[x][y], "cell ", x, ",", y, " marked ",
                      (m_before[x][y] & 0x20) != 0, ", in the group ", in[x][y]);
        Check(size >= 2 && count == size, "picked a group of ", size, ", PickGroup counted ", count);
        const std::string box = Nums({g.m_nGroupLeft, g.m_nGroupRight, g.m_nGroupTop, g.m_nGroupBottom});
        Check(box == Nums({left, right, top, bottom}), "box ", box, ", wanted ", Nums({left, right, top, bottom}));
        m_size = size;
        m_effects.Clear();
    }

    void GroupRemoved(const BoardGame& g, int cycles) override
    {
        ++removals;
        cycleTotal += cycles;
        Check(cycles >= 1, "a group removed after ", cycles, " selection cycles");
        std::array<int, 256> fell{};
        std::set<std::string> changed;
        bool emptyColumnSeen = false;
        for (int x = 0; x < g.m_nCols; ++x) {
            bool pile = false;
            for (int y = 0; y < g.m_nRows; ++y) {
                const int b = m_before[x][y], a = g.m_board[x][y];
                fell[b & 0x0F] += b != 0;
                fell[a & 0x0F] -= a != 0;
                Check(a <= 5, "cell ", x, ",", y, " = ", a, " after the removal");
                Check(a || !pile, "a hole at ", x, ",", y, ": pieces do not rest at the bottom");
                pile = pile || a;
                if (a != b)
                    changed.insert("cell " + Nums({x, y, a}));
            }
            Check(!(emptyColumnSeen && pile), "column ", x, " is occupied right of an empty column");
            emptyColumnSeen = emptyColumnSeen || !pile;
        }
        for (int k = 1; k < 16; ++k)
            Check(fell[k] == (k == m_kind ? m_size : 0), "kind ", k, " fell by ", fell[k], ", group of ", m_size,
                  " of kind ", m_kind);
        const auto cells = m_effects.Only("cell");
        const std::set<std::string> drawn(cells.begin(), cells.end());
        std::ostringstream diff;
        for (const auto& c : changed)
            diff << (drawn.count(c) ? "" : "; missing " + c);
        for (const auto& d : drawn)
            diff << (changed.count(d) ? "" : "; extra " + d);
        Check(drawn.size() == cells.size() && diff.str().empty(), "redrew ", cells.size(), " cells, ", changed.size(),
              " changed", diff.str());
        CheckOutside(g);
        m_pairLeft = HasPair(g);
        m_effects.Clear();
    }

    // The column right of the grid and the row below it stay empty.
    void CheckOutside(const BoardGame& g)
    {
        for (int x = 0; x <= g.m_nCols && x < BoardGame::kMaxCols; ++x)
            for (int y = x < g.m_nCols ? g.m_nRows : 0; y <= g.m_nRows && y < BoardGame::kMaxRows; ++y)
                Check(g.m_board[x][y] == 0, "written outside the grid at ", x, ",", y);
    }

    template <class... T>
    void Check(bool ok, const T&... what)
    {
        if (ok || !failure.empty())
            return;
        std::ostringstream s;
        (s << ... << what) << " (board " << boards << ", removal " << removals << ")";
        failure = s.str();
    }

    int boards = 0, removals = 0;
    long long cycleTotal = 0;
    std::set<int> kindsSeen;
    std::string failure;

private:
    RecordingEffects& m_effects;
    const int m_kinds;
    std::uint8_t m_before[BoardGame::kMaxCols][BoardGame::kMaxRows];
    int m_kind = 0, m_size = 0;
    int m_pairLeft = -1;  // after a removal: whether a pair was left
};

struct GameSetup { int cols, rows, pattern, kinds, frames, still, maxRemovals; std::uint32_t seed; };

// Plays until `boardsToPlay` boards have ended; the failure names the game.
std::unique_ptr<GameChecker> Play(const GameSetup& s, int boardsToPlay)
{
    MsvcRandom random(s.seed);
    RecordingEffects effects;
    BoardGame game(random, effects);
    auto checker = std::make_unique<GameChecker>(effects, s.kinds >= 3 && s.kinds <= 5 ? s.kinds : 5);
    game.SetImage(s.frames);
    game.SetObserver(checker.get());
    game.CellArr = s.pattern;
    game.CellNo = s.kinds;
    game.AnimBMPOption = s.still;
    game.CellSize = 1;
    game.ComputeLayout(s.cols, s.rows);
    game.NewBoard();
    // Each selection cycle ends the phase with odds of 2 in 5: a hundred
    // cycles per removal means a stuck cycle, which must fail, not hang.
    const long long removals = std::min<long long>(s.maxRemovals, 1LL * s.cols * s.rows * (boardsToPlay + 1));
    for (long long tick = 100LL * (s.frames + 1) * (removals + 1); tick > 0 && effects.animTimer; --tick) {
        game.OnTimer(1);
        if (checker->boards > boardsToPlay || checker->removals >= s.maxRemovals || !checker->failure.empty())
            break;
    }
    checker->Check(checker->boards > boardsToPlay || checker->removals >= s.maxRemovals, "the game stalled");
    if (!checker->failure.empty())
        checker->failure = "size, pattern, kinds, frames, still, seed " +
                           Nums({s.cols, s.rows, s.pattern, s.kinds, s.frames, s.still, int(s.seed)}) + ": " +
                           checker->failure;
    game.SetObserver(nullptr);
    return checker;
}

// Sizes from 1 x 2 up, every pattern (0 and 9 play as v-line, -1 too) and
// kind counts in and out of range, each game played over two new boards.
TEST(BoardProperties, SmallBoardsPlayedToTheEnd)
{
    const int patterns[] = {0, 1, 2, 3, 4, 5, 9, -1};
    const int kinds[] = {3, 4, 5, 0, 7};
    int games = 0, removals = 0;
    long long cycles = 0;
    std::map<int, std::set<int>> kindsSeen;
    for (std::uint32_t seed = 1; seed <= 300; ++seed)
        for (int p = 0; p < 8; ++p) {
            const int cols = 1 + static_cast<int>((seed * 7 + p) % 12);
            const int rows = 1 + static_cast<int>((seed * 5 + p * 3) % 10);
            if (cols * rows < 2)
                continue;
            const int cellNo = kinds[(seed + p) % 5];
            const auto c = Play({cols, rows, patterns[p], cellNo, 1 + int(seed % 3), int(seed % 2), 1 << 30, seed}, 2);
            ASSERT_EQ(c->failure, "");
            ++games;
            removals += c->removals;
            cycles += c->cycleTotal;
            kindsSeen[cellNo].insert(c->kindsSeen.begin(), c->kindsSeen.end());
        }
    EXPECT_GT(games, 2000);
    // Two chances in five to end each selection cycle: 2.5 cycles on average.
    EXPECT_NEAR(static_cast<double>(cycles) / removals, 2.5, 0.15) << "over " << removals << " groups";
    const std::set<int> three = {1, 2, 3}, four = {1, 2, 3, 4}, five = {1, 2, 3, 4, 5};
    EXPECT_EQ(kindsSeen[3], three);
    EXPECT_EQ(kindsSeen[4], four);
    for (int cellNo : {5, 0, 7})
        EXPECT_EQ(kindsSeen[cellNo], five) << "CellNo " << cellNo;
}

TEST(BoardProperties, LargeBoardsUpToTheCapacity)
{
    const GameSetup setups[] = {
        {240, 135, 1, 5, 1, 0, 40, 11}, {240, 135, 3, 3, 2, 1, 40, 12}, {240, 135, 2, 4, 1, 0, 40, 13},
        {100, 76, 1, 3, 1, 0, 200, 14}, {239, 1, 1, 5, 1, 0, 200, 15},  {1, 135, 1, 5, 1, 0, 200, 16},
        {1000, 1000, 5, 5, 1, 0, 100, 17},  // clamped to the capacity
    };
    for (const GameSetup& s : setups) {
        const auto c = Play(s, 1000);
        EXPECT_EQ(c->failure, "");
        EXPECT_GE(c->removals, 1) << s.cols << "x" << s.rows;
    }
}

} // namespace
