// Hits, screams and cries of the climbers.
#include <algorithm>
#include <memory>

#include "sound_effects.h"
#include "sound_vocal.h"

namespace snd {

namespace {
size_t samples(double seconds, double rate) { return static_cast<size_t>(seconds * rate); }

// Piecewise-linear curve through (time, value) points; flat beyond the ends.
struct Curve {
    std::vector<std::pair<double, double>> points;
    double operator()(double t) const {
        if (t <= points.front().first) return points.front().second;
        for (size_t i = 1; i < points.size(); ++i) {
            if (t <= points[i].first) {
                const auto& [t0, v0] = points[i - 1];
                const auto& [t1, v1] = points[i];
                return lerp(v0, v1, smoothstep((t - t0) / (t1 - t0)));
            }
        }
        return points.back().second;
    }
};

// Overdrive for screams: a throat at its limit flattens its own peaks.
void drive(Buffer& x, double amount) {
    double p = peak(x);
    if (p <= 0) return;
    for (float& v : x) v = static_cast<float>(std::tanh(amount * v / p) / std::tanh(amount));
}
}  // namespace

Buffer makeSplat(double rate) {
    // Authored for 11025 Hz and replayed between 8000 and ~12000: the thump sits low enough
    // that the slow replay still has body, the squelch is short enough for the fast one.
    Rng rng(101);
    Buffer out(samples(0.36, rate), 0.0f);
    Osc thump;
    Svf squelch, slap;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double f = 45.0 + 80.0 * std::exp(-t / 0.03);
        double body = 0.9 * thump.sine(f, rate) * percussive(t, 0.002, 0.06);
        double cutoff = 300.0 + 2800.0 * std::exp(-t / 0.05);
        double wet = 1.1 * squelch.lowpass(rng.bipolar(), cutoff, 2.5, rate) * percussive(t, 0.003, 0.09);
        double crack = 0.5 * slap.highpass(rng.bipolar(), 1500, 0.7, rate) * percussive(t, 0.0005, 0.008);
        out[i] = static_cast<float>(body + wet + crack);
    }
    // Bubbles and drips: short rising blips are what make a thud sound wet.
    for (int b = 0; b < 7; ++b) {
        double start = 0.02 + rng.range(0.0, 0.22);
        double f0 = rng.range(350, 700);
        double len = rng.range(0.02, 0.045);
        double amp = 0.7 * std::exp(-start / 0.15);
        Osc o;
        size_t s0 = samples(start, rate);
        for (size_t i = 0; i < samples(len, rate) && s0 + i < out.size(); ++i) {
            double t = i / rate;
            double f = f0 * (1.0 + 1.2 * t / len);
            out[s0 + i] += static_cast<float>(amp * o.sine(f, rate) * percussive(t, 0.002, len * 0.35));
        }
    }
    return out;
}

Buffer makeWildScream(double rate) {
    // A body part flies off: long, high, unsteady, breaking at the end.
    Rng rng(202);
    auto wander = std::make_shared<Wander>(rng, 6.0);
    Curve contour{{{0.0, 380}, {0.12, 720}, {0.5, 760}, {0.9, 820}, {1.25, 700}, {1.6, 420}}};
    VoiceShape s;
    s.rate = rate;
    s.seconds = 1.6;
    s.pitch = [=](double t) { return contour(t) * (1.0 + 0.1 * wander->at(t)); };
    s.vowel = [](double t) { return mixVowel(vowels::A, vowels::AE, smoothstep(t / 1.2)); };
    s.amplitude = [](double t) { return smoothstep(t / 0.06) * (1.0 - smoothstep((t - 1.25) / 0.35)); };
    s.formantScale = 1.3;
    s.jitter = 0.03;
    s.vibratoHz = 7;
    s.vibratoDepth = 0.03;
    s.breath = 0.12;
    s.roughness = 0.35;
    s.brightness = 4500;
    s.bandwidth = 1.6;
    Buffer out = sing(s, rng);
    drive(out, 2.0);
    return out;
}

Buffer makeShortScream(double rate) {
    // The cut-down scream: a yelp that is choked off.
    Rng rng(303);
    auto wander = std::make_shared<Wander>(rng, 8.0);
    Curve contour{{{0.0, 450}, {0.08, 780}, {0.45, 860}, {0.7, 640}}};
    VoiceShape s;
    s.rate = rate;
    s.seconds = 0.75;
    s.pitch = [=](double t) { return contour(t) * (1.0 + 0.08 * wander->at(t)); };
    s.vowel = [](double t) { return mixVowel(vowels::AE, vowels::A, smoothstep(t / 0.5)); };
    s.amplitude = [](double t) { return smoothstep(t / 0.04) * (1.0 - smoothstep((t - 0.6) / 0.14)); };
    s.formantScale = 1.25;
    s.jitter = 0.035;
    s.vibratoHz = 8;
    s.vibratoDepth = 0.025;
    s.breath = 0.15;
    s.roughness = 0.45;
    s.brightness = 4000;
    s.bandwidth = 1.6;
    Buffer out = sing(s, rng);
    drive(out, 2.2);
    return out;
}

