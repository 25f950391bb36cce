#pragma once
#include <cstddef>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

// The game's own software mixer: every loaded recording is a voice that plays its 8-bit
// unsigned mono samples at any frequency, resampled to the output rate and summed into
// 16-bit stereo. It knows nothing of threads or devices; whoever drives it from an audio
// thread serialises access.
class Mixer {
public:
    // Frequencies outside this range are refused and the voice keeps its pitch, as a
    // hardware sound buffer would.
    static constexpr int minFrequency = 100;
    static constexpr int maxFrequency = 200000;

    explicit Mixer(int outputRate);

    int outputRate() const { return outputRate_; }
    // Changes the rate voices are resampled to; their pitch in Hz is kept.
    void setOutputRate(int outputRate);

    // Copies the samples into a new voice playing at `rate` Hz; returns its id, or -1 for a
    // rate out of range. An empty recording gives a voice that never sounds.
    int addVoice(const uint8_t* samples, size_t length, int rate);
    // Takes over the samples: quick enough to do while the audio thread waits.
    int addVoice(std::vector<uint8_t>&& samples, int rate);
    int voiceCount() const { return static_cast<int>(voices_.size()); }

    // Starts from the first sample, once or looping; a sounding voice restarts.
    void play(int voice, bool looped);
    void stop(int voice);
    // Takes effect from the next mixed frame; the play position is kept.
    void setFrequency(int voice, int hz);
    bool isPlaying(int voice) const;
    int frequency(int voice) const;

    // Scales the mix, 0 to 100 percent (the attract demo plays at half volume).
    void setVolume(int percent) { volume_ = std::clamp(percent, 0, 100); }
    int volume() const { return volume_; }

    // Writes `frames` stereo frames (left, right interleaved) of every playing voice.
    void mix(int16_t* out, size_t frames);

private:
    struct Voice {
        std::vector<uint8_t> samples;
        int frequency = 0;
        uint64_t step = 0;      // source samples per output frame, 32.32 fixed point
        uint64_t position = 0;  // 32.32 fixed point index into samples
        bool playing = false;
        bool looped = false;
    };

    bool valid(int voice) const { return voice >= 0 && voice < voiceCount(); }
    uint64_t stepFor(int hz) const;
    // Adds the voice's next `frames` output frames (at most one block) to the accumulator,
    // ending the voice when a one-shot runs out.
    void accumulate(Voice& voice, size_t frames);

    // Mixing goes in blocks so the audio thread never allocates.
    static constexpr size_t blockFrames = 1024;

    int outputRate_;
    int volume_ = 100;
    std::vector<Voice> voices_;
    std::array<int32_t, blockFrames> accumulator_{};
};
