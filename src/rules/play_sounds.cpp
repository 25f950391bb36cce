#include "rules/play_sounds.h"

namespace {
Sound levelTrack(int levelIndex) {
    int track = levelIndex % musicTrackCount;
    if (track < 0) track += musicTrackCount;
    return musicTrackSound(track);
}
}  // namespace

void startLevelMusic(int levelIndex) { loopSound(levelTrack(levelIndex)); }

void stopLevelMusic(int levelIndex) { stopSound(levelTrack(levelIndex)); }
