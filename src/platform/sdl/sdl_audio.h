#pragma once
#include <SDL_audio.h>

#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/sdl/sdl_library.h"

// One SDL audio device fed by our own mixer from SDL's audio thread. Every change to the
// voices is made with the device locked, so the thread never sees a half-made change; each
// change is quick (the mixer resamples as it plays), so the lock is never held for long.
class SdlAudio : public AudioOutput {
public:
    explicit SdlAudio(SdlLibraryShare library);
    ~SdlAudio() override;

    bool open() override;
    int createVoice(std::vector<uint8_t> samples, int rate) override;
    void play(int voice, bool looped) override;
    void stop(int voice) override;
    void setFrequency(int voice, int hz) override;
    void setPaused(bool paused) override;
    void setMasterVolume(int percent) override;
    void setVolume(int voice, int percent) override;

    int outputRate() const { return mixer_.outputRate(); }
    int bufferFrames() const { return bufferFrames_; }

private:
    static void fill(void* self, Uint8* stream, int length);
    void lock();
    void unlock();

    SdlLibraryShare library_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystemStarted_ = false;
    int bufferFrames_ = 0;
    Mixer mixer_;
};
