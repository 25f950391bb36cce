#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The band-limited interpolation kernel the mixer resamples with: a Kaiser-windowed sinc
// reaching kernelHalfWidth input samples either way, cut off below the input's Nyquist
// frequency so that the images of a recording fall in its stop band (about 95 dB down).
// Taps are 16-bit integers, so mixing is exact integer arithmetic and sounds the same on
// every machine and compiler.
namespace resampling {

constexpr int kernelHalfWidth = 16;
constexpr int kernelTaps = 2 * kernelHalfWidth;
// Every row of taps sums to exactly this, so a constant recording comes out constant.
constexpr int tapBits = 15;
constexpr int32_t tapUnit = 1 << tapBits;

// Rows of taps for input positions whole + r / phases, r = 0 .. phases - 1: tap m weighs
// input sample whole - (kernelHalfWidth - 1) + m.
struct PhaseRows {
    int phases = 0;
    // phases rows of kernelTaps; exact rows are stored twice over, so that a pointer moved
    // on by less than a whole table before it wraps never leaves them.
    std::vector<int16_t> taps;
    const int16_t* row(int r) const { return taps.data() + static_cast<size_t>(r) * kernelTaps; }
};

// Up to this many phases a frequency ratio gets a row for each exact phase it visits; a
// ratio with more (an odd frequency such as a retuned splat's) interpolates between the
// rows of finePhaseRows.
constexpr int maxExactPhases = 1024;
PhaseRows exactPhaseRows(int phases);

// The kernel at finePhases + 1 evenly spaced positions between two input samples
// (the last row is the first moved on by one sample, so neighbours always exist).
constexpr int finePhaseBits = 9;
constexpr int finePhases = 1 << finePhaseBits;
const PhaseRows& finePhaseRows();

// The kernel at any distance u from the output position, in input samples (|u| < the half
// width; 0 outside), for the rare case of a voice above the output rate, where the kernel
// is stretched to cut off at the output's Nyquist frequency instead.
double kernelAt(double u);

}  // namespace resampling
