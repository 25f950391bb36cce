#pragma once
#include <cstdint>
#include <vector>

// One pass through a recording, resampled to the output rate by a band-limited resampler
// (libsamplerate) so that nothing of the recording folds back above its own Nyquist
// frequency. The pass is rendered as one period of the recording repeated, so a looped voice
// plays it round and round without a seam.
struct VoiceRendering {
    // Half the mixer's 16-bit scale: sample s becomes (s - 128) * 128, which leaves room for
    // the resampler's overshoot on a recording that swings to its full 8-bit range.
    std::vector<int16_t> samples;
    int frequency = 0;
    int outputRate = 0;
};

// The 8-bit unsigned recording played at `frequency` Hz, as output frames at `outputRate`.
// One pass lasts length * outputRate / frequency frames, rounded to a whole frame (a pitch
// error far below what an ear can hear) so a loop's period is exact.
VoiceRendering renderVoice(const std::vector<uint8_t>& recording, int frequency, int outputRate);
