#include "platform/voice_rendering.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>

namespace {

// libsamplerate's converters take ratios up to 256.
constexpr double maxRatio = 256.0;

// Streams exactly `frames` output frames of one period of `period`, resampled at
// frames / size, to write(index, value). The input is extended periodically on both sides,
// so the filter sees the loop's other end at each seam instead of silence. Streaming in
// small pieces keeps a music track's conversion from holding tens of megabytes at once.
// Not a template: the two-step call below would instantiate it without end.
using SampleWriter = std::function<void(size_t, float)>;
void resamplePeriod(const std::vector<float>& period, size_t frames, const SampleWriter& write) {
    const size_t length = period.size();
    const double ratio = static_cast<double>(frames) / static_cast<double>(length);
    if (ratio > maxRatio) {
        // Very low pitches go up in two steps; the first is a whole multiple, so it stays exact.
        const size_t factor = static_cast<size_t>(std::ceil(ratio / maxRatio));
        std::vector<float> raised(length * factor);
        resamplePeriod(period, raised.size(), [&](size_t i, float v) { raised[i] = v; });
        resamplePeriod(raised, frames, write);
        return;
    }
    // The sinc filter reaches about twenty input samples either way, more when it narrows to
    // fall below a lower output Nyquist frequency.
    const size_t pad = static_cast<size_t>(std::ceil(24.0 / std::min(ratio, 1.0))) + 2;
    const size_t total = length + 2 * pad;
    const size_t shift = length * (pad / length + 1) - pad;  // input 0 is period[-pad]
    // Output frame j sits at input time j / ratio; the period starts at input time `pad`.
    // Starting at `first` rather than at the fractional position shifts the whole loop by
    // less than one output frame, which nobody hears; the period itself stays exact.
    const size_t first = static_cast<size_t>(std::ceil(static_cast<double>(pad) * ratio));

    int error = 0;
    SRC_STATE* state = src_new(SRC_SINC_FASTEST, 1, &error);
    if (state == nullptr) return;  // the caller's buffer stays silent
    std::vector<float> in(4096), out(8192);
    size_t fed = 0, held = 0, produced = 0;
    while (produced < first + frames) {
        while (held < in.size() && fed < total) in[held++] = period[(fed++ + shift) % length];
        SRC_DATA data{};
        data.data_in = in.data();
        data.input_frames = static_cast<long>(held);
        data.data_out = out.data();
        data.output_frames = static_cast<long>(out.size());
        data.src_ratio = ratio;
        data.end_of_input = fed == total ? 1 : 0;
        if (src_process(state, &data) != 0) break;
        const size_t used = static_cast<size_t>(data.input_frames_used);
        const size_t made = static_cast<size_t>(data.output_frames_gen);
        std::copy(in.begin() + static_cast<std::ptrdiff_t>(used),
                  in.begin() + static_cast<std::ptrdiff_t>(held), in.begin());
        held -= used;
        for (size_t k = 0; k < made; ++k) {
            const size_t j = produced + k;
            if (j >= first && j < first + frames) write(j - first, out[k]);
        }
        produced += made;
        if (made == 0 && used == 0 && data.end_of_input) break;
    }
    src_delete(state);
}

}  // namespace

VoiceRendering renderVoice(const std::vector<uint8_t>& recording, int frequency, int outputRate) {
    VoiceRendering rendering;
    rendering.frequency = frequency;
    rendering.outputRate = outputRate;
    if (recording.empty() || frequency <= 0 || outputRate <= 0) return rendering;
    const double exact = static_cast<double>(recording.size()) * outputRate / frequency;
    const size_t frames = std::max<size_t>(1, static_cast<size_t>(std::llround(exact)));
    std::vector<float> period(recording.size());
    for (size_t i = 0; i < recording.size(); ++i)
        period[i] = static_cast<float>(recording[i]) - 128.0f;
    rendering.samples.assign(frames, 0);
    resamplePeriod(period, frames, [&](size_t i, float v) {
        float scaled = std::round(v * 128.0f);
        rendering.samples[i] = static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
    });
    return rendering;
}
