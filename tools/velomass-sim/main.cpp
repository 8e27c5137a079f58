// velomass-sim: plays the board headless, tick by tick as the window's timer
// would, from a seed of the Windows runtime's generator. For replaying a
// game, debugging the rules and timing them.
#include "board/BoardLayout.h"
#include "board/PlayCycle.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "usage: velomass-sim [--cols N] [--rows N] [--kinds N] [--pattern N] [--frames N]\n"
    "                    [--still] [--seed N] [--removals N] [--trace]\n"
    "  --cols N      columns [20]\n"
    "  --rows N      rows [15]\n"
    "  --kinds N     piece kinds, CellNo [5]\n"
    "  --pattern N   arrangement, CellArr [1]\n"
    "  --frames N    frame columns of the piece image [4]\n"
    "  --still       frame column 0 is a still picture (AnimBMPOption)\n"
    "  --seed N      seed of the generator [1]\n"
    "  --removals N  stop after this many removals [100]\n"
    "  --trace       print every board, pick and removal\n";

struct Options {
    long long cols = 20;
    long long rows = 15;
    long long kinds = 5;
    long long pattern = 1;
    long long frames = 4;
    bool still = false;
    long long seed = 1;
    long long removals = 100;
    bool trace = false;
};

bool ParseNumber(const char* text, long long low, long long high, long long& out)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return false;
    out = value;
    return true;
}

// Returns 0 to run, 1 after --help, 2 on a bad command line.
int ParseOptions(int argc, char** argv, Options& o)
{
    struct Numeric { const char* name; long long* value; long long low, high; };
    const Numeric numerics[] = {
        {"--cols", &o.cols, 0, 1000000},
        {"--rows", &o.rows, 0, 1000000},
        {"--kinds", &o.kinds, -1000000000, 1000000000},
        {"--pattern", &o.pattern, -1000000000, 1000000000},
        {"--frames", &o.frames, 1, 1000000},
        {"--seed", &o.seed, 0, 4294967295LL},
        {"--removals", &o.removals, 0, 1000000000},
    };
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--still") == 0) {
            o.still = true;
            continue;
        }
        if (std::strcmp(arg, "--trace") == 0) {
            o.trace = true;
            continue;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 1;
        }
        bool known = false;
        for (const Numeric& n : numerics) {
            if (std::strcmp(arg, n.name) != 0)
                continue;
            known = true;
            const char* value = i + 1 < argc ? argv[++i] : nullptr;
            if (!ParseNumber(value, n.low, n.high, *n.value)) {
                std::fprintf(stderr, "velomass-sim: %s needs a whole number from %lld to %lld\n",
                             n.name, n.low, n.high);
                return 2;
            }
        }
        if (!known) {
            std::fprintf(stderr, "velomass-sim: unknown option %s\n%s", arg, kUsage);
            return 2;
        }
    }
    return 0;
}

class Tracer : public PlayObserver {
public:
    Tracer(bool trace, long long removalsWanted) : m_trace(trace), m_wanted(removalsWanted) {}

    void BoardDealt(const Board& board) override
    {
        if (done)
            return;
        ++boards;
        if (m_trace) {
            m_out += "board\n";
            AppendRows(board);
        }
        done = removals >= m_wanted;
    }
    void GroupPicked(const Board&, GridPos pos, int count) override
    {
        if (done || !m_trace)
            return;
        m_out += "pick " + std::to_string(pos.x) + " " + std::to_string(pos.y) + " " + std::to_string(count) + "\n";
    }
    void GroupRemoved(const Board& board, int selectionCycles) override
    {
        if (done)
            return;
        ++removals;
        if (m_trace) {
            m_out += "remove " + std::to_string(selectionCycles) + "\n";
            AppendRows(board);
        }
        done = removals >= m_wanted;
    }

    // Written in pieces, so a long trace needs no unbounded buffer.
    void Flush()
    {
        std::fwrite(m_out.data(), 1, m_out.size(), stdout);
        m_out.clear();
    }

    long long boards = 0;
    long long removals = 0;
    bool done = false;

private:
    void AppendRows(const Board& board)
    {
        for (int y = 0; y < board.Rows(); ++y) {
            for (int x = 0; x < board.Cols(); ++x)
                m_out += static_cast<char>('0' + (board.Cell(x, y) & Board::kKindMask));
            m_out += '\n';
        }
    }

    bool m_trace;
    long long m_wanted;
    std::string m_out;
};

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (const int rc = ParseOptions(argc, argv, o))
        return rc == 1 ? 0 : rc;

    MsvcRandom random(static_cast<std::uint32_t>(o.seed));
    PlayCycle game(random);
    Tracer tracer(o.trace, o.removals);
    game.SetObserver(&tracer);
    game.SetOptions({static_cast<int>(o.pattern), static_cast<int>(o.kinds), o.still});
    game.SetFrames(static_cast<int>(o.frames));
    // One pixel per cell: the layout rules (capacity, too small for a game)
    // apply to the grid asked for.
    const BoardLayout layout = LayOutBoard(static_cast<int>(o.cols), static_cast<int>(o.rows), 1, 1);
    game.Resize(layout.cols, layout.rows);
    bool playing = game.NewBoard().restartTimer;

    using Clock = std::chrono::steady_clock;
    long long ticks = 0;
    Clock::duration removalTime{};
    while (!tracer.done && playing) {
        const long long before = tracer.removals;
        const Clock::time_point start = Clock::now();
        const PlayReport report = game.Tick();
        if (report.stopTimer)
            playing = false;
        const Clock::time_point end = Clock::now();
        ++ticks;
        if (tracer.removals != before)
            removalTime += end - start;
        if ((ticks & 0xFFF) == 0)
            tracer.Flush();
    }

    if (o.trace) {
        tracer.Flush();
        std::printf("end %lld %lld\n", tracer.removals, tracer.boards);
    } else {
        const double micros = std::chrono::duration<double, std::micro>(removalTime).count();
        std::printf("%lld removals, %lld boards, %lld ticks, %.3f us per removal step\n",
                    tracer.removals, tracer.boards, ticks,
                    tracer.removals ? micros / tracer.removals : 0.0);
    }
    return 0;
}
