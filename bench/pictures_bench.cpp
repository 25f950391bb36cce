// How long the picture generator takes per sheet and picture; the whole set has to stay
// well under ten seconds on a two-core machine so the build does not drag. The generator is
// a separate program, so its sources are compiled in here.
#include <benchmark/benchmark.h>

#include <string>

#include "../tools/assetgen/backdrop.cpp"
#include "../tools/assetgen/canvas.cpp"
#include "../tools/assetgen/climber_sheet.cpp"
#include "../tools/assetgen/defender_sheet.cpp"
#include "../tools/assetgen/figure.cpp"
#include "../tools/assetgen/fonts.cpp"
#include "../tools/assetgen/items_sheets.cpp"
#include "../tools/assetgen/paint.cpp"
#include "../tools/assetgen/pictures.cpp"

// pictures.cpp writes through the generator's file helper; the benchmarks never write.
__attribute__((weak)) bool writeBytes(const std::string&, const void*, size_t) { return false; }

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
