// Small signal-processing kit the sound and music generators are built from. Everything
// works on float buffers in -1..1; conversion to the game's 8-bit files happens last.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace snd {

using Buffer = std::vector<float>;
constexpr double kPi = 3.14159265358979323846;

// Every random choice comes from an explicitly seeded generator so that two builds write
// the same bytes.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
        if (state_ == 0) state_ = 1;
    }
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double bipolar() { return 2.0 * uniform() - 1.0; }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

inline double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
inline double dbGain(double db) { return std::pow(10.0, db / 20.0); }
inline double lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double clamp01(double t) { return t < 0 ? 0 : (t > 1 ? 1 : t); }
// 0 at t <= 0, 1 at t >= 1, smooth in between; used for glides and fades.
inline double smoothstep(double t) {
    t = clamp01(t);
    return t * t * (3 - 2 * t);
}

// Phase-accumulating oscillator. Saw and pulse are band-limited with polyBLEP: naive
// waveforms alias badly at 11 and 22 kHz and turn every high note into a whistle.
class Osc {
public:
    explicit Osc(double phase = 0) : phase_(phase) {}
    float sine(double hz, double rate);
    float saw(double hz, double rate);
    float pulse(double hz, double rate, double width);
    float triangle(double hz, double rate);
    double phase() const { return phase_; }

private:
    void advance(double dt) {
        phase_ += dt;
        if (phase_ >= 1.0) phase_ -= std::floor(phase_);
    }
    double phase_;
    double triState_ = 0;
};

// Zero-delay-feedback state-variable filter: stays stable while its cutoff sweeps every
// sample, which the effects do all the time.
class Svf {
public:
    struct Out {
        float low, band, high;
    };
    Out process(double x, double cutoffHz, double q, double rate);
    float lowpass(double x, double hz, double q, double rate) { return process(x, hz, q, rate).low; }
    float bandpass(double x, double hz, double q, double rate) { return process(x, hz, q, rate).band; }
    float highpass(double x, double hz, double q, double rate) { return process(x, hz, q, rate).high; }

private:
    double ic1_ = 0, ic2_ = 0;
};

class OnePole {
public:
    float lowpass(double x, double hz, double rate);
    float highpass(double x, double hz, double rate) { return static_cast<float>(x - lowpass(x, hz, rate)); }

private:
    double y_ = 0;
};

// Attack-decay-sustain-release level at time t (seconds) of a note held for `held` seconds.
double adsr(double t, double attack, double decay, double sustain, double release, double held);
// Quick linear attack then exponential decay with time constant tau.
double percussive(double t, double attack, double tau);

// Simple room: parallel combs into series allpasses, mixed in at `wet`. Enough to turn a
// dry speech synthesiser into an announcer in a hall.
void reverb(Buffer& x, double rate, double roomSeconds, double feedback, double wet);
void feedbackDelay(Buffer& x, size_t delay, double feedback, double wet);

void fadeIn(Buffer& x, size_t n);
void fadeOut(Buffer& x, size_t n);
// Short effects must start and end on silence, or the game's stop and restart would click;
// they rise over a few milliseconds, or their first wave would click in the mix.
void softEdges(Buffer& x, double rate);
double peak(const Buffer& x);
double rms(const Buffer& x);
void removeDc(Buffer& x, double rate);
void scale(Buffer& x, double gain);
// Scale so the level is `rmsTarget` unless that would push the peak past `peakLimit`;
// whatever still stands above the limit is bent back by a soft knee.
void normalise(Buffer& x, double peakLimit, double rmsTarget);
void softLimit(Buffer& x, double ceiling);
void mixInto(Buffer& dst, const Buffer& src, size_t offset, double gain);

// Turns `x` (rendered longer than `loopLen`) into a seamless loop of loopLen samples: the
// material after the loop point is cross-faded over the head, so the last sample leads
// straight into the first.
Buffer crossfadeLoop(const Buffer& x, size_t loopLen, size_t fadeLen);
// For music rendered with ringing tails past the loop point: whatever sounds after the end
// belongs to the start of the next pass, so it is added there.
void foldTail(Buffer& x, size_t loopLen);

Buffer resample(const Buffer& x, double fromRate, double toRate);
std::vector<uint8_t> toUnsigned8(const Buffer& x);

}  // namespace snd
