#pragma once

// Play-field sounds by file name. A run without a sound device, or a test that never loaded
// the samples, simply stays silent: every helper ignores a sample that is not there.
void playEffect(const char* fileName);
void playEffectAt(const char* fileName, int hz);
void loopEffect(const char* fileName);
void stopEffect(const char* fileName);
void playEffectDelayed(const char* fileName, int frames);
// The level's music: track levelIndex mod 8, so from the ninth level on the tunes come round again.
void startLevelMusic(int levelIndex);
void stopLevelMusic(int levelIndex);
