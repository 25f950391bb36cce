// The crowd below the wall: many detuned formant voices over a bed of filtered noise.
#include <algorithm>
#include <memory>

#include "sound_effects.h"
#include "sound_vocal.h"

namespace snd {

namespace {
size_t samples(double seconds, double rate) { return static_cast<size_t>(seconds * rate); }

struct CrowdShape {
    double seconds;
    int voices;
    double lowPitch, highPitch;    // range for the men; women sit about an octave up
    double womenShare;
    double maxOnset;               // voices join over this long
    double attack, hold, release;  // each voice holds about `hold` after its own onset
    double glideUp, glideDown;     // pitch contour, fractions of the voice's own pitch
    Vowel from, to;
    double vowelTime;
    double roughness;
};

Buffer crowd(const CrowdShape& c, double rate, Rng& rng) {
    Buffer out(samples(c.seconds, rate), 0.0f);
    for (int v = 0; v < c.voices; ++v) {
        bool woman = rng.uniform() < c.womenShare;
        double base = rng.range(c.lowPitch, c.highPitch) * (woman ? 1.8 : 1.0);
        double onset = rng.range(0.0, c.maxOnset);
        double attack = c.attack * rng.range(0.7, 1.4);
        double hold = c.hold * rng.range(0.75, 1.2);
        double release = c.release * rng.range(0.7, 1.3);
        double up = c.glideUp * rng.range(0.5, 1.5), down = c.glideDown * rng.range(0.6, 1.4);
        double vowelTime = c.vowelTime * rng.range(0.7, 1.3);
        auto wander = std::make_shared<Wander>(rng, rng.range(2.0, 5.0));
        VoiceShape s;
        s.rate = rate;
        s.seconds = std::min(c.seconds - onset, hold + release + 0.05);
        if (s.seconds <= 0.05) continue;
        s.pitch = [=](double t) {
            double shape = up * smoothstep(t / (hold * 0.4)) - down * smoothstep((t - hold * 0.4) / (hold * 0.6 + release));
            return base * (1.0 + shape + 0.03 * wander->at(t));
        };
        // No two people shout quite the same vowel; the spread is what makes it a crowd
        // rather than one voice copied.
        static const Vowel others[] = {vowels::A, vowels::E, vowels::O, vowels::UH, vowels::AE};
        // One draw per statement: each compiler picks its own order for a call's arguments.
        // The amount comes before the vowel, as it did in the gcc builds when both were
        // arguments.
        double fromAmount = rng.range(0.0, 0.3);
        Vowel fromOther = others[rng.below(5)];
        Vowel from = mixVowel(c.from, fromOther, fromAmount);
        double toAmount = rng.range(0.0, 0.3);
        Vowel toOther = others[rng.below(5)];
        Vowel to = mixVowel(c.to, toOther, toAmount);
        s.vowel = [=](double t) { return mixVowel(from, to, smoothstep(t / vowelTime)); };
        s.amplitude = [=](double t) { return smoothstep(t / attack) * (1.0 - smoothstep((t - hold) / release)); };
        s.formantScale = (woman ? 1.17 : 1.0) * rng.range(0.87, 1.13);
        s.jitter = 0.02;
        s.vibratoHz = rng.range(4.0, 6.5);
        s.vibratoDepth = rng.range(0.005, 0.02);
        s.breath = 0.1;
        s.roughness = c.roughness * rng.range(0.5, 1.5);
        s.brightness = 2500;
        s.bandwidth = 2.0;  // shouting from the chest: broad, hoarse resonances
        Buffer voice = sing(s, rng);
        mixInto(out, voice, samples(onset, rate), rng.range(0.5, 1.0));
    }
    out.resize(samples(c.seconds, rate));
    return out;
}

// Indistinct murmur and breath of a large crowd, following an envelope.
void addRumble(Buffer& out, double rate, Rng& rng, double level, double centre, double (*env)(double)) {
    Svf band;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        out[i] += static_cast<float>(level * env(t) * band.bandpass(rng.bipolar(), centre, 0.7, rate));
    }
}

void addClaps(Buffer& out, double rate, Rng& rng, int count, double from, double to) {
    for (int k = 0; k < count; ++k) {
        // Denser in the middle: a triangular distribution of clap times.
        double first = rng.uniform();
        double u = 0.5 * (first + rng.uniform());
        double start = from + u * (to - from);
        double centre = rng.range(900, 2600);
        double amp = rng.range(0.3, 1.0);
        Svf f;
        size_t s0 = samples(start, rate);
        size_t len = samples(0.02, rate);
        for (size_t i = 0; i < len && s0 + i < out.size(); ++i) {
            double t = i / rate;
            out[s0 + i] += static_cast<float>(amp * f.bandpass(rng.bipolar(), centre, 1.5, rate) * percussive(t, 0.0005, 0.004));
        }
    }
}
}  // namespace

Buffer makeCrowdOhh(double rate) {
    // "Ooohh": a crowd impressed by a multiple hit, rising then sinking.
    Rng rng(1414);
    CrowdShape c{1.9, 34, 95, 150, 0.35, 0.18, 0.2, 1.15, 0.55, 0.07, 0.16, vowels::O, vowels::U, 0.9, 0.15};
    Buffer out = crowd(c, rate, rng);
    addRumble(out, rate, rng, 0.6, 450, [](double t) { return smoothstep(t / 0.3) * (1.0 - smoothstep((t - 1.1) / 0.7)); });
    return out;
}

Buffer makeCrowdRoar(double rate) {
    // The big roar: a crowd on its feet, "yeeaah", with a swell of noise underneath.
    Rng rng(1515);
    CrowdShape c{2.7, 48, 120, 190, 0.4, 0.25, 0.25, 1.7, 0.9, 0.12, 0.1, vowels::E, vowels::A, 0.35, 0.4};
    Buffer out = crowd(c, rate, rng);
    addRumble(out, rate, rng, 1.4, 900, [](double t) { return smoothstep(t / 0.35) * (1.0 - smoothstep((t - 1.3) / 1.3)); });
    addClaps(out, rate, rng, 140, 0.4, 2.6);
    return out;
}

Buffer makeCheer(double rate) {
    // End of level: applause, "hey!" shouts and a couple of whistles.
    Rng rng(1616);
    CrowdShape c{3.2, 40, 130, 200, 0.45, 2.3, 0.08, 0.35, 0.3, 0.15, 0.05, vowels::E, vowels::AE, 0.25, 0.3};
    Buffer out = crowd(c, rate, rng);
    scale(out, 0.8);
    addClaps(out, rate, rng, 900, 0.0, 3.1);
    for (int w = 0; w < 2; ++w) {
        double start = 0.3 + 0.9 * w + rng.range(0.0, 0.2);
        double f0 = rng.range(1900, 2300);
        Osc whistle;
        size_t s0 = samples(start, rate);
        size_t len = samples(0.55, rate);
        for (size_t i = 0; i < len && s0 + i < out.size(); ++i) {
            double t = i / rate;
            double f = f0 * (1.0 + 0.35 * std::sin(kPi * t / 0.55) - 0.15 * smoothstep((t - 0.35) / 0.2));
            double env = smoothstep(t / 0.04) * (1.0 - smoothstep((t - 0.4) / 0.15));
            out[s0 + i] += static_cast<float>(0.25 * env * whistle.sine(f, rate));
        }
    }
    addRumble(out, rate, rng, 0.5, 1200, [](double t) { return smoothstep(t / 0.2) * (1.0 - smoothstep((t - 2.2) / 1.0)); });
    return out;
}

}  // namespace snd
