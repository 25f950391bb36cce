#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/mixer.h"
#include "platform/voice_rendering.h"

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

// What mixing no longer pays for: resampling a whole recording when it is loaded or retuned.
// 3969 samples at 11025 Hz is the splat, rendered again at every hit; 220500 at 22050 Hz is
// ten seconds of music (a whole track is six to seven times that, rendered once by the
// helper thread).
static void BM_RenderVoice(benchmark::State& state) {
    std::vector<uint8_t> samples(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 37);
    for (auto _ : state) {
        VoiceRendering rendering =
            renderVoice(samples, samples.size() > 100000 ? 22050 : 11025, 48000);
        benchmark::DoNotOptimize(rendering.samples.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RenderVoice)->Arg(3969)->Arg(220500)->Unit(benchmark::kMillisecond);
