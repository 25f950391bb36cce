// RIFF WAVE reading and writing: speech comes in from espeak-ng as WAV, and the preview
// copies of the game's sounds go out as WAV so any player can open them.
#pragma once
#include <cstdint>
#include <vector>

#include "sound_dsp.h"

namespace snd {

struct Wav {
    double rate = 0;
    Buffer samples;  // mono, -1..1
};

// Reads 8- or 16-bit PCM of any channel count, mixing the channels down. False for
// anything else or for a file without sample data.
bool parseWav(const std::vector<uint8_t>& bytes, Wav& wav);

// An 8-bit unsigned mono WAV holding exactly these samples.
std::vector<uint8_t> encodeWav8(const std::vector<uint8_t>& pcm, int rate);

}  // namespace snd
