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

Buffer sing(const VocalSpec& spec, Rng& rng) {
    const double rate = spec.rate;
    const size_t n = static_cast<size_t>(spec.seconds * rate);
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
    const double vibRate = spec.vibratoHz * (0.9 + 0.2 * rng.uniform());

    for (size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double amp = spec.amplitude(t);
        double wobble = spec.vibratoDepth * vibrato.sine(vibRate, rate) + spec.jitter * jitter.at(t);
        double f0 = std::max(30.0, spec.pitch(t) * (1.0 + wobble));

        // A narrow pulse plus a saw gives the buzzy, odd-and-even rich glottal spectrum.
        double src = 0.6 * glottis.pulse(f0, rate, 0.3);
        double subWave = sub.sine(f0 * 0.5, rate);
        src *= 1.0 + spec.roughness * 0.9 * subWave;
        src = tilt.lowpass(src, spec.brightness, rate);
        double noise = breathTone.lowpass(rng.bipolar(), 5000, rate);
        src = src * (1.0 + 0.15 * shimmer.at(t)) + spec.breath * 3.0 * noise;

        Vowel v = spec.vowel(t);
        double f[3] = {v.f1 * spec.formantScale, v.f2 * spec.formantScale, v.f3 * spec.formantScale};
        double y = 0;
        for (int k = 0; k < 3; ++k) {
            double bw = baseWidth[k] * spec.bandwidth;
            double q = f[k] / bw;
            // Band output times 1/q peaks at unity, so the weights alone set the balance.
            y += weight[k] * formant[k].bandpass(src, f[k], q, rate) / q;
        }
        out[i] = static_cast<float>(y * amp);
    }
    return out;
}

}  // namespace snd
