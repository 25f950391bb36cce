#include "sound_vocal.h"

#include <algorithm>

namespace snd {

double Wander::at(double t) {
    long seg = static_cast<long>(std::floor(t * hz_));
    while (segment_ < seg) {
        from_ = to_;
        to_ = rng_.bipolar();
        ++segment_;
    }
    double frac = t * hz_ - static_cast<double>(seg);
    return lerp(from_, to_, smoothstep(frac));
}

Buffer sing(const VoiceShape& voice, Rng& rng) {
    const double rate = voice.rate;
    const size_t n = static_cast<size_t>(voice.seconds * rate);
    Buffer out(n, 0.0f);
    Osc glottis(rng.uniform());
    Osc sub(rng.uniform());
    Osc vibrato(rng.uniform());
    Wander jitter(rng, 37.0);
    Wander shimmer(rng, 23.0);
    OnePole tilt;
    OnePole breathTone;
    Svf formant[3];
    static const double baseWidth[3] = {90, 110, 170};
    static const double weight[3] = {1.0, 0.55, 0.3};
    const double vibRate = voice.vibratoHz * (0.9 + 0.2 * rng.uniform());

    for (size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double amp = voice.amplitude(t);
        double wobble = voice.vibratoDepth * vibrato.sine(vibRate, rate) + voice.jitter * jitter.at(t);
        double f0 = std::max(30.0, voice.pitch(t) * (1.0 + wobble));

        // A narrow pulse is a buzzy glottal source, rich in odd and even harmonics.
        double src = 0.6 * glottis.pulse(f0, rate, 0.3);
        double subWave = sub.sine(f0 * 0.5, rate);
        src *= 1.0 + voice.roughness * 0.9 * subWave;
        src = tilt.lowpass(src, voice.brightness, rate);
        double noise = breathTone.lowpass(rng.bipolar(), 5000, rate);
        src = src * (1.0 + 0.15 * shimmer.at(t)) + voice.breath * 3.0 * noise;

        Vowel v = voice.vowel(t);
        double f[3] = {v.f1 * voice.formantScale, v.f2 * voice.formantScale, v.f3 * voice.formantScale};
        double y = 0;
        for (int k = 0; k < 3; ++k) {
            double bw = baseWidth[k] * voice.bandwidth;
            double q = f[k] / bw;
            // Band output times 1/q peaks at unity, so the weights alone set the balance.
            y += weight[k] * formant[k].bandpass(src, f[k], q, rate) / q;
        }
        out[i] = static_cast<float>(y * amp);
    }
    return out;
}

}  // namespace snd
