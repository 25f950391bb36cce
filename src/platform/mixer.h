#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/rate_group.h"
#include "platform/resampling_kernel.h"

// The game's own software mixer: every loaded recording is a voice that plays its 8-bit
// unsigned mono samples at any frequency, resampled to the output rate and summed into
// 16-bit stereo. It knows nothing of threads or devices; whoever drives it from an audio
// thread serialises access.
//
// Resampling is band-limited and done as the voices play: voices at the same frequency and
// volume are summed at their own rate and resampled together (see RateGroup), so the cost
// follows the number of different frequencies sounding rather than the number of voices,
// and nothing but the recordings themselves is held in memory. Mixing never allocates;
// play(), setFrequency() and setVolume() may, briefly.
class Mixer {
public:
    // Frequencies outside this range are refused and the voice keeps its pitch, as a
    // hardware sound buffer would.
    static constexpr int minFrequency = 100;
    static constexpr int maxFrequency = 200000;
    // The sum of the voices passes unchanged up to the knee and bends smoothly towards the
    // ceiling above it, so a crowd of loud voices is squeezed but never clips.
    static constexpr int limiterKnee = 24576;
    static constexpr int limiterCeiling = 31000;

    explicit Mixer(int outputRate);

    int outputRate() const { return outputRate_; }
    // Changes the rate voices are resampled to; their pitch in Hz and their place are kept.
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
    // Takes effect from the next mixed frame; the place in the recording is kept.
    void setFrequency(int voice, int hz);
    // A one-shot voice sounds until its last sample has passed through the resampler.
    bool isPlaying(int voice) const;
    int frequency(int voice) const;
    // 0-100 percent of the recording's own loudness; 100 is the default.
    void setVolume(int voice, int percent);

    // Scales the mix, 0 to 100 percent (the attract demo plays at half volume).
    void setMasterVolume(int percent) { volume_ = std::clamp(percent, 0, 100); }
    int masterVolume() const { return volume_; }

    // Writes `frames` stereo frames (left, right interleaved) of every playing voice.
    void mix(int16_t* out, size_t frames);

private:
    struct Voice {
        std::vector<uint8_t> recording;
        int frequency = 0;
        int32_t gain = 256;  // 256 is the recording's own loudness
        bool playing = false;
        bool looped = false;
        int group = -1;      // the RateGroup it sounds in while playing
        int64_t offset = 0;  // the group's input index of the recording's first sample
    };

    bool valid(int voice) const { return voice >= 0 && voice < voiceCount(); }
    // Puts a voice into a group for its frequency and gain, recording sample `first` next.
    void join(Voice& voice, int64_t first);
    // Takes the voice out from the group's next input sample on; what it has already put
    // in rings out through the resampler, so nothing clicks.
    void leave(Voice& voice);
    // Moves a sounding voice to the group of its new frequency or gain, keeping its place.
    void regroup(Voice& voice);
    int groupFor(int hz, int32_t gain);
    // One-shot voices whose last sample has left the resampler's window stop sounding.
    void retireEnded(int group);
    bool ended(const Voice& voice) const;
    void renderGroup(int group, int32_t* acc, size_t frames);
    std::shared_ptr<const resampling::PhaseRows> exactRows(int hz);
    void writeOutput(int16_t* out, size_t frames);

    // Mixing goes in blocks so the audio thread never allocates.
    static constexpr size_t blockFrames = 1024;

    int outputRate_;
    int volume_ = 100;
    std::vector<Voice> voices_;
    std::vector<RateGroup> groups_;
    // Exact phase rows by their number of phases, shared by every group that needs them.
    std::map<int, std::shared_ptr<const resampling::PhaseRows>> rows_;
    std::array<int32_t, blockFrames> accumulator_{};
};
