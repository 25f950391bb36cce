#pragma once
#include "sound/sound.h"

// The screens play their effects by file name; a run without its sounds loaded (a test, or
// a sample missing from the table) stays silent instead of failing.
inline void playEffect(const char* file) {
    if (SoundSample* sample = effect(file)) sample->play();
}
inline void playEffectAt(const char* file, int hz) {
    if (SoundSample* sample = effect(file)) sample->playAtFrequency(hz);
}
