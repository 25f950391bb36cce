#pragma once
#include <cstdint>
#include <vector>

// The sound output: one voice per loaded sample. Voices hold the 8-bit unsigned mono data
// they were given and play it at a frequency that can change at any time.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Opens the device; false when there is none (the game then runs silently).
    virtual bool open() = 0;
    // Creates a voice for the samples at `rate` Hz, taking them over (a music track is
    // megabytes, not worth a copy); returns its id, or -1.
    virtual int createVoice(std::vector<uint8_t> samples, int rate) = 0;
    // Starts the voice from its first sample, once or looping.
    virtual void play(int voice, bool looped) = 0;
    virtual void stop(int voice) = 0;
    virtual void setFrequency(int voice, int hz) = 0;
    // Holds every voice where it is (paused) or lets them all go on from there; a paused
    // game must not lose its place in the music or the chainsaw's loop.
    virtual void setPaused(bool paused) = 0;
    // Scales everything played from now on (100 = as recorded); the attract demo plays at 50.
    virtual void setMasterVolume(int percent) { (void)percent; }
    // 0-100 percent of the recording's own loudness (100 until changed).
    virtual void setVolume(int voice, int percent) = 0;
};
