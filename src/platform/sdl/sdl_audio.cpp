#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include "platform/sdl/alsa_quiet.h"

namespace {
// 48000 Hz is what most sound servers run at, so usually nothing resamples after us; a
// device that prefers 44100 Hz gets that instead. 512 frames keep a sound effect within
// about 11 ms of the frame that started it.
constexpr int wantedRate = 48000;
constexpr int wantedFrames = 512;
}  // namespace

SdlAudio::SdlAudio(SdlLibraryShare library) : library_(std::move(library)), mixer_(wantedRate) {}

SdlAudio::~SdlAudio() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (subsystemStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::open() {
    if (device_ != 0) return true;
    if (!subsystemStarted_) {
        // Without a sound card ALSA would fill the terminal before our own one-line notice.
        quietenAlsa();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystemStarted_ = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = wantedRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = wantedFrames;
    wanted.callback = &SdlAudio::fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // Format and channels stay ours (SDL converts if it must); the rate is the device's.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) return false;
    // Not yet running, so the mixer can be touched without the lock.
    mixer_.setOutputRate(obtained.freq);
    bufferFrames_ = obtained.samples;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlAudio::fill(void* self, Uint8* stream, int length) {
    auto* audio = static_cast<SdlAudio*>(self);
    audio->mixer_.mix(reinterpret_cast<int16_t*>(stream),
                      static_cast<size_t>(length) / (2 * sizeof(int16_t)));
}

void SdlAudio::lock() {
    if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlAudio::unlock() {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

int SdlAudio::createVoice(std::vector<uint8_t> samples, int rate) {
    lock();
    int voice = mixer_.addVoice(std::move(samples), rate);
    unlock();
    return voice;
}

void SdlAudio::play(int voice, bool looped) {
    lock();
    mixer_.play(voice, looped);
    unlock();
}

void SdlAudio::stop(int voice) {
    lock();
    mixer_.stop(voice);
    unlock();
}

void SdlAudio::setFrequency(int voice, int hz) {
    lock();
    mixer_.setFrequency(voice, hz);
    unlock();
}

void SdlAudio::setVolume(int voice, int percent) {
    lock();
    mixer_.setVolume(voice, percent);
    unlock();
}

void SdlAudio::setPaused(bool paused) {
    // SDL stops calling the mixer, so every voice keeps its position to the sample.
    if (device_ != 0) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void SdlAudio::setMasterVolume(int percent) {
    lock();
    mixer_.setMasterVolume(percent);
    unlock();
}
