#include "platform/resampling_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace resampling {
namespace {

// Half-way down at 0.45 of the input rate: a 9 kHz tone of a 22050 Hz recording (0.41) loses
// under 1 dB, and from 0.55 on the stop band is about 95 dB deep, so the images of a
// recording (at the input rate minus its content) vanish, and what little it holds right at
// its Nyquist frequency is damped rather than mirrored above it. Beta trades the stop
// band's depth against the transition's width for these 32 taps.
constexpr double cutoff = 0.90;  // of the input's Nyquist frequency
constexpr double kaiserBeta = 9.6;

double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 60 && term > sum * 1e-17; ++k) {
        const double half = x / (2.0 * k);
        term *= half * half;
        sum += term;
    }
    return sum;
}

double windowedSinc(double u) {
    const double r = u / kernelHalfWidth;
    if (std::fabs(r) >= 1.0) return 0.0;
    const double pi = std::acos(-1.0);
    const double x = pi * cutoff * u;
    const double sinc = u == 0.0 ? 1.0 : std::sin(x) / x;
    return cutoff * sinc * besselI0(kaiserBeta * std::sqrt(1.0 - r * r)) / besselI0(kaiserBeta);
}

// finePhases + 1 rows in double, each scaled to sum to 1 (its gain at 0 Hz).
const std::vector<double>& masterRows() {
    static const std::vector<double> rows = [] {
        std::vector<double> all(static_cast<size_t>(finePhases + 1) * kernelTaps);
        for (int k = 0; k <= finePhases; ++k) {
            double* row = all.data() + static_cast<size_t>(k) * kernelTaps;
            double sum = 0.0;
            for (int m = 0; m < kernelTaps; ++m) {
                row[m] =
                    windowedSinc((m - (kernelHalfWidth - 1)) - static_cast<double>(k) / finePhases);
                sum += row[m];
            }
            for (int m = 0; m < kernelTaps; ++m) row[m] /= sum;
        }
        return all;
    }();
    return rows;
}

// The master kernel between its rows at fraction f in [0, 1], as integer taps summing to
// exactly tapUnit: each tap is rounded down and the shortfall goes, one unit each, to the
// taps that lost the most, so no tap is off by more than one unit (a lump added to one tap
// would show as a flat error floor near -70 dB).
void makeRow(double f, int16_t* out) {
    const std::vector<double>& rows = masterRows();
    const double position = f * finePhases;
    const int k = std::min(static_cast<int>(position), finePhases - 1);
    const double w = position - k;
    const double* a = rows.data() + static_cast<size_t>(k) * kernelTaps;
    const double* b = a + kernelTaps;
    double lost[kernelTaps];
    int32_t sum = 0;
    for (int m = 0; m < kernelTaps; ++m) {
        const double tap = (a[m] + (b[m] - a[m]) * w) * tapUnit;
        const double down = std::floor(tap);
        out[m] = static_cast<int16_t>(down);
        lost[m] = tap - down;
        sum += out[m];
    }
    for (int32_t shortfall = tapUnit - sum; shortfall > 0; --shortfall) {
        const int m = static_cast<int>(std::max_element(lost, lost + kernelTaps) - lost);
        ++out[m];
        lost[m] = -1.0;
    }
}

}  // namespace

PhaseRows exactPhaseRows(int phases) {
    PhaseRows rows;
    rows.phases = std::max(phases, 1);
    const size_t size = static_cast<size_t>(rows.phases) * kernelTaps;
    rows.taps.resize(2 * size);
    for (int r = 0; r < rows.phases; ++r)
        makeRow(static_cast<double>(r) / rows.phases,
                rows.taps.data() + static_cast<size_t>(r) * kernelTaps);
    std::copy(rows.taps.begin(), rows.taps.begin() + static_cast<ptrdiff_t>(size),
              rows.taps.begin() + static_cast<ptrdiff_t>(size));
    return rows;
}

const PhaseRows& finePhaseRows() {
    static const PhaseRows rows = [] {
        PhaseRows fine;
        fine.phases = finePhases + 1;
        fine.taps.resize(static_cast<size_t>(fine.phases) * kernelTaps);
        for (int k = 0; k <= finePhases; ++k)
            makeRow(static_cast<double>(k) / finePhases,
                    fine.taps.data() + static_cast<size_t>(k) * kernelTaps);
        return fine;
    }();
    return rows;
}

double kernelAt(double u) {
    if (!(std::fabs(u) < kernelHalfWidth)) return 0.0;
    const double c = std::ceil(u);
    const int m = static_cast<int>(c) + kernelHalfWidth - 1;
    if (m < 0 || m >= kernelTaps) return 0.0;
    const double position = (c - u) * finePhases;
    const int k = std::min(static_cast<int>(position), finePhases - 1);
    const double w = position - k;
    const std::vector<double>& rows = masterRows();
    const double a = rows[static_cast<size_t>(k) * kernelTaps + m];
    const double b = rows[static_cast<size_t>(k + 1) * kernelTaps + m];
    return a + (b - a) * w;
}

}  // namespace resampling