Buffer makeOof(double rate) {
    // Winded grunt: a short low "uh" that collapses into breath.
    Rng rng(404);
    VoiceShape s;
    s.rate = rate;
    s.seconds = 0.34;
    s.pitch = [](double t) { return 175.0 - 70.0 * smoothstep(t / 0.2); };
    s.vowel = [](double t) { return mixVowel(vowels::UH, vowels::U, smoothstep(t / 0.18)); };
    s.amplitude = [](double t) { return smoothstep(t / 0.012) * (1.0 - smoothstep((t - 0.08) / 0.14)); };
    s.jitter = 0.05;
    s.vibratoDepth = 0;
    s.breath = 0.02;
    s.roughness = 0.5;
    s.brightness = 2200;
    s.bandwidth = 1.3;
    Buffer out = sing(s, rng);
    Svf hiss;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double env = smoothstep((t - 0.12) / 0.05) * (1.0 - smoothstep((t - 0.2) / 0.12));
        out[i] += static_cast<float>(0.05 * env * hiss.bandpass(rng.bipolar(), 1800, 0.8, rate));
    }
    return out;
}

Buffer makeFadeScream(double rate) {
    // Falling off the wall: the pitch drops and the voice recedes, losing its highs.
    Rng rng(505);
    auto wander = std::make_shared<Wander>(rng, 5.0);
    VoiceShape s;
    s.rate = rate;
    s.seconds = 1.8;
    s.pitch = [=](double t) { return (240.0 + 680.0 * std::exp(-t / 0.7)) * (1.0 + 0.05 * wander->at(t)); };
    s.vowel = [](double t) { return mixVowel(vowels::A, vowels::O, smoothstep(t / 1.6)); };
    s.amplitude = [](double t) { return smoothstep(t / 0.05) * std::exp(-t / 0.65); };
    s.formantScale = 1.2;
    s.jitter = 0.025;
    s.vibratoHz = 6;
    s.vibratoDepth = 0.03;
    s.breath = 0.1;
    s.roughness = 0.25;
    s.brightness = 4000;
    s.bandwidth = 1.5;
    Buffer out = sing(s, rng);
    drive(out, 1.6);
    Svf distance;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        out[i] = distance.lowpass(out[i], 700.0 + 4000.0 * std::exp(-t / 0.5), 0.7, rate);
    }
    return out;
}

Buffer makeDeathCry(double rate) {
    // "Aaargh": rises, then sinks into a rattling growl.
    Rng rng(606);
    auto wander = std::make_shared<Wander>(rng, 7.0);
    Curve contour{{{0.0, 210}, {0.12, 330}, {0.45, 290}, {0.9, 150}, {1.1, 120}}};
    VoiceShape s;
    s.rate = rate;
    s.seconds = 1.1;
    s.pitch = [=](double t) { return contour(t) * (1.0 + 0.05 * wander->at(t)); };
    s.vowel = [](double t) { return mixVowel(vowels::A, vowels::ER, smoothstep((t - 0.45) / 0.4)); };
    s.amplitude = [](double t) { return smoothstep(t / 0.05) * (1.0 - smoothstep((t - 0.55) / 0.5)); };
    s.jitter = 0.04;
    s.vibratoDepth = 0.02;
    s.breath = 0.08;
    s.roughness = 0.55;
    s.brightness = 3200;
    s.bandwidth = 1.4;
    Buffer out = sing(s, rng);
    drive(out, 1.8);
    return out;
}

Buffer makeDeathGurgle(double rate) {
    // "Uuaagh" with a gurgle: a wet flutter takes over as the voice gives out.
    Rng rng(707);
    Curve contour{{{0.0, 300}, {0.1, 410}, {0.35, 360}, {0.9, 170}}};
    VoiceShape s;
    s.rate = rate;
    s.seconds = 0.95;
    s.pitch = [=](double t) { return contour(t); };
    s.vowel = [](double t) {
        if (t < 0.2) return mixVowel(vowels::U, vowels::A, smoothstep(t / 0.2));
        return mixVowel(vowels::A, vowels::UH, smoothstep((t - 0.4) / 0.3));
    };
    s.amplitude = [](double t) { return smoothstep(t / 0.04) * (1.0 - smoothstep((t - 0.5) / 0.45)); };
    s.formantScale = 1.1;
    s.jitter = 0.05;
    s.vibratoDepth = 0.015;
    s.breath = 0.1;
    s.roughness = 0.5;
    s.brightness = 3500;
    s.bandwidth = 1.5;
    Buffer out = sing(s, rng);
    drive(out, 1.8);
    Osc flutter;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double depth = 0.8 * smoothstep((t - 0.45) / 0.2);
        out[i] *= static_cast<float>(1.0 - depth * (0.5 + 0.5 * flutter.sine(24.0, rate)));
    }
    return out;
}

}  // namespace snd
