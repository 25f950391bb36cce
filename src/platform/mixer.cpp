#include "platform/mixer.h"

#include <cstdlib>
#include <cstring>
#include <numeric>

namespace {

// The accumulator holds each voice at half scale times a gain of 256 at full volume; this
// shift brings the sum back to 16 bits at the recording's own loudness.
constexpr int accumulatorShift = 7;
// A group's stream is 16-bit and its 32-tap sums are 32-bit: 64 full-swing recordings
// (64 * 128 in the stream, under 2^29 in a sum) fit both with room to spare. More voices at
// one frequency and volume open a second group.
constexpr int maxGroupMembers = 64;

// The sum passes unchanged up to the knee; above it the curve keeps rising with slope 1 at
// first, then flattens so it approaches the ceiling but never reaches it, however many
// voices pile up: knee + room * over / (over + room), written as magnitude less
// over^2 / (over + room) so that one expression serves every sample, without branches, and
// the compiler does several at once. Float is exact enough for a 16-bit result and gives
// the same on every machine.
int32_t limit(int32_t value) {
    constexpr float room = Mixer::limiterCeiling - Mixer::limiterKnee;
    const int32_t sign = value >> 31;
    const int32_t magnitude = (value ^ sign) - sign;
    const int32_t excess = magnitude - Mixer::limiterKnee;
    const float over = static_cast<float>(excess & ~(excess >> 31));
    const int32_t limited = magnitude - static_cast<int32_t>(over * over / (over + room));
    return (limited ^ sign) - sign;
}

}  // namespace

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

void Mixer::setOutputRate(int outputRate) {
    if (outputRate <= 0 || outputRate == outputRate_) return;
    // Every stream starts again at the new rate; each sounding voice goes on from the
    // sample it had reached (only the resampler's short memory is lost).
    std::vector<int64_t> next(voices_.size(), 0);
    for (size_t i = 0; i < voices_.size(); ++i) {
        Voice& voice = voices_[i];
        if (voice.group < 0) continue;
        next[i] = groups_[voice.group].nextIndex() - voice.offset;
        voice.group = -1;
    }
    for (RateGroup& group : groups_) group.stop();
    outputRate_ = outputRate;
    rows_.clear();
    for (size_t i = 0; i < voices_.size(); ++i) {
        Voice& voice = voices_[i];
        if (!voice.playing) continue;
        const int64_t length = static_cast<int64_t>(voice.recording.size());
        if (!voice.looped && next[i] >= length) {
            voice.playing = false;
            continue;
        }
        join(voice, voice.looped ? next[i] % length : next[i]);
    }
}

int Mixer::addVoice(const uint8_t* samples, size_t length, int rate) {
    std::vector<uint8_t> copy;
    if (samples != nullptr) copy.assign(samples, samples + length);
    return addVoice(std::move(copy), rate);
}

int Mixer::addVoice(std::vector<uint8_t>&& samples, int rate) {
    if (rate < minFrequency || rate > maxFrequency) return -1;
    Voice voice;
    voice.recording = std::move(samples);
    voice.frequency = rate;
    voices_.push_back(std::move(voice));
    return voiceCount() - 1;
}

std::shared_ptr<const resampling::PhaseRows> Mixer::exactRows(int hz) {
    const int phases = outputRate_ / std::gcd(hz, outputRate_);
    if (hz > outputRate_ || phases > resampling::maxExactPhases) return nullptr;
    auto found = rows_.find(phases);
    if (found != rows_.end()) return found->second;
    auto rows = std::make_shared<const resampling::PhaseRows>(resampling::exactPhaseRows(phases));
    rows_.emplace(phases, rows);
    return rows;
}

bool Mixer::ended(const Voice& voice) const {
    return voice.group >= 0 && !voice.looped &&
           voice.offset + static_cast<int64_t>(voice.recording.size()) <=
               groups_[voice.group].windowStart();
}

void Mixer::retireEnded(int group) {
    for (Voice& voice : voices_) {
        if (voice.group != group || !ended(voice)) continue;
        groups_[group].heardUpTo(voice.offset + static_cast<int64_t>(voice.recording.size()));
        --groups_[group].members;
        voice.group = -1;
        voice.playing = false;
    }
}

int Mixer::groupFor(int hz, int32_t gain) {
    // Groups die away only as frames are mixed, and every mix() ends by stopping those that
    // have, so what is found here never depends on how the frames were asked for.
    int free = -1;
    for (size_t i = 0; i < groups_.size(); ++i) {
        const RateGroup& group = groups_[i];
        if (!group.active()) {
            if (free < 0) free = static_cast<int>(i);
        } else if (group.hz() == hz && group.gain() == gain && group.members < maxGroupMembers) {
            return static_cast<int>(i);
        }
    }
    if (free < 0) {
        groups_.emplace_back();
        free = static_cast<int>(groups_.size()) - 1;
    }
    groups_[free].start(hz, gain, outputRate_, exactRows(hz));
    return free;
}

