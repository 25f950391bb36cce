#include <cstdio>

#include "platform/audio.h"
#include "shell/log.h"
#include "sound/sound.h"

bool soundEnabled = false;

namespace {
AudioOutput* device = nullptr;
}

int initSound(AudioOutput* audio, int bitsPerSample, int samplesPerSecond) {
    if (soundEnabled) return 0;
    if (audio == nullptr || !audio->open()) {
        std::fprintf(stderr, "parapet: no sound device; the game runs silently\n");
        return 1;
    }
    device = audio;
    soundEnabled = true;
    logFormat("sound device open: %d Hz, %d bits\n", samplesPerSecond, bitsPerSample);
    return 0;
}

AudioOutput* soundDevice() { return device; }

void closeSound() {
    device = nullptr;
    soundEnabled = false;
}
