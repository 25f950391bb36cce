#pragma once
#include <cstdint>

// Every sound of the game: the twenty effects in the order start-up loads them, then the
// eight music tracks.
enum class Sound : uint8_t {
    splat,
    wildScream,
    wildScream2,
    oof,
    fadeScream,
    chainsawLoop,
    chainsawSlash,
    clang,
    crowdOhh,
    nuclear,
    cheer,
    coming,
    vorlantide,
    chanceFor,
    tschonk,
    death1,
    death2,
    smartUp,
    swish,
    stahl,
    music1,
};

constexpr int effectCount = 20;
constexpr int musicTrackCount = 8;
constexpr int soundCount = effectCount + musicTrackCount;

// A sound's file, as the game names it ("s\\splat3.raw", "m\\mus01.raw"), and the rate it is
// recorded at.
struct SoundFile {
    const char* file;
    int rate;
};
const SoundFile& soundFile(Sound sound);
inline int soundIndex(Sound sound) { return static_cast<int>(sound); }
inline Sound soundAt(int index) { return static_cast<Sound>(index); }
// The level's music: track `track` of the eight (0-7).
inline Sound musicTrackSound(int track) { return soundAt(effectCount + track); }
inline bool isMusic(Sound sound) { return soundIndex(sound) >= effectCount; }
