#include <benchmark/benchmark.h>

#include "sound/SoundPlayer.h"
#include "tests/host/SettingsFakes.h"
#include "tests/host/SoundFakes.h"

namespace {

// Counting a list reads it whole, in fixed pieces: time grows with its size,
// memory does not.
void ScanList(benchmark::State& state, const std::string& bytes)
{
    Settings settings;
    RecordingMci mci;
    RecordingWave wave;
    FakeFiles files;
    MsvcRandom random(1);
    SoundServices services{mci, wave, files, random};
    PlayListPosition position;
    SoundPlayer player(services, position);
    player.Apply(settings);
    files.Add("d:\\music\\big.lst", bytes);
    for (auto _ : state) {
        player.ScanPlayList("d:\\music\\big.lst");
        benchmark::DoNotOptimize(player.List().count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
}

void BM_ScanManyShortLines(benchmark::State& state)
{
    std::string bytes;
    while (bytes.size() < (4u << 20))
        bytes += "music\\piece.mid\r\n";
    ScanList(state, bytes);
}
BENCHMARK(BM_ScanManyShortLines);

void BM_ScanEndlessLine(benchmark::State& state)
{
    ScanList(state, std::string(4u << 20, 'x'));
}
BENCHMARK(BM_ScanEndlessLine);

} // namespace
