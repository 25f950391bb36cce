#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/voice_rendering.h"

// The game's own software mixer: every loaded recording is a voice that plays its 8-bit
// unsigned mono samples at any frequency, resampled to the output rate and summed into
// 16-bit stereo. It knows nothing of threads or devices; whoever drives it from an audio
// thread serialises access.
//
// Resampling is band-limited and costly, so each voice is rendered whole at its frequency
// ahead of time and mixing only sums renderings. A caller with an audio thread renders
// outside its lock (renderVoice on source()) and hands the result over with install() or
// setFrequency(); otherwise play() and setFrequency() render on the spot.
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
    // Changes the rate voices are resampled to; their pitch in Hz is kept.
    void setOutputRate(int outputRate);

    // Copies the samples into a new voice playing at `rate` Hz; returns its id, or -1 for a
    // rate out of range. An empty recording gives a voice that never sounds.
    int addVoice(const uint8_t* samples, size_t length, int rate);
    // Takes over the samples: quick enough to do while the audio thread waits.
    int addVoice(std::vector<uint8_t>&& samples, int rate);
    int voiceCount() const { return static_cast<int>(voices_.size()); }
    // The voice's recording, never changed once added, so it may be read on another thread
    // while the mixer runs; null for an unknown voice.
    std::shared_ptr<const std::vector<uint8_t>> source(int voice) const;
    // True when the voice has no rendering at its frequency and the output rate yet.
    bool needsRendering(int voice) const;
    // Takes a rendering made elsewhere; one for another frequency or rate is dropped.
    void install(int voice, VoiceRendering&& rendering);

    // Starts from the first sample, once or looping; a sounding voice restarts.
    void play(int voice, bool looped);
    void stop(int voice);
    // Takes effect from the next mixed frame; the place in the recording is kept.
    void setFrequency(int voice, int hz);
    void setFrequency(int voice, int hz, VoiceRendering&& rendering);
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
        std::shared_ptr<const std::vector<uint8_t>> source;
        VoiceRendering rendering;
        int frequency = 0;
        int32_t gain = 256;   // 256 is the recording's own loudness
        size_t position = 0;  // output frame within the rendering
        bool playing = false;
        bool looped = false;
    };

    bool valid(int voice) const { return voice >= 0 && voice < voiceCount(); }
    bool stale(const Voice& voice) const;
    // Puts a rendering in place, keeping a sounding voice at the same point of its recording.
    void replaceRendering(Voice& voice, VoiceRendering&& rendering);
    void accumulate(Voice& voice, size_t frames);

    // Mixing goes in blocks so the audio thread never allocates.
    static constexpr size_t blockFrames = 1024;

    int outputRate_;
    int volume_ = 100;
    std::vector<Voice> voices_;
    std::array<int32_t, blockFrames> accumulator_{};
};
