// Chainsaw, metal and interface sounds.
#include <algorithm>

#include "sound_effects.h"

namespace snd {

namespace {
size_t samples(double seconds, double rate) { return static_cast<size_t>(seconds * rate); }

// One firing of a small two-stroke: a sharp exhaust pop ringing in the muffler, then the
// buzz of the pipe until the next firing. `phase` runs 0..1 over one cycle.
double engineCycle(double phase, double periodSeconds) {
    double t = phase * periodSeconds;
    double pop = std::exp(-t / 0.0016) * std::sin(2 * kPi * 420.0 * t);
    double pipe = std::exp(-t / 0.004) * std::sin(2 * kPi * 1150.0 * t + 1.0);
    double body = 0.35 * (1.0 - 2.0 * phase);  // the saw-like pressure ramp of the cylinder
    return 0.9 * pop + 0.35 * pipe + body;
}

// Partial of a struck metal object: two slightly detuned sines so the ring beats.
struct Mode {
    double ratio, amp, tau;
};

Buffer strike(double rate, double seconds, double f0, const std::vector<Mode>& modes, double beat) {
    Buffer out(samples(seconds, rate), 0.0f);
    for (const Mode& m : modes) {
        double f = f0 * m.ratio;
        if (f * (1 + beat) > rate * 0.45) continue;
        Osc a, b(0.25);
        for (size_t i = 0; i < out.size(); ++i) {
            double t = i / rate;
            double env = percussive(t, 0.0008, m.tau);
            out[i] += static_cast<float>(m.amp * env * 0.5 * (a.sine(f * (1 - beat), rate) + b.sine(f * (1 + beat), rate)));
        }
    }
    // Cut short, the ring would stop with a click where the next one is still sounding.
    fadeOut(out, samples(0.08, rate));
    return out;
}
}  // namespace

Buffer makeChainsawLoop(double rate) {
    // The tonal part is computed from the sample index modulo the firing period, so it
    // repeats exactly after a whole number of cycles; only the chain's noise differs
    // across the loop point and is cross-faded there.
    Rng rng(808);
    const size_t period = kChainsawPeriod;
    const size_t loopLen = period * kChainsawCycles;
    const size_t fade = period * 16;
    const size_t preRoll = 2048;  // lets the noise filters settle before the loop starts
    const double periodSeconds = period / rate;

    Buffer noise(loopLen + fade, 0.0f);
    Svf chain, muffler;
    for (size_t i = 0; i < preRoll + noise.size(); ++i) {
        double w = rng.bipolar();
        double rattle = chain.bandpass(w, 2600, 1.2, rate);
        double hiss = muffler.lowpass(w, 700, 0.8, rate);
        if (i >= preRoll) noise[i - preRoll] = static_cast<float>(0.5 * rattle + 0.35 * hiss);
    }
    Buffer looped = crossfadeLoop(noise, loopLen, fade);

    // Per-cycle strength varies a little, as a real engine never fires twice alike; the
    // table repeats with the loop so the variation is seamless too.
    std::vector<double> strength(kChainsawCycles);
    for (double& s : strength) s = 0.85 + 0.3 * rng.uniform();

    Buffer out(loopLen, 0.0f);
    for (size_t i = 0; i < loopLen; ++i) {
        size_t cycle = i / period;
        double phase = static_cast<double>(i % period) / period;
        // Two slow surges per loop, whole cycles of a sine, like a hand on the throttle.
        double surge = 1.0 + 0.12 * std::sin(2 * kPi * 2.0 * i / loopLen);
        double gate = 0.45 + 0.55 * std::exp(-phase * 4.0);
        double tone = engineCycle(phase, periodSeconds) * strength[cycle];
        // Driving it into a hard knee gives the rasp of a small engine with a tinny muffler;
        // a pointwise curve keeps the loop seamless.
        out[i] = static_cast<float>(std::tanh(2.2 * surge * (tone + gate * looped[i])));
    }
    return out;
}

Buffer makeChainsawSlash(double rate) {
    // The blade bites: the engine revs up, bogs down in the cut and grinds through.
    Rng rng(909);
    Buffer out(samples(0.6, rate), 0.0f);
    Svf grind, crunch;
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double hz = t < 0.1 ? lerp(130, 185, t / 0.1) : lerp(185, 105, smoothstep((t - 0.1) / 0.4));
        phase += hz / rate;
        if (phase >= 1) phase -= 1;
        double engine = engineCycle(phase, 1.0 / hz);
        double load = smoothstep((t - 0.05) / 0.08) * (1.0 - smoothstep((t - 0.35) / 0.2));
        double teeth = grind.bandpass(rng.bipolar(), 1800 + 1200 * std::sin(2 * kPi * 9 * t), 1.5, rate);
        double gateTeeth = 0.5 + 0.5 * std::exp(-phase * 3.0);
        double wet = crunch.lowpass(rng.bipolar(), 900, 1.5, rate) * percussive(t - 0.08, 0.004, 0.07);
        double env = smoothstep(t / 0.01) * (1.0 - smoothstep((t - 0.45) / 0.15));
        out[i] = static_cast<float>(env * (0.8 * engine + load * 1.6 * teeth * gateTeeth + 1.2 * wet));
    }
    return out;
}

