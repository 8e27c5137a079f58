// The board's hot paths on the old capacity (100 x 76) and the new one
// (240 x 135): a new board, one removal step, and the flood fill of a group
// that covers the whole grid.
#include "board/BoardGame.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Drawing costs a virtual call per cell, as in the window; nothing more.
class NullEffects : public BoardEffects {
public:
    void DrawCell(int x, int y, int slot) override { benchmark::DoNotOptimize(x + y + slot); }
    void DrawAnimFrame(int, int) override {}
    void DrawAnimCell(int, int) override {}
    void FillBlack() override {}
    void PlayWave(const std::string&) override {}
    void CloseMidi(const std::string&) override {}
    void RestartTimer(unsigned, unsigned) override {}
    void StopTimer(unsigned) override {}
};

struct Bench {
    explicit Bench(benchmark::State& state, int pattern = 1)
        : random(12345), game(std::make_unique<BoardGame>(random, effects))
    {
        game->SetImage(4);
        game->CellArr = pattern;
        game->CellSize = 1;
        game->ComputeLayout(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
        state.counters["cells"] = game->m_nCols * game->m_nRows;
    }
    MsvcRandom random;
    NullEffects effects;
    std::unique_ptr<BoardGame> game;
};

void BM_NewBoard(benchmark::State& state)
{
    Bench b(state);
    for (auto _ : state) {
        b.game->NewBoard();
        benchmark::DoNotOptimize(b.game->m_nSelX);
    }
}
BENCHMARK(BM_NewBoard)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

// RemoveGroup + FindPair + PickGroup, as at the end of a disappearing cycle.
// A finished board is replaced outside the timing.
void BM_RemovalStep(benchmark::State& state)
{
    Bench b(state);
    BoardGame& g = *b.game;
    g.NewBoard();
    std::int64_t boards = 1;
    for (auto _ : state) {
        g.RemoveGroup();
        const GridPos pair = g.FindPair();
        if (pair.x < 0) {
            state.PauseTiming();
            g.NewBoard();
            ++boards;
            state.ResumeTiming();
            continue;
        }
        const GridPos picked = g.PickGroup();
        g.m_nSelX = picked.x;
        g.m_nSelY = picked.y;
    }
    state.counters["boards"] = static_cast<double>(boards);
}
BENCHMARK(BM_RemovalStep)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

// Every cell of one kind: the search visits the whole grid and the next
// call first clears all those marks again.
void BM_SelectWholeGrid(benchmark::State& state)
{
    Bench b(state);
    BoardGame& g = *b.game;
    for (int x = 0; x < g.m_nCols; ++x)
        for (int y = 0; y < g.m_nRows; ++y)
            g.m_board[x][y] = 2;
    for (auto _ : state) {
        const int n = g.SelectGroup(g.m_nCols / 2, g.m_nRows / 2);
        if (n != g.m_nCols * g.m_nRows) {
            state.SkipWithError("the group did not fill the grid");
            break;
        }
    }
}
BENCHMARK(BM_SelectWholeGrid)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

} // namespace
