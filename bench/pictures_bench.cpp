// How long the picture generator takes per sheet and picture; the whole set has to stay
// well under ten seconds on a two-core machine so the build does not drag.
#include <benchmark/benchmark.h>

#include <string>

#include "sheets.h"

namespace {
void BM_Sheet(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeSheet(int(state.range(0))).data());
}
// 0 defender, 1 magazine, 2 ball, 3 climber, 4 weapons and body parts
BENCHMARK(BM_Sheet)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_Wall(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeWall().data());
}
BENCHMARK(BM_Wall)->Unit(benchmark::kMillisecond);

void BM_Title(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(makeTitle().data());
}
BENCHMARK(BM_Title)->Unit(benchmark::kMillisecond);

// Without FreeType in this program the fonts come out blank, so this measures only the
// compositing; with it, the rasterising too.
void BM_Fonts(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(makeGameFont().data());
        benchmark::DoNotOptimize(makeScrollerFont().data());
    }
}
BENCHMARK(BM_Fonts)->Unit(benchmark::kMillisecond);
}  // namespace
