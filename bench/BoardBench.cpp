// The board's hot paths on the old capacity (100 x 76) and the new one
// (240 x 135): a new board, one removal step, and the flood fill of a group
// that covers the whole grid.
#include "board/PlayCycle.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Bench {
    explicit Bench(benchmark::State& state) : random(12345), cycle(std::make_unique<PlayCycle>(random))
    {
        cycle->SetOptions({1, 5, false});
        cycle->SetFrames(4);
        cycle->Resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
        state.counters["cells"] = board().Cols() * board().Rows();
    }
    Board& board() { return cycle->GetBoard(); }
    MsvcRandom random;
    std::unique_ptr<PlayCycle> cycle;
};

// The window then reads every cell to draw it.
void BM_NewBoard(benchmark::State& state)
{
    Bench b(state);
    const Board& board = b.board();
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.cycle->NewBoard().dealt);
        for (int x = 0; x < board.Cols(); ++x)
            for (int y = 0; y < board.Rows(); ++y)
                benchmark::DoNotOptimize(board.Cell(x, y));
    }
}
BENCHMARK(BM_NewBoard)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

// RemoveGroup + FindPair + PickGroup, as at the end of a disappearing cycle,
// with each changed cell handed on as the window invalidates it. A finished
// board is replaced outside the timing.
void BM_RemovalStep(benchmark::State& state)
{
    Bench b(state);
    Board& board = b.board();
    b.cycle->NewBoard();
    std::int64_t boards = 1;
    for (auto _ : state) {
        for (const GridPos& p : board.RemoveGroup())
            benchmark::DoNotOptimize(p.x + p.y);
        if (board.FindPair().x < 0) {
            state.PauseTiming();
            b.cycle->NewBoard();
            ++boards;
            state.ResumeTiming();
            continue;
        }
        benchmark::DoNotOptimize(board.PickGroup());
    }
    state.counters["boards"] = static_cast<double>(boards);
}
BENCHMARK(BM_RemovalStep)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

// Every cell of one kind: the search visits the whole grid and the next
// call first clears all those marks again.
void BM_SelectWholeGrid(benchmark::State& state)
{
    Bench b(state);
    Board& board = b.board();
    for (int x = 0; x < board.Cols(); ++x)
        for (int y = 0; y < board.Rows(); ++y)
            board.SetCell(x, y, 2);
    for (auto _ : state) {
        const int n = board.SelectGroup(board.Cols() / 2, board.Rows() / 2);
        if (n != board.Cols() * board.Rows()) {
            state.SkipWithError("the group did not fill the grid");
            break;
        }
    }
}
BENCHMARK(BM_SelectWholeGrid)->Args({100, 76})->Args({240, 135})->Unit(benchmark::kMicrosecond);

} // namespace
