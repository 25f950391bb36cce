#pragma once
#include <SDL_audio.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/sdl/sdl_library.h"

// One SDL audio device fed by our own mixer from SDL's audio thread. Every change to the
// voices is made with the device locked, so the thread never sees a half-made change.
//
// Resampling a voice is slow (half a second for a music track), so it never happens with
// the device locked: new voices are rendered by a helper thread in the order they were
// loaded, and a frequency change is rendered by the caller before it takes the lock.
class SdlAudio : public AudioOutput {
public:
    explicit SdlAudio(SdlLibraryShare library);
    ~SdlAudio() override;

    bool open() override;
    int createVoice(const uint8_t* samples, size_t length, int rate) override;
    void play(int voice, bool looped) override;
    void stop(int voice) override;
    void setFrequency(int voice, int hz) override;
    void setPaused(bool paused) override;
    void setMasterVolume(int percent) override;
    void setVolume(int voice, int percent) override;

    int outputRate() const { return mixer_.outputRate(); }
    int bufferFrames() const { return bufferFrames_; }

private:
    struct RenderJob {
        int voice;
        int frequency;
        std::shared_ptr<const std::vector<uint8_t>> source;
    };

    static void fill(void* self, Uint8* stream, int length);
    void lock();
    void unlock();
    void renderLoop();
    // Waits until the helper has finished the voice, then renders it here if it still must.
    void ensureRendered(int voice);

    SdlLibraryShare library_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystemStarted_ = false;
    int bufferFrames_ = 0;
    Mixer mixer_;

    std::mutex jobsMutex_;
    std::condition_variable jobsChanged_;
    std::deque<RenderJob> jobs_;
    int rendering_ = -1;  // the voice the helper is busy with
    bool quitting_ = false;
    std::thread renderer_;
};
