#pragma once
#include "sound/world_sound.h"

// The level's music: track levelIndex mod 8, so from the ninth level on the tunes come round again.
void startLevelMusic(int levelIndex);
void stopLevelMusic(int levelIndex);
