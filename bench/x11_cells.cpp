// The floor for a board module: the same game, and per step one cell-sized
// picture put with XPutImage onto each cell the step changed (the group's
// cells while it animates, the cells a removal moved, every cell of a new
// board), with no scaling and no painting of its own.
//   x11_cells [INTERVAL_USEC [CELL_SIZE]]
// On SIGTERM it prints the cells it put per step.
#include "base/Random.h"
#include "board/BoardLayout.h"
#include "board/PlayCycle.h"
#include "image/PieceLayout.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000LL + t.tv_nsec / 1000;
}

} // namespace

int main(int argc, char** argv)
{
    const long interval = argc > 1 ? std::atol(argv[1]) : 50000;
    const int cellSize = argc > 2 ? std::atoi(argv[2]) : 32;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    signal(SIGTERM, OnSignal);
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    GC gc = XCreateGC(d, root, 0, nullptr);
    XImage* cell = XCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap, 0, nullptr,
                                cellSize, cellSize, 32, 0);
    cell->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(cell->bytes_per_line), cellSize));
    for (int y = 0; y < cellSize; ++y)
        for (int x = 0; x < cellSize; ++x)
            XPutPixel(cell, x, y, (x ^ y) & 8 ? 0x3060C0 : 0xC0A020);

    const BoardLayout layout = LayOutBoard(DisplayWidth(d, screen), DisplayHeight(d, screen), cellSize, kMaxCellPixels);
    MsvcRandom random(static_cast<std::uint32_t>(std::time(nullptr)));
    PlayCycle game(random);
    game.SetFrames(8);  // the built-in image's
    game.Resize(layout.cols, layout.rows);

    long long cellsPut = 0, steps = 0;
    std::vector<GridPos> cells;
    const auto put = [&](const PlayReport& r) {
        cells.clear();
        const Board& board = game.GetBoard();
        if (r.dealt) {
            for (int x = 0; x < board.Cols(); ++x)
                for (int y = 0; y < board.Rows(); ++y)
                    cells.push_back({x, y});
        } else {
            if (r.frameShown) {
                const GroupBox& g = board.Group();
                for (int x = g.left; x <= g.right; ++x)
                    for (int y = g.top; y <= g.bottom; ++y)
                        if (board.Cell(x, y) & Board::kMark)
                            cells.push_back({x, y});
            }
            if (r.removed)
                for (const GridPos& p : r.changed)
                    cells.push_back(p);
        }
        for (const GridPos& p : cells)
            XPutImage(d, root, gc, cell, 0, 0, layout.offsetX + p.x * cellSize, layout.offsetY + p.y * cellSize,
                      cellSize, cellSize);
        cellsPut += static_cast<long long>(cells.size());
        ++steps;
    };

    PlayReport first = game.NewBoard();
    put(first);
    bool timerOn = first.restartTimer;
    long long next = Now() + interval;
    pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    while (!g_stop) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }
        XFlush(d);
        const long long left = timerOn ? std::max(0LL, next - Now()) : 1000000;
        timespec wait = {static_cast<time_t>(left / 1000000), static_cast<long>(left % 1000000 * 1000)};
        ppoll(&fd, 1, &wait, nullptr);
        const long long now = Now();
        if (timerOn && now >= next) {
            next += interval;
            if (next <= now)
                next = now + interval;
            const PlayReport r = game.Tick();
            put(r);
            if (r.stopTimer)
                timerOn = false;
            if (r.restartTimer)
                timerOn = true, next = now + interval;
        }
    }
    std::fprintf(stderr, "x11_cells: %lld steps, %.1f cells per step\n", steps,
                 steps ? static_cast<double>(cellsPut) / steps : 0.0);
    XCloseDisplay(d);
    return 0;
}
