// Reading the shipped piece image from memory: one pass over the headers,
// the colour table and one block copy of the pixels.
#include "image/CDIB.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> PieceImage()
{
    std::string here = __FILE__;  // .../bench/DibReadBench.cpp
    std::string path = here.substr(0, here.rfind("bench/")) + "res/velomass.bmp";
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

void BM_ReadPieceImage(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = PieceImage();
    CDIB dib;
    for (auto _ : state) {
        MemoryByteSource source(bytes.data(), bytes.size());
        bool ok = dib.Read(source) && dib.BuildLogPalette();
        benchmark::DoNotOptimize(ok);
        if (!ok) {
            state.SkipWithError("res/velomass.bmp did not read");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadPieceImage);

} // namespace
