#include "platform/voice_rendering.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// libsamplerate's converters take ratios up to 256.
constexpr double maxRatio = 256.0;

// Exactly `frames` output frames of one period of `period`, resampled at frames / size.
// The input is extended periodically on both sides, so the filter sees the loop's other end
// at each seam instead of silence.
std::vector<float> resamplePeriod(const std::vector<float>& period, size_t frames) {
    const size_t length = period.size();
    double ratio = static_cast<double>(frames) / static_cast<double>(length);
    if (ratio > maxRatio) {
        // Very low pitches go up in two steps; the first is a whole multiple, so it stays exact.
        size_t factor = static_cast<size_t>(std::ceil(ratio / maxRatio));
        return resamplePeriod(resamplePeriod(period, length * factor), frames);
    }
    // The sinc filter reaches about twenty input samples either way, more when it narrows to
    // fall below a lower output Nyquist frequency.
    const size_t pad = static_cast<size_t>(std::ceil(24.0 / std::min(ratio, 1.0))) + 2;
    std::vector<float> extended(length + 2 * pad);
    for (size_t i = 0; i < extended.size(); ++i)
        extended[i] = period[(i + length * (pad / length + 1) - pad) % length];

    // Output frame j sits at input time j / ratio; the period starts at input time `pad`.
    const size_t first = static_cast<size_t>(std::ceil(static_cast<double>(pad) * ratio));
    std::vector<float> out(first + frames + 16, 0.0f);
    SRC_DATA data{};
    data.data_in = extended.data();
    data.data_out = out.data();
    data.input_frames = static_cast<long>(extended.size());
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    data.end_of_input = 1;
    if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0) return std::vector<float>(frames, 0.0f);
    // Starting at `first` rather than at the fractional position shifts the whole loop by
    // less than one output frame, which nobody hears; the period itself stays exact.
    return std::vector<float>(out.begin() + static_cast<std::ptrdiff_t>(first),
                              out.begin() + static_cast<std::ptrdiff_t>(first + frames));
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
    for (size_t i = 0; i < recording.size(); ++i) period[i] = static_cast<float>(recording[i]) - 128.0f;
    std::vector<float> out = resamplePeriod(period, frames);
    rendering.samples.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        float scaled = std::round(out[i] * 128.0f);
        rendering.samples[i] = static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
    }
    return rendering;
}