namespace {
// One iron ball meeting stone: the clack of two hard faces, a short bright ping of the ball
// (the stone's grip damps it at once) and a dull knock with a crunch of grit from the stone.
// Nothing rings on: stone swallows the ring within a tenth of a second.
Buffer ironOnStone(double rate, double seconds, Rng& rng) {
    const Mode ping[] = {{1.0, 1.0, 0.05}, {1.49, 0.6, 0.035}, {1.87, 0.35, 0.025}};
    const double pingHz = 1780;
    Buffer out(samples(seconds, rate), 0.0f);
    Osc tone[3], knock;
    Svf clack, grit;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double ring = 0;
        for (int m = 0; m < 3; ++m)
            ring += ping[m].amp * tone[m].sine(pingHz * ping[m].ratio, rate) *
                    percussive(t, 0.003, ping[m].tau);
        double hit = clack.bandpass(rng.bipolar(), 2400, 1.4, rate) * percussive(t, 0.003, 0.006);
        // Grit comes in grains, not as a smooth hiss.
        double grain = rng.uniform() < 0.25 ? rng.bipolar() : 0.0;
        double crunch = grit.bandpass(grain, 900, 0.9, rate) * percussive(t, 0.004, 0.02);
        double thud = knock.sine(190.0 - 70.0 * clamp01(t / 0.05), rate) * percussive(t, 0.003, 0.025);
        out[i] = static_cast<float>(0.45 * ring + 1.1 * hit + 1.6 * crunch + 0.8 * thud);
    }
    return out;
}
}  // namespace

Buffer makeClang(double rate) {
    // A ball drops on the stone of the wall and bounces twice, each time lower and sooner.
    Rng rng(1010);
    Buffer out(samples(0.4, rate), 0.0f);
    const double bounces[][2] = {{0.0, 1.0}, {0.11, 0.38}, {0.19, 0.14}};
    for (const auto& [at, gain] : bounces) {
        Buffer hit = ironOnStone(rate, 0.4 - at, rng);
        mixInto(out, hit, samples(at, rate), gain);
    }
    out.resize(samples(0.4, rate));
    return out;
}

Buffer makeSteelRing(double rate) {
    // The smart bomb leaves the hand: a blade-like "shing" that rings on.
    Rng rng(1111);
    const std::vector<Mode> modes = {{1.0, 1.0, 0.9}, {2.76, 0.7, 0.6}, {5.40, 0.45, 0.35}, {8.93, 0.25, 0.2}};
    Buffer out = strike(rate, 1.5, 1180, modes, 0.0025);
    Buffer second = strike(rate, 1.5, 1180 * 1.5 * 1.003, modes, 0.002);
    mixInto(out, second, 0, 0.4);
    Svf scrape;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double env = smoothstep(t / 0.01) * (1.0 - smoothstep(t / 0.16));
        double centre = 7000.0 - 3500.0 * clamp01(t / 0.16);
        out[i] += static_cast<float>(1.2 * env * scrape.bandpass(rng.bipolar(), centre, 3.0, rate));
        // The ring swells in just after the scrape, as the blade clears the sheath.
        out[i] *= static_cast<float>(0.4 + 0.6 * smoothstep(t / 0.05));
    }
    return out;
}

Buffer makeSwish(double rate) {
    // Air past a swung ball: band-passed noise sweeping up and down as it passes.
    Rng rng(1212);
    Buffer out(samples(0.36, rate), 0.0f);
    Svf low, high;
    const double len = 0.36;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double u = t / len;
        double bell = std::pow(std::sin(kPi * std::min(1.0, u * 1.15)), 2.0);
        double centre = 500.0 + 2200.0 * std::sin(kPi * std::min(1.0, u * 1.1));
        double w = rng.bipolar();
        out[i] = static_cast<float>(bell * (low.bandpass(w, centre, 2.2, rate) + 0.5 * high.bandpass(w, centre * 2.1, 3.0, rate)));
    }
    return out;
}

Buffer makeMenuClick(double rate) {
    // "Tsch-onk": a hiss of a latch then a hollow knock. It is also played an octave up,
    // so it is short and its knock sits low enough to stay round when doubled.
    Rng rng(1313);
    Buffer out(samples(0.13, rate), 0.0f);
    Svf hiss, knockTone;
    Osc knock;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double tsch = hiss.highpass(rng.bipolar(), 3500, 0.8, rate) * percussive(t, 0.001, 0.012);
        double kt = t - 0.014;
        double f = 240.0 + 120.0 * std::exp(-std::max(0.0, kt) / 0.015);
        double body = knock.pulse(f, rate, 0.4);
        double onk = knockTone.lowpass(body, 1400, 1.2, rate) * percussive(kt, 0.002, 0.035);
        out[i] = static_cast<float>(0.55 * tsch + onk);
    }
    return out;
}

Buffer makePowerUp(double rate) {
    // A rising major arpeggio that lands on a held, shimmering top note.
    const double notes[] = {72, 76, 79, 84, 88};
    const double step = 0.065;
    Buffer out(samples(0.95, rate), 0.0f);
    for (int k = 0; k < 5; ++k) {
        bool last = k == 4;
        double len = last ? 0.55 : 0.16;
        Osc tone, sparkle, vib;
        Buffer note(samples(len, rate), 0.0f);
        for (size_t i = 0; i < note.size(); ++i) {
            double t = i / rate;
            double bend = last ? 1.0 + 0.006 * vib.sine(7.0, rate) * smoothstep(t / 0.15) : 1.0;
            double f = midiHz(notes[k]) * bend;
            double env = last ? adsr(t, 0.004, 0.1, 0.6, 0.3, len - 0.3) : percussive(t, 0.003, 0.06);
            note[i] = static_cast<float>(env * (0.7 * tone.pulse(f, rate, 0.25) + 0.25 * sparkle.triangle(2 * f, rate)));
        }
        mixInto(out, note, samples(k * step, rate), 1.0);
    }
    feedbackDelay(out, samples(0.09, rate), 0.35, 0.35);
    return out;
}

}  // namespace snd
