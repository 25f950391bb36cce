#include "sound/world_sound.h"

#include <cstring>

#include "base/events.h"

void SoundState::reset() {
    std::memset(this, 0, sizeof *this);
    for (int i = 0; i < soundCount; ++i) frequency[i] = soundFile(soundAt(i)).rate;
}

namespace {
void emitSound(SoundOp op, Sound sound) {
    emitEvent(EventKind::sound, static_cast<int32_t>(op), soundIndex(sound),
              theSounds.frequency[soundIndex(sound)]);
}
}  // namespace

void playSound(Sound sound) { emitSound(SoundOp::play, sound); }

void playSoundAt(Sound sound, int hz) {
    setSoundFrequency(sound, hz);
    playSound(sound);
}

void loopSound(Sound sound) { emitSound(SoundOp::loop, sound); }

void stopSound(Sound sound) { emitSound(SoundOp::stop, sound); }

void setSoundFrequency(Sound sound, int hz) {
    theSounds.frequency[soundIndex(sound)] = hz;
    emitSound(SoundOp::frequency, sound);
}

void playSoundDelayed(Sound sound, int frames) {
    SoundState& s = theSounds;
    if (s.queuedCount >= SoundState::queueSlots) return;
    for (int slot = 0; slot < SoundState::queueSlots; ++slot) {
        if (s.queued[slot] != 0) continue;
        s.queued[slot] = static_cast<uint8_t>(soundIndex(sound) + 1);
        s.framesLeft[slot] = frames;
        ++s.queuedCount;
        return;
    }
}

void tickDelayedSounds() {
    SoundState& s = theSounds;
    int toVisit = s.queuedCount;
    for (int slot = 0; slot < SoundState::queueSlots && toVisit > 0; ++slot) {
        if (s.queued[slot] == 0) continue;
        --toVisit;
        if (--s.framesLeft[slot] > 0) continue;
        Sound sound = soundAt(s.queued[slot] - 1);
        s.queued[slot] = 0;
        --s.queuedCount;
        playSound(sound);
    }
}
