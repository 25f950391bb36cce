#include "game/play_sounds.h"

#include "sound/sound.h"

void playEffect(const char* fileName) {
    if (SoundSample* s = effect(fileName)) s->play();
}

void playEffectAt(const char* fileName, int hz) {
    if (SoundSample* s = effect(fileName)) s->playAtFrequency(hz);
}

void loopEffect(const char* fileName) {
    if (SoundSample* s = effect(fileName)) s->playLooped();
}

void stopEffect(const char* fileName) {
    if (SoundSample* s = effect(fileName)) s->stop();
}

void playEffectDelayed(const char* fileName, int frames) {
    if (SoundSample* s = effect(fileName)) s->playDelayed(frames);
}

static SoundSample* levelTrack(int levelIndex) {
    int track = levelIndex % musicTrackCount;
    if (track < 0) track += musicTrackCount;
    return musicTrack[track];
}

void startLevelMusic(int levelIndex) {
    if (SoundSample* s = levelTrack(levelIndex)) s->playLooped();
}

void stopLevelMusic(int levelIndex) {
    if (SoundSample* s = levelTrack(levelIndex)) s->stop();
}
