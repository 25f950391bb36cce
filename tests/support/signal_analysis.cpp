#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

std::vector<int16_t> mixLeft(Mixer& mixer, size_t frames) {
    std::vector<int16_t> stereo(frames * 2, 12345), left(frames);
    mixer.mix(stereo.data(), frames);
    for (size_t i = 0; i < frames; ++i) left[i] = stereo[2 * i];
    for (size_t i = 0; i < frames; ++i)
        if (stereo[2 * i + 1] != left[i]) {
            ADD_FAILURE() << "the right channel differs from the left at frame " << i;
            break;
        }
    return left;
}

std::vector<int16_t> mixAlone(const std::vector<uint8_t>& recording, int hz, size_t frames,
                              bool looped, int outputRate) {
    Mixer mixer(outputRate);
    mixer.play(mixer.addVoice(recording.data(), recording.size(), hz), looped);
    return mixLeft(mixer, frames);
}

double rmsDb(const std::vector<int16_t>& signal, size_t from, size_t to) {
    to = std::min(to, signal.size());
    double sum = 1e-9;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(signal[i]) * signal[i];
    return 10 * std::log10(sum / static_cast<double>(std::max<size_t>(1, to - from)));
}

std::vector<double> powerSpectrumDb(const std::vector<int16_t>& signal, size_t size) {
    const double pi = std::acos(-1.0);
    std::vector<std::complex<double>> bins(size);
    for (size_t i = 0; i < size; ++i) {
        double x = 2 * pi * static_cast<double>(i) / static_cast<double>(size - 1);
        double window =
            0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        bins[i] = window * (i < signal.size() ? signal[i] : 0);
    }
    // Iterative radix-2 FFT.
    for (size_t i = 1, j = 0; i < size; ++i) {
        size_t bit = size >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(bins[i], bins[j]);
    }
    for (size_t length = 2; length <= size; length <<= 1) {
        std::complex<double> step = std::polar(1.0, -2 * pi / static_cast<double>(length));
        for (size_t start = 0; start < size; start += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k, w *= step) {
                std::complex<double> a = bins[start + k], b = bins[start + k + length / 2] * w;
                bins[start + k] = a + b;
                bins[start + k + length / 2] = a - b;
            }
        }
    }
    std::vector<double> db(size / 2);
    for (size_t k = 0; k < db.size(); ++k) db[k] = 10 * std::log10(std::norm(bins[k]) + 1e-12);
    return db;
}

double loudestDb(const std::vector<double>& spectrum, int rate, double fromHz, double toHz) {
    const double binHz = static_cast<double>(rate) / (2.0 * static_cast<double>(spectrum.size()));
    size_t from = static_cast<size_t>(std::ceil(fromHz / binHz));
    size_t to = std::min(spectrum.size(), static_cast<size_t>(std::ceil(toHz / binHz)));
    double loudest = -1e9;
    for (size_t k = from; k < to; ++k) loudest = std::max(loudest, spectrum[k]);
    return loudest;
}
