#pragma once
#include <cstdint>
#include <vector>

#include "platform/audio.h"
#include "platform/mixer.h"

// Sound through Web Audio, fed by the game's own mixer. The page has no audio thread of ours:
// every browser frame the mix is topped up to a little ahead of what the AudioContext plays,
// as short buffers scheduled back to back. The page makes the AudioContext on the player's
// first click or key, since browsers start sound only then.
class WebAudio : public AudioOutput {
public:
    WebAudio();
    bool open() override;
    int createVoice(std::vector<uint8_t> samples, int rate) override;
    void play(int voice, bool looped) override { mixer_.play(voice, looped); }
    void stop(int voice) override { mixer_.stop(voice); }
    void setFrequency(int voice, int hz) override { mixer_.setFrequency(voice, hz); }
    void setPaused(bool paused) override;
    void setMasterVolume(int percent) override { mixer_.setMasterVolume(percent); }
    void setVolume(int voice, int percent) override { mixer_.setVolume(voice, percent); }

    // Mixes and schedules what the context will need before the next top-up.
    void pump();

private:
    Mixer mixer_;
    bool open_ = false;
    bool paused_ = false;
    std::vector<int16_t> block_;
};
