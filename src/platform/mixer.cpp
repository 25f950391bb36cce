#include "platform/mixer.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The accumulator holds renderings (half scale) times a gain of 256 per voice at full
// volume; this shift brings the sum back to 16 bits at the recording's own loudness.
constexpr int accumulatorShift = 7;

int16_t limit(int32_t value) {
    if (value >= -Mixer::limiterKnee && value <= Mixer::limiterKnee)
        return static_cast<int16_t>(value);
    // Above the knee the curve keeps rising with slope 1 at first, then flattens so it
    // approaches the ceiling but never reaches it, however many voices pile up.
    const int64_t room = Mixer::limiterCeiling - Mixer::limiterKnee;
    const int64_t over = std::abs(static_cast<int64_t>(value)) - Mixer::limiterKnee;
    const int64_t bent = Mixer::limiterKnee + room * over / (over + room);
    return static_cast<int16_t>(value < 0 ? -bent : bent);
}

}  // namespace

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

void Mixer::setOutputRate(int outputRate) {
    if (outputRate <= 0 || outputRate == outputRate_) return;
    outputRate_ = outputRate;
    for (Voice& voice : voices_)
        if (voice.playing)
            replaceRendering(voice, renderVoice(*voice.source, voice.frequency, outputRate_));
}

int Mixer::addVoice(const uint8_t* samples, size_t length, int rate) {
    std::vector<uint8_t> copy;
    if (samples != nullptr) copy.assign(samples, samples + length);
    return addVoice(std::move(copy), rate);
}

int Mixer::addVoice(std::vector<uint8_t>&& samples, int rate) {
    if (rate < minFrequency || rate > maxFrequency) return -1;
    Voice voice;
    voice.source = std::make_shared<const std::vector<uint8_t>>(std::move(samples));
    voice.frequency = rate;
    voices_.push_back(std::move(voice));
    return voiceCount() - 1;
}

std::shared_ptr<const std::vector<uint8_t>> Mixer::source(int voice) const {
    return valid(voice) ? voices_[voice].source : nullptr;
}

bool Mixer::stale(const Voice& voice) const {
    return voice.rendering.frequency != voice.frequency ||
           voice.rendering.outputRate != outputRate_;
}

bool Mixer::needsRendering(int voice) const { return valid(voice) && stale(voices_[voice]); }

void Mixer::install(int voice, VoiceRendering&& rendering) {
    if (!valid(voice)) return;
    Voice& v = voices_[voice];
    if (!stale(v) || rendering.frequency != v.frequency || rendering.outputRate != outputRate_)
        return;
    replaceRendering(v, std::move(rendering));
}

void Mixer::replaceRendering(Voice& voice, VoiceRendering&& rendering) {
    const size_t oldFrames = voice.rendering.samples.size();
    const size_t newFrames = rendering.samples.size();
    if (voice.playing && oldFrames > 0) {
        // Both renderings are one pass through the same recording, so the place in the
        // recording maps across in proportion.
        voice.position =
            static_cast<size_t>(static_cast<uint64_t>(voice.position) * newFrames / oldFrames);
    } else {
        voice.position = 0;
    }
    voice.rendering = std::move(rendering);
}

void Mixer::play(int voice, bool looped) {
    if (!valid(voice)) return;
    Voice& v = voices_[voice];
    if (v.source->empty()) return;
    if (stale(v)) v.rendering = renderVoice(*v.source, v.frequency, outputRate_);
    v.position = 0;
    v.looped = looped;
    v.playing = true;
}

void Mixer::stop(int voice) {
    if (valid(voice)) voices_[voice].playing = false;
}

void Mixer::setFrequency(int voice, int hz) {
    if (!valid(voice) || hz < minFrequency || hz > maxFrequency) return;
    Voice& v = voices_[voice];
    v.frequency = hz;
    if (v.playing && stale(v)) replaceRendering(v, renderVoice(*v.source, hz, outputRate_));
}

void Mixer::setFrequency(int voice, int hz, VoiceRendering&& rendering) {
    if (!valid(voice) || hz < minFrequency || hz > maxFrequency) return;
    voices_[voice].frequency = hz;
    install(voice, std::move(rendering));
    setFrequency(voice, hz);
}

bool Mixer::isPlaying(int voice) const { return valid(voice) && voices_[voice].playing; }

int Mixer::frequency(int voice) const { return valid(voice) ? voices_[voice].frequency : 0; }

void Mixer::setVolume(int voice, int percent) {
    if (valid(voice)) voices_[voice].gain = std::clamp(percent, 0, 100) * 256 / 100;
}

void Mixer::accumulate(Voice& voice, size_t frames) {
    const int16_t* data = voice.rendering.samples.data();
    const size_t length = voice.rendering.samples.size();
    const int32_t gain = voice.gain;
    size_t position = voice.position;
    size_t done = 0;
    while (done < frames) {
        if (position >= length) {
            if (!voice.looped || length == 0) {
                voice.playing = false;
                break;
            }
            position = 0;
        }
        const size_t run = std::min(frames - done, length - position);
        int32_t* target = accumulator_.data() + done;
        const int16_t* from = data + position;
        for (size_t i = 0; i < run; ++i) target[i] += from[i] * gain;
        position += run;
        done += run;
    }
    if (voice.playing && position >= length && !voice.looped) voice.playing = false;
    voice.position = position;
}

void Mixer::mix(int16_t* out, size_t frames) {
    while (frames > 0) {
        size_t block = std::min(frames, blockFrames);
        std::fill(accumulator_.begin(), accumulator_.begin() + static_cast<ptrdiff_t>(block), 0);
        for (Voice& voice : voices_) {
            if (voice.playing) accumulate(voice, block);
        }
        // Summed at full precision and limited once, after every voice is in.
        for (size_t i = 0; i < block; ++i) {
            // The demo's master volume scales the sum before it is limited.
            int32_t sum = accumulator_[i] >> accumulatorShift;
            if (volume_ != 100) sum = sum * volume_ / 100;
            int16_t value = limit(sum);
            out[2 * i] = value;
            out[2 * i + 1] = value;
        }
        out += 2 * block;
        frames -= block;
    }
}
