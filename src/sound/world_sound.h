#pragma once
#include <cstdint>

#include "catalog/sound_files.h"

// The sounds of the world in play: the frequency each sound plays at (a pitch set once stays
// for later plays) and the queue of sounds waiting to play a few frames later. Playing,
// looping and stopping are events (events.h) that the shell performs.
struct SoundState {
    static constexpr int queueSlots = 64;

    int32_t frequency[soundCount];
    int32_t framesLeft[queueSlots];
    uint8_t queued[queueSlots];  // the queued sound's index + 1; 0: a free slot
    int32_t queuedCount;

    // Every sound at the rate it is recorded at, nothing queued.
    void reset();
};

extern SoundState& theSounds;

void playSound(Sound sound);
void playSoundAt(Sound sound, int hz);
void loopSound(Sound sound);
void stopSound(Sound sound);
// Sets the pitch of the sound's later plays (and of a play in progress).
void setSoundFrequency(Sound sound, int hz);
// Queues the sound to play `frames` ticks of the queue later (frames >= 1); a full queue
// drops it.
void playSoundDelayed(Sound sound, int frames);
// One tick of the delayed-play queue; the world's step runs it once per frame.
void tickDelayedSounds();
