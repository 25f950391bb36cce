// A source-filter voice: a glottal buzz through a bank of formant resonators. Screams,
// grunts, death cries and every member of the crowd are this one model with different
// pitch, vowel and roughness curves.
#pragma once
#include <functional>

#include "sound_dsp.h"

namespace snd {

struct Vowel {
    double f1, f2, f3;
};

// Formant centres of an adult male voice; screams scale them up a little.
namespace vowels {
constexpr Vowel A{750, 1200, 2500};    // "aah"
constexpr Vowel AE{660, 1700, 2400};   // "a" of "cat"
constexpr Vowel E{530, 1850, 2500};    // "eh"
constexpr Vowel I{300, 2250, 2900};    // "ee"
constexpr Vowel O{500, 850, 2500};     // "oh"
constexpr Vowel U{320, 800, 2300};     // "oo"
constexpr Vowel UH{620, 1200, 2550};   // "uh"
constexpr Vowel ER{480, 1350, 1700};   // "er", the r-coloured end of a groan
}  // namespace vowels

inline Vowel mixVowel(const Vowel& a, const Vowel& b, double t) {
    return {lerp(a.f1, b.f1, t), lerp(a.f2, b.f2, t), lerp(a.f3, b.f3, t)};
}

struct VoiceShape {
    double rate = 22050;
    double seconds = 1;
    std::function<double(double)> pitch;      // Hz at time t
    std::function<Vowel(double)> vowel;       // formants at time t
    std::function<double(double)> amplitude;  // 0..1 at time t
    double formantScale = 1.0;  // >1 for smaller throats (women, children, strained shouts)
    double jitter = 0.01;       // random pitch wobble, fraction of the pitch
    double vibratoHz = 5.5;
    double vibratoDepth = 0.01;
    double breath = 0.05;       // aspiration noise mixed into the source
    double roughness = 0;       // period-doubling growl: 0 clean, 1 fully rough
    double brightness = 3000;   // darkness of the buzz: its lowpass in Hz
    double bandwidth = 1.0;     // formant bandwidth multiplier; wider sounds hoarser
};

Buffer sing(const VoiceShape& voice, Rng& rng);

// Smooth random curve: the value drifts between random targets `hz` times a second, used
// for the unsteady pitch of a scream or a crowd.
class Wander {
public:
    Wander(Rng& rng, double hz) : rng_(rng), hz_(hz) {}
    double at(double t);

private:
    Rng& rng_;
    double hz_;
    long segment_ = -1;
    double from_ = 0, to_ = 0;
};

}  // namespace snd
