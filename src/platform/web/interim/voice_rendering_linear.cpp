#include <algorithm>
#include <cmath>

#include "platform/voice_rendering.h"

// See README.md beside this file: linear interpolation around the loop, so a looped voice
// has no seam, scaled as the native rendering is.
VoiceRendering renderVoice(const std::vector<uint8_t>& recording, int frequency, int outputRate) {
    VoiceRendering rendering;
    rendering.frequency = frequency;
    rendering.outputRate = outputRate;
    if (recording.empty() || frequency <= 0 || outputRate <= 0) return rendering;
    const size_t length = recording.size();
    const double exact = static_cast<double>(length) * outputRate / frequency;
    const size_t frames = std::max<size_t>(1, static_cast<size_t>(std::llround(exact)));
    const double step = static_cast<double>(length) / static_cast<double>(frames);
    rendering.samples.resize(frames);
    for (size_t j = 0; j < frames; ++j) {
        const double at = static_cast<double>(j) * step;
        const size_t i = static_cast<size_t>(at);
        const double part = at - static_cast<double>(i);
        const double a = recording[i % length] - 128.0;
        const double b = recording[(i + 1) % length] - 128.0;
        const double value = std::round((a + (b - a) * part) * 128.0);
        rendering.samples[j] = static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
    }
    return rendering;
}
