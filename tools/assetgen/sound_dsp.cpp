#include "sound_dsp.h"

#include <algorithm>

namespace snd {

namespace {
// polyBLEP residual: smooths the step of a saw or pulse over one sample on either side.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}
}  // namespace

float Osc::sine(double hz, double rate) {
    float v = static_cast<float>(std::sin(2.0 * kPi * phase_));
    advance(hz / rate);
    return v;
}

float Osc::saw(double hz, double rate) {
    double dt = std::min(hz / rate, 0.5);
    double v = 2.0 * phase_ - 1.0 - blep(phase_, dt);
    advance(dt);
    return static_cast<float>(v);
}

float Osc::pulse(double hz, double rate, double width) {
    double dt = std::min(hz / rate, 0.5);
    width = std::clamp(width, 0.02, 0.98);
    double v = phase_ < width ? 1.0 : -1.0;
    v += blep(phase_, dt);
    double shifted = phase_ + 1.0 - width;
    shifted -= std::floor(shifted);
    v -= blep(shifted, dt);
    advance(dt);
    return static_cast<float>(v);
}

float Osc::triangle(double hz, double rate) {
    // A leaky integral of a band-limited square keeps the triangle free of aliasing too.
    double dt = std::min(hz / rate, 0.5);
    double sq = pulse(hz, rate, 0.5);
    triState_ = triState_ * (1.0 - 0.5 * dt) + 4.0 * dt * sq;
    return static_cast<float>(triState_);
}

Svf::Out Svf::process(double x, double cutoffHz, double q, double rate) {
    double fc = std::clamp(cutoffHz, 10.0, rate * 0.45);
    double g = std::tan(kPi * fc / rate);
    double k = 1.0 / std::max(q, 0.05);
    double a1 = 1.0 / (1.0 + g * (g + k));
    double a2 = g * a1;
    double a3 = g * a2;
    double v3 = x - ic2_;
    double v1 = a1 * ic1_ + a2 * v3;
    double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(x - k * v1 - v2)};
}

float OnePole::lowpass(double x, double hz, double rate) {
    double a = 1.0 - std::exp(-2.0 * kPi * std::min(hz, rate * 0.49) / rate);
    y_ += a * (x - y_);
    return static_cast<float>(y_);
}

double adsr(double t, double attack, double decay, double sustain, double release, double held) {
    if (t < 0) return 0;
    auto level = [&](double u) {
        if (u < attack) return u / attack;
        u -= attack;
        if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
        return sustain;
    };
    if (t < held) return level(t);
    double r = t - held;
    if (r >= release) return 0;
    return level(held) * (1.0 - r / release);
}

double percussive(double t, double attack, double tau) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

void feedbackDelay(Buffer& x, size_t delay, double feedback, double wet) {
    if (delay == 0) return;
    Buffer line(x.size(), 0.0f);
    for (size_t i = delay; i < x.size(); ++i)
        line[i] = static_cast<float>(x[i - delay] + feedback * line[i - delay]);
    for (size_t i = 0; i < x.size(); ++i) x[i] += static_cast<float>(wet * line[i]);
}

void reverb(Buffer& x, double rate, double roomSeconds, double feedback, double wet) {
    // Mutually prime comb lengths keep the echoes from piling up into a metallic ring.
    static const double combMs[] = {29.7, 37.1, 41.1, 43.7};
    static const double allpassMs[] = {5.0, 1.7};
    double sizeScale = roomSeconds / 0.05;
    Buffer sum(x.size(), 0.0f);
    for (double ms : combMs) {
        size_t d = std::max<size_t>(1, static_cast<size_t>(ms * 0.001 * sizeScale * rate));
        Buffer line(x.size(), 0.0f);
        double damp = 0;
        for (size_t i = 0; i < x.size(); ++i) {
            double back = i >= d ? line[i - d] : 0.0;
            damp = 0.7 * back + 0.3 * damp;  // darker tail, like a real hall
            line[i] = static_cast<float>(x[i] + feedback * damp);
            sum[i] += static_cast<float>(back * 0.25);
        }
    }
    for (double ms : allpassMs) {
        size_t d = std::max<size_t>(1, static_cast<size_t>(ms * 0.001 * rate));
        Buffer out(sum.size(), 0.0f);
        const double g = 0.6;
        for (size_t i = 0; i < sum.size(); ++i) {
            double delayedIn = i >= d ? sum[i - d] : 0.0;
            double delayedOut = i >= d ? out[i - d] : 0.0;
            out[i] = static_cast<float>(-g * sum[i] + delayedIn + g * delayedOut);
        }
        sum.swap(out);
    }
    for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(x[i] * (1.0 - wet * 0.5) + sum[i] * wet);
}

void fadeIn(Buffer& x, size_t n) {
    n = std::min(n, x.size());
    for (size_t i = 0; i < n; ++i) x[i] *= static_cast<float>(static_cast<double>(i) / n);
}

