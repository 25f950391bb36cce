#include "platform/mixer.h"

#include <algorithm>

namespace {
constexpr int fractionBits = 32;
constexpr uint64_t one = uint64_t{1} << fractionBits;
}  // namespace

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

void Mixer::setOutputRate(int outputRate) {
    if (outputRate <= 0) return;
    outputRate_ = outputRate;
    for (Voice& voice : voices_) voice.step = stepFor(voice.frequency);
}

uint64_t Mixer::stepFor(int hz) const {
    return (static_cast<uint64_t>(hz) << fractionBits) / static_cast<uint64_t>(outputRate_);
}

int Mixer::addVoice(const uint8_t* samples, size_t length, int rate) {
    std::vector<uint8_t> copy;
    if (samples != nullptr) copy.assign(samples, samples + length);
    return addVoice(std::move(copy), rate);
}

int Mixer::addVoice(std::vector<uint8_t>&& samples, int rate) {
    if (rate < minFrequency || rate > maxFrequency) return -1;
    Voice voice;
    voice.samples = std::move(samples);
    voice.frequency = rate;
    voice.step = stepFor(rate);
    voices_.push_back(std::move(voice));
    return voiceCount() - 1;
}

void Mixer::play(int voice, bool looped) {
    if (!valid(voice)) return;
    Voice& v = voices_[voice];
    if (v.samples.empty()) return;
    v.position = 0;
    v.looped = looped;
    v.playing = true;
}

void Mixer::stop(int voice) {
    if (valid(voice)) voices_[voice].playing = false;
}

void Mixer::setFrequency(int voice, int hz) {
    if (!valid(voice) || hz < minFrequency || hz > maxFrequency) return;
    voices_[voice].frequency = hz;
    voices_[voice].step = stepFor(hz);
}

bool Mixer::isPlaying(int voice) const { return valid(voice) && voices_[voice].playing; }

int Mixer::frequency(int voice) const { return valid(voice) ? voices_[voice].frequency : 0; }

void Mixer::accumulate(Voice& voice, size_t frames) {
    const uint8_t* data = voice.samples.data();
    const size_t length = voice.samples.size();
    const uint64_t end = static_cast<uint64_t>(length) << fractionBits;
    uint64_t position = voice.position;
    for (size_t i = 0; i < frames; ++i) {
        size_t index = static_cast<size_t>(position >> fractionBits);
        size_t next = index + 1;
        if (next == length) {
            // A loop's seam blends into its first sample; a one-shot's last sample is held
            // for its final fraction rather than dropping to silence, which would click.
            next = voice.looped ? 0 : index;
        }
        int32_t s0 = static_cast<int32_t>(data[index]) - 128;
        int32_t s1 = static_cast<int32_t>(data[next]) - 128;
        int64_t fraction = static_cast<int64_t>(position & (one - 1));
        // 8-bit samples become 16-bit by a shift of 8; the interpolation keeps that scale.
        accumulator_[i] += s0 * 256 + static_cast<int32_t>(((s1 - s0) * fraction) >> 24);

        position += voice.step;
        if (position >= end) {
            if (!voice.looped) {
                voice.playing = false;
                break;
            }
            position %= end;
        }
    }
    voice.position = position;
}

void Mixer::mix(int16_t* out, size_t frames) {
    while (frames > 0) {
        size_t block = std::min(frames, blockFrames);
        std::fill(accumulator_.begin(), accumulator_.begin() + static_cast<ptrdiff_t>(block), 0);
        for (Voice& voice : voices_) {
            if (voice.playing) accumulate(voice, block);
        }
        // Summed at full precision and clamped once, so loud voices saturate instead of
        // wrapping around into noise.
        for (size_t i = 0; i < block; ++i) {
            int32_t sum = volume_ == 100 ? accumulator_[i] : accumulator_[i] / 100 * volume_;
            int32_t value = std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX);
            out[2 * i] = static_cast<int16_t>(value);
            out[2 * i + 1] = static_cast<int16_t>(value);
        }
        out += 2 * block;
        frames -= block;
    }
}
