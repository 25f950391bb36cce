#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/mixer.h"

// One audio callback's worth of mixing with the given number of voices sounding at the
// game's usual rates; the audio thread must finish it far inside the buffer's 10 ms.
static void BM_MixOneCallback(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    const int rates[] = {22050, 11025, 8000, 7500};
    std::vector<uint8_t> samples(200000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 37);
    Mixer mixer(48000);
    for (int v = 0; v < voices; ++v) {
        int id = mixer.addVoice(samples.data(), samples.size(), rates[v % 4]);
        mixer.play(id, true);
    }
    std::vector<int16_t> out(512 * 2);
    for (auto _ : state) {
        mixer.mix(out.data(), 512);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_MixOneCallback)->Arg(1)->Arg(8)->Arg(28);

// The worst case for resampling as the voices play: every voice at a frequency of its own
// that shares no useful factor with the output rate (as a splat retuned by the ball's speed
// does), so none shares a resampler and each interpolates between kernel phases.
static void BM_MixOddFrequencies(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    std::vector<uint8_t> samples(200000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 37);
    Mixer mixer(48000);
    for (int v = 0; v < voices; ++v) {
        int id = mixer.addVoice(samples.data(), samples.size(), 8009 + 997 * v);
        mixer.play(id, true);
    }
    std::vector<int16_t> out(512 * 2);
    for (auto _ : state) {
        mixer.mix(out.data(), 512);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_MixOddFrequencies)->Arg(1)->Arg(8);
