#include "sound/sound.h"

namespace {
constexpr int queueSlots = 64;
SoundSample* queuedSample[queueSlots] = {};
int framesLeft[queueSlots] = {};
int queuedCount = 0;
}  // namespace

void SoundSample::playDelayed(int frames) {
    if (queuedCount >= queueSlots) return;
    for (int slot = 0; slot < queueSlots; ++slot) {
        if (queuedSample[slot] != nullptr) continue;
        queuedSample[slot] = this;
        framesLeft[slot] = frames;
        ++queuedCount;
        return;
    }
}

void tickDelayedSounds() {
    int toVisit = queuedCount;
    for (int slot = 0; slot < queueSlots && toVisit > 0; ++slot) {
        SoundSample* sample = queuedSample[slot];
        if (sample == nullptr) continue;
        --toVisit;
        if (--framesLeft[slot] > 0) continue;
        queuedSample[slot] = nullptr;
        --queuedCount;
        sample->play();
    }
}

void clearDelayedSounds() {
    for (int slot = 0; slot < queueSlots; ++slot) queuedSample[slot] = nullptr;
    queuedCount = 0;
}

int delayedSoundCount() { return queuedCount; }
