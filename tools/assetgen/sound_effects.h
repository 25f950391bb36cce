// The game's sound effects. Each maker renders one effect at the rate the game plays it
// and returns it un-normalised; the caller sets the level and writes the file.
#pragma once
#include <string>

#include "sound_dsp.h"

namespace snd {

// Bodies: hits, screams and cries.
Buffer makeSplat(double rate);
Buffer makeWildScream(double rate);
Buffer makeShortScream(double rate);
Buffer makeOof(double rate);
Buffer makeFadeScream(double rate);
Buffer makeDeathCry(double rate);
Buffer makeDeathGurgle(double rate);

// Machines and metal.
Buffer makeChainsawLoop(double rate);
Buffer makeChainsawSlash(double rate);
Buffer makeClang(double rate);
Buffer makeSteelRing(double rate);
Buffer makeSwish(double rate);
Buffer makeMenuClick(double rate);
Buffer makePowerUp(double rate);

// Crowds.
Buffer makeCrowdOhh(double rate);
Buffer makeCrowdRoar(double rate);
Buffer makeCheer(double rate);

// Announcer lines: spoken by espeak-ng when it is installed, else a synthesised stand-in
// with the rhythm and melody of the phrase. `wordsPerMinute` and `pitch` (0-99) steer the
// speaker: the title is drawn out and low, the calls to arms quicker.
Buffer makeAnnouncement(const std::string& text, double rate, uint64_t seed, int wordsPerMinute, int pitch);

// The chainsaw's firing period in samples at 11025 Hz; the loop is a whole number of them.
constexpr size_t kChainsawPeriod = 84;
constexpr size_t kChainsawCycles = 128;

}  // namespace snd