void fadeOut(Buffer& x, size_t n) {
    n = std::min(n, x.size());
    for (size_t i = 0; i < n; ++i) x[x.size() - 1 - i] *= static_cast<float>(static_cast<double>(i) / n);
}

void softEdges(Buffer& x, double rate) {
    // A raised cosine: no corner where the fade meets the sound. 5 ms keeps even a sound
    // the game plays an octave up over 2 ms in rising, which no ear hears as a click.
    const size_t rise = std::min(x.size(), static_cast<size_t>(rate * 0.005));
    for (size_t i = 0; i < rise; ++i)
        x[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / rise));
    fadeOut(x, static_cast<size_t>(rate * 0.02));
}

double peak(const Buffer& x) {
    double p = 0;
    for (float v : x) p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

double rms(const Buffer& x) {
    if (x.empty()) return 0;
    double s = 0;
    for (float v : x) s += static_cast<double>(v) * v;
    return std::sqrt(s / static_cast<double>(x.size()));
}

void removeDc(Buffer& x, double rate) {
    OnePole lp;
    for (float& v : x) v = lp.highpass(v, 20.0, rate);
}

void scale(Buffer& x, double gain) {
    for (float& v : x) v = static_cast<float>(v * gain);
}

void softLimit(Buffer& x, double ceiling) {
    // Linear up to 70% of the ceiling, then a tanh knee that never reaches it.
    const double knee = 0.7 * ceiling;
    const double room = ceiling - knee;
    for (float& v : x) {
        double a = std::fabs(v);
        if (a <= knee) continue;
        double bent = knee + room * std::tanh((a - knee) / room);
        v = static_cast<float>(v < 0 ? -bent : bent);
    }
}

void normalise(Buffer& x, double peakLimit, double rmsTarget) {
    double r = rms(x);
    if (r <= 0) return;
    double gain = rmsTarget / r;
    // Allow a little overshoot into the soft knee: a single spike should not make a whole
    // sound quiet, but sustained peaks must not be squashed either.
    double p = peak(x);
    gain = std::min(gain, 1.25 * peakLimit / p);
    scale(x, gain);
    softLimit(x, peakLimit);
}

void mixInto(Buffer& dst, const Buffer& src, size_t offset, double gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[offset + i] += static_cast<float>(src[i] * gain);
}

Buffer crossfadeLoop(const Buffer& x, size_t loopLen, size_t fadeLen) {
    fadeLen = std::min({fadeLen, loopLen, x.size() > loopLen ? x.size() - loopLen : size_t{0}});
    Buffer out(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(loopLen));
    for (size_t i = 0; i < fadeLen; ++i) {
        // Equal-power weights: the engine noise is uncorrelated across the seam, so linear
        // weights would leave a dip in loudness.
        double t = (static_cast<double>(i) + 0.5) / fadeLen;
        double head = std::sin(0.5 * kPi * t);
        double tail = std::cos(0.5 * kPi * t);
        out[i] = static_cast<float>(head * x[i] + tail * x[loopLen + i]);
    }
    return out;
}

void foldTail(Buffer& x, size_t loopLen) {
    for (size_t i = loopLen; i < x.size(); ++i) x[(i - loopLen) % loopLen] += x[i];
    x.resize(loopLen);
}

Buffer resample(const Buffer& x, double fromRate, double toRate) {
    if (fromRate == toRate || x.empty()) return x;
    // Windowed sinc; when going down in rate the cutoff follows the new Nyquist limit.
    const int taps = 16;
    double ratio = toRate / fromRate;
    double cutoff = std::min(1.0, ratio) * 0.95;
    size_t n = static_cast<size_t>(std::floor(static_cast<double>(x.size()) * ratio));
    Buffer out(n, 0.0f);
    for (size_t i = 0; i < n; ++i) {
        double pos = static_cast<double>(i) / ratio;
        long centre = static_cast<long>(std::floor(pos));
        double acc = 0, wsum = 0;
        for (long k = centre - taps + 1; k <= centre + taps; ++k) {
            double d = pos - static_cast<double>(k);
            double arg = kPi * d * cutoff;
            double sinc = std::fabs(arg) < 1e-9 ? 1.0 : std::sin(arg) / arg;
            double win = 0.5 + 0.5 * std::cos(kPi * d / (taps + 1));
            double w = sinc * win;
            wsum += w;
            if (k >= 0 && k < static_cast<long>(x.size())) acc += w * x[static_cast<size_t>(k)];
        }
        out[i] = static_cast<float>(wsum != 0 ? acc / wsum : 0.0);
    }
    return out;
}

std::vector<uint8_t> toUnsigned8(const Buffer& x) {
    std::vector<uint8_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        long v = std::lround(128.0 + 127.0 * static_cast<double>(x[i]));
        out[i] = static_cast<uint8_t>(std::clamp(v, 0L, 255L));
    }
    return out;
}

}  // namespace snd
