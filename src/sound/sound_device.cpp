#include <cstdio>

#include "platform/audio.h"
#include "sound/sound.h"

bool soundEnabled = false;

namespace {
AudioOutput* device = nullptr;
}

int initSound(AudioOutput* audio, int bitsPerSample, int samplesPerSecond) {
    // The mixer chooses its own output format; each voice carries its sample rate.
    (void)bitsPerSample;
    (void)samplesPerSecond;
    if (soundEnabled) return 0;
    if (audio == nullptr || !audio->open()) {
        std::fprintf(stderr, "parapet: no sound device; the game runs silently\n");
        return 1;
    }
    device = audio;
    soundEnabled = true;
    return 0;
}

AudioOutput* soundDevice() { return device; }

void closeSound() {
    device = nullptr;
    soundEnabled = false;
}
