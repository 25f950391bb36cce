#include <cstring>

#include "shell/log.h"
#include "sound/sound.h"
#include "sound/track_names.h"

const EffectFile effectFiles[effectCount] = {
    {"s\\splat3.raw", 11025},          {"s\\wildscream.raw", 22050},
    {"s\\wildscream2.raw", 11025},     {"s\\oof.raw", 11025},
    {"s\\fadescream.raw", 11025},      {"s\\chainsaw_loop.raw", 11025},
    {"s\\chainsaw_slash1.raw", 11025}, {"s\\clang.raw", 8000},
    {"s\\Crowdohh.raw", 8000},         {"s\\Nuclear.raw", 7500},
    {"s\\Cheer.raw", 11025},           {"s\\coming.raw", 22050},
    {"s\\vorlantide.raw", 22050},      {"s\\chancefor.raw", 22050},
    {"s\\tschonk.raw", 22050},         {"s\\death1.raw", 22050},
    {"s\\death2.raw", 22050},          {"s\\smartup.raw", 22050},
    {"s\\swish.raw", 22050},           {"s\\stahl.raw", 22050},
};

SoundSample* effects[effectCount] = {};
SoundSample* musicTrack[musicTrackCount] = {};

SoundSample* effect(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    for (int i = 0; i < effectCount; ++i)
        if (std::strcmp(effectFiles[i].file, fileName) == 0) return effects[i];
    return nullptr;
}

void advanceTrackName(char name[12]) {
    // The two-digit number sits in characters 6 and 7 of "m\mus01.raw".
    if (name[6] == '9') {
        name[6] = '0';
        ++name[5];
    } else {
        ++name[6];
    }
}

void loadSounds() {
    logLine("loading sfx\n");
    // A second run in one process (the tests) replaces the first run's samples.
    for (int i = 0; i < effectCount; ++i) {
        delete effects[i];
        effects[i] = new SoundSample(effectFiles[i].file, effectFiles[i].rate, 8, 1);
    }
    logLine("sfx loaded, now loading music\n");
    char name[12] = "m\\mus01.raw";
    for (int i = 0; i < musicTrackCount; ++i) {
        delete musicTrack[i];
        musicTrack[i] = new SoundSample(name, 22050, 8, 1);
        advanceTrackName(name);
    }
    logLine("music loaded\n");
}
