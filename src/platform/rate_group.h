#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/resampling_kernel.h"

// The voices sounding at one frequency and one volume share a stream of input samples at
// that frequency: each adds its recording into the stream as it plays, and the sum is
// resampled to the output rate once, however many voices share it. Resampling is linear,
// so this sounds as resampling every voice on its own would; a voice only starts on the
// group's grid of input samples, less than one input sample from where it was asked to.
//
// The stream is indexed from the group's start; the current output frame sits at input
// time whole + rem / q, and the kernel reaches halfWidth samples either side of it. Samples
// are added up to `end` (the window of the frames mixed so far); from `end` on the stream
// is still silent, so a voice can be added or taken out there at any time.
class RateGroup {
public:
    // Starts silent at the current output frame: input time 0, nothing generated.
    void start(int hz, int gain, int outputRate,
               std::shared_ptr<const resampling::PhaseRows> exactRows);
    void stop() { active_ = false; }

    bool active() const { return active_; }
    int hz() const { return hz_; }
    int gain() const { return gain_; }
    // The voices adding into the stream, counted by whoever adds them.
    int members = 0;

    // The first input index that the current output frame has not yet passed: a voice
    // starting or stopping now does so there.
    int64_t nextIndex() const { return whole_ + (rem_ > 0 ? 1 : 0); }
    // The first input index the current output frame still hears.
    int64_t windowStart() const { return whole_ - (halfWidth_ - 1); }
    // Samples from here on are still silent.
    int64_t end() const { return end_; }
    // Nothing sounds at or after this index (a voice taken out or ended before it).
    void heardUpTo(int64_t index) { quietFrom_ = std::max(quietFrom_, index); }
    // True once the window has passed every sample any voice added.
    bool silent() const { return windowStart() >= quietFrom_; }

    // How many of `frames` output frames the stream's buffer can serve in one go.
    size_t framesThatFit(size_t frames) const;
    // Makes room for the input of the next `frames` frames and returns the index up to
    // which samples must be added before resample(): from end() to there.
    int64_t prepare(size_t frames);
    // The buffer slot of input index `index` (between the window's start and prepare's end).
    int16_t* slot(int64_t index) { return buffer_.data() + (index - base_); }
    void generatedUpTo(int64_t index) { end_ = index; }
    // Adds `frames` resampled frames, scaled by the gain, into acc and moves the clock on.
    void resample(int32_t* acc, size_t frames);

private:
    int64_t inputEndAfter(size_t frames) const;
    void resampleExact(int32_t* acc, size_t frames);
    void resampleFine(int32_t* acc, size_t frames);
    void resampleStretched(int32_t* acc, size_t frames);

    bool active_ = false;
    int hz_ = 0, gain_ = 0;
    // hz / outputRate = stepWhole + stepRem / q, in lowest terms.
    uint32_t q_ = 1, stepWhole_ = 0, stepRem_ = 0;
    int64_t whole_ = 0;
    uint32_t rem_ = 0;
    // rem * fineScale_ >> 16 is rem / q as a 32-bit fraction.
    uint64_t fineScale_ = 0;
    int halfWidth_ = resampling::kernelHalfWidth;
    // Above the output rate the kernel is stretched by hz / outputRate (otherwise 1).
    double stretch_ = 1.0;
    std::shared_ptr<const resampling::PhaseRows> exactRows_;
    std::vector<int16_t> buffer_;
    int64_t base_ = 0, end_ = 0;
    int64_t quietFrom_ = 0;
};

// Adds (sign 1) or takes out (sign -1) `count` samples of a recording, from its sample
// `first` on, into `out`: a looped recording repeats without end, a one-shot is silent
// outside its length, and both are silent before sample 0.
void addRecording(int16_t* out, size_t count, const std::vector<uint8_t>& recording, bool looped,
                  int64_t first, int sign);
