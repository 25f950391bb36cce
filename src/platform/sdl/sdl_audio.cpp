#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

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
    {
        std::lock_guard<std::mutex> guard(jobsMutex_);
        quitting_ = true;
        jobs_.clear();
    }
    jobsChanged_.notify_all();
    if (renderer_.joinable()) renderer_.join();
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
    // Not yet running and no voice rendered, so the mixer can be touched without the lock.
    mixer_.setOutputRate(obtained.freq);
    bufferFrames_ = obtained.samples;
    renderer_ = std::thread(&SdlAudio::renderLoop, this);
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

void SdlAudio::renderLoop() {
    const int outputRate = mixer_.outputRate();
    for (;;) {
        RenderJob job;
        {
            std::unique_lock<std::mutex> guard(jobsMutex_);
            jobsChanged_.wait(guard, [this] { return quitting_ || !jobs_.empty(); });
            if (quitting_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            rendering_ = job.voice;
        }
        VoiceRendering rendering = renderVoice(*job.source, job.frequency, outputRate);
        lock();
        mixer_.install(job.voice, std::move(rendering));  // dropped if the pitch changed meanwhile
        unlock();
        {
            std::lock_guard<std::mutex> guard(jobsMutex_);
            rendering_ = -1;
        }
        jobsChanged_.notify_all();
    }
}

void SdlAudio::ensureRendered(int voice) {
    if (device_ == 0) return;
    {
        std::unique_lock<std::mutex> guard(jobsMutex_);
        auto pending = [&] {
            return rendering_ == voice ||
                   std::any_of(jobs_.begin(), jobs_.end(),
                               [&](const RenderJob& j) { return j.voice == voice; });
        };
        // Taking a queued job over is quicker than waiting for the ones before it.
        auto queued = std::find_if(jobs_.begin(), jobs_.end(),
                                   [&](const RenderJob& j) { return j.voice == voice; });
        if (queued != jobs_.end()) jobs_.erase(queued);
        jobsChanged_.wait(guard, [&] { return quitting_ || !pending(); });
    }
    lock();
    bool needed = mixer_.needsRendering(voice);
    int hz = mixer_.frequency(voice);
    unlock();
    if (!needed) return;
    VoiceRendering rendering = renderVoice(*mixer_.source(voice), hz, mixer_.outputRate());
    lock();
    mixer_.install(voice, std::move(rendering));
    unlock();
}

int SdlAudio::createVoice(const uint8_t* samples, size_t length, int rate) {
    // A music track is megabytes; copying it with the device locked would stall the sound.
    std::vector<uint8_t> copy;
    if (samples != nullptr) copy.assign(samples, samples + length);
    lock();
    int voice = mixer_.addVoice(std::move(copy), rate);
    unlock();
    if (voice >= 0 && device_ != 0) {
        {
            std::lock_guard<std::mutex> guard(jobsMutex_);
            jobs_.push_back(RenderJob{voice, rate, mixer_.source(voice)});
        }
        jobsChanged_.notify_all();
    }
    return voice;
}

void SdlAudio::play(int voice, bool looped) {
    ensureRendered(voice);
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
    if (hz < Mixer::minFrequency || hz > Mixer::maxFrequency || voice < 0) return;
    lock();
    auto source = mixer_.source(voice);
    bool changed = source != nullptr && mixer_.frequency(voice) != hz;
    unlock();
    if (!changed) return;
    VoiceRendering rendering;
    if (device_ != 0) rendering = renderVoice(*source, hz, mixer_.outputRate());
    lock();
    mixer_.setFrequency(voice, hz, std::move(rendering));
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
