#pragma once
#include <cstdint>

// Every sound of the game, with the file it is read from: the game loads these files and
// the asset generator writes them, both from this one list.

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
// Raises the two-digit track number of a music file name in place ("m\\mus09.raw" ->
// "m\\mus10.raw").
void advanceTrackName(char name[12]);
