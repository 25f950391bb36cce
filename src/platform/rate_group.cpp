#include "platform/rate_group.h"

#include <cmath>
#include <cstring>
#include <numeric>

using resampling::kernelHalfWidth;
using resampling::kernelTaps;

namespace {

// Input samples a group holds: the kernel's window plus a whole mixing block's input at any
// frequency up to the output rate, or less-than-a-block pieces above it.
constexpr size_t capacity = 4096;
// Above the output rate the kernel widens with the ratio; past this many times the output
// rate it stays this wide (nothing the game plays comes near).
constexpr double maxStretch = 64.0;
// The stream holds 8-bit steps and the taps sum to tapUnit; the mixer's accumulator wants
// each voice at half its 16-bit scale, 128 per step, before the gain.
constexpr int toAccumulator = resampling::tapBits - 7;

// One output frame on. The carry is a plain branch: its pattern repeats with the ratio and
// the processor predicts it, where arithmetic without a branch would chain every frame's
// position to the one before.
inline void step(int64_t& whole, uint32_t& rem, uint32_t stepWhole, uint32_t stepRem, uint32_t q) {
    whole += stepWhole;
    rem += stepRem;
    if (rem >= q) {
        rem -= q;
        ++whole;
    }
}

// acc += sums, from the kernel's scale to the accumulator's, times the gain; in runs of a
// fixed length, which the compiler turns into vector code. Full volume, the usual case, is
// a shift: a 32-bit multiply has no vector instruction in the processors' common base.
void addScaled(int32_t* acc, const int32_t* sums, size_t count, int32_t gain) {
    constexpr int32_t half = 1 << (toAccumulator - 1);
    auto scaled = [&](auto times) {
        auto one = [&](size_t i) { acc[i] += times((sums[i] + half) >> toAccumulator); };
        constexpr size_t run = 8;
        size_t i = 0;
        for (; i + run <= count; i += run)
            for (size_t j = 0; j < run; ++j) one(i + j);
        for (; i < count; ++i) one(i);
    };
    if (gain == 256)
        scaled([](int32_t v) { return v * 256; });
    else
        scaled([gain](int32_t v) { return v * gain; });
}

template <int sign>
void addRun(int16_t* out, const uint8_t* from, size_t count) {
    // In pieces of a fixed length, copied first so the compiler need not fear that the
    // bytes overlap the stream: both make it use vector code.
    constexpr size_t piece = 16;
    uint8_t bytes[piece];
    size_t i = 0;
    for (; i + piece <= count; i += piece) {
        std::memcpy(bytes, from + i, piece);
        for (size_t j = 0; j < piece; ++j)
            out[i + j] = static_cast<int16_t>(out[i + j] + sign * (bytes[j] - 128));
    }
    for (; i < count; ++i) out[i] = static_cast<int16_t>(out[i] + sign * (from[i] - 128));
}

}  // namespace

void RateGroup::start(int hz, int gain, int outputRate,
                      std::shared_ptr<const resampling::PhaseRows> exactRows) {
    active_ = true;
    members = 0;
    hz_ = hz;
    gain_ = gain;
    const int common = std::gcd(hz, outputRate);
    const uint32_t p = static_cast<uint32_t>(hz / common);
    q_ = static_cast<uint32_t>(outputRate / common);
    stepWhole_ = p / q_;
    stepRem_ = p % q_;
    fineScale_ = (uint64_t{1} << 48) / q_;
    stretch_ = hz > outputRate ? std::min(static_cast<double>(hz) / outputRate, maxStretch) : 1.0;
    halfWidth_ = static_cast<int>(std::ceil(kernelHalfWidth * stretch_));
    exactRows_ = stretch_ == 1.0 ? std::move(exactRows) : nullptr;
    whole_ = 0;
    rem_ = 0;
    buffer_.assign(capacity, 0);
    base_ = -halfWidth_;
    end_ = 0;
    quietFrom_ = INT64_MIN;
}

int64_t RateGroup::inputEndAfter(size_t frames) const {
    const uint64_t steps = frames > 0 ? frames - 1 : 0;
    const uint64_t rem = rem_ + steps * stepRem_;
    const int64_t last = whole_ + static_cast<int64_t>(steps * stepWhole_ + rem / q_);
    return last + halfWidth_ + 1;
}

size_t RateGroup::framesThatFit(size_t frames) const {
    const uint64_t p = uint64_t{stepWhole_} * q_ + stepRem_;
    const uint64_t room = capacity - 2 * static_cast<uint64_t>(halfWidth_) - 2;
    const uint64_t fit = std::max<uint64_t>(1, room * q_ / std::max<uint64_t>(p, 1));
    return static_cast<size_t>(std::min<uint64_t>(frames, fit));
}

int64_t RateGroup::prepare(size_t frames) {
    const int64_t needed = inputEndAfter(frames);
    if (needed - base_ > static_cast<int64_t>(capacity)) {
        // Slide what the window still hears to the front; the rest is silence again. (At
        // an output rate so low that one frame steps over the whole window, nothing is.)
        const int64_t from = windowStart();
        end_ = std::max(end_, from);
        const size_t kept = static_cast<size_t>(end_ - from);
        std::memmove(buffer_.data(), buffer_.data() + (from - base_), kept * sizeof(int16_t));
        std::fill(buffer_.begin() + static_cast<ptrdiff_t>(kept), buffer_.end(), 0);
        base_ = from;
    }
    return needed;
}

