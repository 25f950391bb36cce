#include <algorithm>

#include "platform/audio.h"
#include "sound/sound.h"

namespace {
int musicPercent = 100;
int effectsPercent = 100;
}  // namespace

int musicVolume() { return musicPercent; }
int effectsVolume() { return effectsPercent; }

void setSoundVolumes(int music, int effectsLevel) {
    musicPercent = std::clamp(music, 0, 100);
    effectsPercent = std::clamp(effectsLevel, 0, 100);
    for (SoundSample* sample : soundSamples)
        if (sample != nullptr) sample->applyVolume();
}

void SoundSample::applyVolume() {
    if (!soundEnabled || !loaded_) return;
    // Music files live in the m\ folder; everything else is an effect.
    bool music = name_[0] == 'm' && name_[1] == '\\';
    soundDevice()->setVolume(voice_, music ? musicPercent : effectsPercent);
}