void Mixer::join(Voice& voice, int64_t first) {
    const int index = groupFor(voice.frequency, voice.gain);
    RateGroup& group = groups_[index];
    const int64_t start = group.nextIndex();
    voice.offset = start - first;
    voice.group = index;
    ++group.members;
    // The frames mixed so far already read a little ahead; the voice joins that part too.
    if (start < group.end())
        addRecording(group.slot(start), static_cast<size_t>(group.end() - start), voice.recording,
                     voice.looped, first, 1);
}

void Mixer::leave(Voice& voice) {
    if (voice.group < 0) return;
    RateGroup& group = groups_[voice.group];
    const int64_t cut = group.nextIndex();
    if (cut < group.end())
        addRecording(group.slot(cut), static_cast<size_t>(group.end() - cut), voice.recording,
                     voice.looped, cut - voice.offset, -1);
    group.heardUpTo(cut);
    --group.members;
    voice.group = -1;
}

void Mixer::regroup(Voice& voice) {
    if (voice.group < 0) return;
    const RateGroup& group = groups_[voice.group];
    if (group.hz() == voice.frequency && group.gain() == voice.gain) return;
    const int64_t length = static_cast<int64_t>(voice.recording.size());
    const int64_t next = group.nextIndex() - voice.offset;
    // A one-shot with nothing left to play just rings out where it is.
    if (!voice.looped && next >= length) return;
    leave(voice);
    join(voice, voice.looped ? next % length : next);
}

void Mixer::play(int voice, bool looped) {
    if (!valid(voice)) return;
    Voice& v = voices_[voice];
    if (v.recording.empty()) return;
    leave(v);
    v.looped = looped;
    v.playing = true;
    join(v, 0);
}

void Mixer::stop(int voice) {
    if (!valid(voice)) return;
    leave(voices_[voice]);
    voices_[voice].playing = false;
}

void Mixer::setFrequency(int voice, int hz) {
    if (!valid(voice) || hz < minFrequency || hz > maxFrequency) return;
    voices_[voice].frequency = hz;
    regroup(voices_[voice]);
}

bool Mixer::isPlaying(int voice) const {
    return valid(voice) && voices_[voice].playing && !ended(voices_[voice]);
}

int Mixer::frequency(int voice) const { return valid(voice) ? voices_[voice].frequency : 0; }

void Mixer::setVolume(int voice, int percent) {
    if (!valid(voice)) return;
    voices_[voice].gain = std::clamp(percent, 0, 100) * 256 / 100;
    regroup(voices_[voice]);
}

void Mixer::renderGroup(int index, int32_t* acc, size_t frames) {
    RateGroup& group = groups_[index];
    size_t done = 0;
    while (done < frames) {
        const size_t piece = group.framesThatFit(frames - done);
        const int64_t to = group.prepare(piece);
        const int64_t from = group.end();
        if (to > from) {
            for (const Voice& voice : voices_) {
                if (voice.group != index) continue;
                addRecording(group.slot(from), static_cast<size_t>(to - from), voice.recording,
                             voice.looped, from - voice.offset, 1);
            }
            group.generatedUpTo(to);
        }
        group.resample(acc + done, piece);
        done += piece;
    }
    retireEnded(index);
    if (group.members == 0 && group.silent()) group.stop();
}

void Mixer::writeOutput(int16_t* out, size_t frames) {
    // Summed at full precision and limited once, after every voice is in; the demo's master
    // volume scales the sum before it is limited. Each frame is built as one 32-bit word
    // holding the sample twice (left and right alike, whatever the byte order), in place.
    int32_t* sums = accumulator_.data();
    if (volume_ != 100)
        for (size_t i = 0; i < frames; ++i) sums[i] = (sums[i] >> accumulatorShift) * volume_ / 100;
    const int shift = volume_ != 100 ? 0 : accumulatorShift;
    auto frame = [sums, shift](size_t i) {
        const uint32_t sample = static_cast<uint16_t>(limit(sums[i] >> shift));
        sums[i] = static_cast<int32_t>(sample | sample << 16);
    };
    // Runs of a fixed length are what the compiler turns into vector code at -O2.
    constexpr size_t run = 8;
    size_t i = 0;
    for (; i + run <= frames; i += run)
        for (size_t j = 0; j < run; ++j) frame(i + j);
    for (; i < frames; ++i) frame(i);
    std::memcpy(out, sums, frames * sizeof(int32_t));
}

void Mixer::mix(int16_t* out, size_t frames) {
    while (frames > 0) {
        const size_t block = std::min(frames, blockFrames);
        std::fill(accumulator_.begin(), accumulator_.begin() + static_cast<ptrdiff_t>(block), 0);
        for (size_t i = 0; i < groups_.size(); ++i)
            if (groups_[i].active()) renderGroup(static_cast<int>(i), accumulator_.data(), block);
        writeOutput(out, block);
        out += 2 * block;
        frames -= block;
    }
}