void RateGroup::resample(int32_t* acc, size_t frames) {
    if (exactRows_ != nullptr)
        resampleExact(acc, frames);
    else if (stretch_ > 1.0)
        resampleStretched(acc, frames);
    else
        resampleFine(acc, frames);
}

// The kernels copy the clock into locals: acc could alias the members as far as the
// compiler knows, and reloading them every frame halves the speed.
//
// The exact kernel walks one pointer through the stream and one through the rows, and
// leaves the gain to a second pass over each piece: the loop left is short enough that its
// speed no longer depends on where the linker happens to place it.
void RateGroup::resampleExact(int32_t* acc, size_t frames) {
    const int16_t* rows = exactRows_->taps.data();
    const int16_t* rowsEnd = rows + static_cast<size_t>(q_) * kernelTaps;
    const size_t rowsSize = static_cast<size_t>(q_) * kernelTaps;
    const size_t rowStep = static_cast<size_t>(stepRem_) * kernelTaps;
    const size_t wholeStep = stepWhole_;
    const int16_t* x = buffer_.data() + (windowStart() - base_);
    const int16_t* h = rows + static_cast<size_t>(rem_) * kernelTaps;
    const int32_t gain = gain_;
    int64_t carries = 0;
    constexpr size_t piece = 64;
    int32_t sums[piece];
    for (size_t done = 0; done < frames; done += piece) {
        const size_t n = std::min(piece, frames - done);
        for (size_t f = 0; f < n; ++f) {
            int32_t sum = 0;
#pragma GCC unroll 4
            for (int m = 0; m < kernelTaps; ++m) sum += x[m] * h[m];
            sums[f] = sum;
            x += wholeStep;
            h += rowStep;  // the rows are stored twice, so this stays inside them
            if (h >= rowsEnd) {
                h -= rowsSize;
                ++x;
                ++carries;
            }
        }
        addScaled(acc + done, sums, n, gain);
    }
    whole_ += static_cast<int64_t>(frames * wholeStep) + carries;
    rem_ = static_cast<uint32_t>((h - rows) / kernelTaps);
}

void RateGroup::resampleFine(int32_t* acc, size_t frames) {
    // Between two of the fine rows, weighted by the remaining 15 bits of the fraction.
    constexpr int weightBits = 15;
    constexpr int shift = weightBits + toAccumulator;
    const int16_t* rows = resampling::finePhaseRows().taps.data();
    const int16_t* stream = buffer_.data() - base_ - (halfWidth_ - 1);
    const int32_t gain = gain_;
    const uint32_t q = q_, stepWhole = stepWhole_, stepRem = stepRem_;
    const uint64_t fineScale = fineScale_;
    int64_t whole = whole_;
    uint32_t rem = rem_;
    for (size_t f = 0; f < frames; ++f) {
        const int16_t* x = stream + whole;
        const uint32_t fraction = static_cast<uint32_t>((uint64_t{rem} * fineScale) >> 16);
        const uint32_t k = fraction >> (32 - resampling::finePhaseBits);
        const int32_t w =
            static_cast<int32_t>(fraction >> (32 - resampling::finePhaseBits - weightBits)) &
            ((1 << weightBits) - 1);
        const int16_t* a = rows + static_cast<size_t>(k) * kernelTaps;
        const int16_t* b = a + kernelTaps;
        int32_t sumA = 0, sumB = 0;
#pragma GCC unroll 4
        for (int m = 0; m < kernelTaps; ++m) sumA += x[m] * a[m];
#pragma GCC unroll 4
        for (int m = 0; m < kernelTaps; ++m) sumB += x[m] * b[m];
        const int64_t blend = int64_t{sumA} * ((1 << weightBits) - w) + int64_t{sumB} * w +
                              (int64_t{1} << (shift - 1));
        acc[f] += static_cast<int32_t>(blend >> shift) * gain;
        step(whole, rem, stepWhole, stepRem, q);
    }
    whole_ = whole;
    rem_ = rem;
}

void RateGroup::resampleStretched(int32_t* acc, size_t frames) {
    const double shrink = 1.0 / stretch_;
    for (size_t f = 0; f < frames; ++f) {
        const double fraction = static_cast<double>(rem_) / q_;
        double sum = 0.0;
        for (int i = 1 - halfWidth_; i <= halfWidth_; ++i) {
            const double h = resampling::kernelAt((i - fraction) * shrink);
            sum += buffer_[static_cast<size_t>(whole_ + i - base_)] * h;
        }
        acc[f] += static_cast<int32_t>(std::lround(sum * shrink * 128.0)) * gain_;
        step(whole_, rem_, stepWhole_, stepRem_, q_);
    }
}

void addRecording(int16_t* out, size_t count, const std::vector<uint8_t>& recording, bool looped,
                  int64_t first, int sign) {
    const int64_t length = static_cast<int64_t>(recording.size());
    if (length == 0 || count == 0) return;
    size_t done = 0;
    if (first < 0) {
        done = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), -first));
        first = 0;
    }
    int64_t k = looped ? first % length : first;
    while (done < count && k < length) {
        const size_t run =
            static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count - done), length - k));
        if (sign > 0)
            addRun<1>(out + done, recording.data() + k, run);
        else
            addRun<-1>(out + done, recording.data() + k, run);
        done += run;
        k = looped ? 0 : length;
    }
}
