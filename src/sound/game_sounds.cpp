#include "base/log.h"
#include "sound/sound.h"

SoundSample* soundSamples[soundCount] = {};

std::string loadSounds() {
    logLine("loading sfx\n");
    // A second run in one process (the tests) replaces the first run's samples.
    for (int i = 0; i < soundCount; ++i) {
        if (i == effectCount) logLine("sfx loaded, now loading music\n");
        delete soundSamples[i];
        const SoundFile& f = soundFile(soundAt(i));
        soundSamples[i] = new SoundSample(f.file, f.rate, 8, 1);
        if (!soundSamples[i]->problem().empty()) return soundSamples[i]->problem();
    }
    logLine("music loaded\n");
    return {};
}

void releaseSounds() {
    for (SoundSample*& sample : soundSamples) {
        delete sample;
        sample = nullptr;
    }
}
