#pragma once
#include <string>
#include <cstddef>
#include <cstdint>

#include "catalog/sound_files.h"

class AudioOutput;

// True once initSound has opened the device; every sample operation is silent without it.
extern bool soundEnabled;

// Opens the sound device through the platform's audio output; 0 on success, non-zero when
// there is no device (the game then runs silently). rate and bits describe the old primary
// buffer format and are only logged.
int initSound(AudioOutput* audio, int bitsPerSample, int samplesPerSecond);
// The audio output in use, or null.
AudioOutput* soundDevice();
// Forgets the device (the engine's end of run); tests use it to start from scratch.
void closeSound();

// The largest sound file the game loads. The longest music track it ships is about 1.6 MB;
// anything ten times that is no sound of this game.
constexpr size_t maxSoundFileBytes = 16u << 20;
// Loudness of the music tracks and of the sound effects, each 0-100 percent of the
// recordings' own (100, the default, is the game as it always sounded). Applies at once to
// every loaded sample and to samples loaded later; values outside 0-100 are clamped.
void setSoundVolumes(int musicPercent, int effectsPercent);
int musicVolume();
int effectsVolume();

// One whole recording (8-bit unsigned PCM) held by the sound device as a voice of its own.
// It does what the world's sound events (world_sound.h) ask for; without a device it is
// silent.
class SoundSample {
public:
    SoundSample(const char* path, int samplesPerSecond, int bitsPerSample, int channels);
    virtual ~SoundSample();
    SoundSample(const SoundSample&) = delete;
    SoundSample& operator=(const SoundSample&) = delete;

    void play();
    void playLooped();
    void stop();
    void setFrequency(int hz);

    // Sets the voice's loudness from the music or effects volume, whichever it belongs to.
    void applyVolume();

    bool isLoaded() const { return loaded_; }
    // Why the file could not be used (missing, unreadable, far too large): a broken
    // installation, which the start-up reports. Empty when the file was fine (or empty).
    const std::string& problem() const { return problem_; }
    const char* name() const { return name_; }
    // The device's voice for this sample, or -1 when it is not loaded.
    int voice() const { return voice_; }

private:
    bool loaded_ = false;
    int voice_ = -1;
    char name_[64] = {};
    std::string problem_;
};

// The game's sounds as the device plays them (null until loaded, or without sound).
extern SoundSample* soundSamples[soundCount];
// Loads the 20 effects and the 8 music tracks (after initSound). Returns the message for the
// first file that could not be used (loading stops there), or nothing.
std::string loadSounds();
// Frees them (the end of a run).
void releaseSounds();
