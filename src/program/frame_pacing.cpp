#include "program/frame_pacing.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/display.h"

namespace {
// Short enough that window events stay responsive and a frame ends within a millisecond or
// two of its time; long enough not to busy the CPU.
constexpr uint32_t sleepStepMillis = 2;
}  // namespace

uint32_t waitForNextFrame(Clock& clock, Display* display, uint32_t lastTick, TickRateProbe* probe) {
    while (true) {
        if (display != nullptr) display->pumpEvents();
        if (probe != nullptr) probe->look();
        uint32_t now = clock.ticks();
        uint32_t elapsed = now - lastTick;
        if (elapsed >= frameMillis) return now;
        clock.sleepMs(std::min(frameMillis - elapsed, sleepStepMillis));
    }
}

TickRateProbe::TickRateProbe(Clock& clock, bool instant) : clock_(clock) {
    if (instant) {
        count_ = 1000;
        edges_ = edgesToCount;
    } else {
        second_ = clock.wallSeconds();
        lastTick_ = clock.ticks();
    }
}

void TickRateProbe::look() {
    if (edges_ == edgesToCount) return;
    const int64_t now = clock_.wallSeconds();
    const uint32_t tick = clock_.ticks();
    if (now != second_) {
        // The second changed somewhere since the last look: halfway is the best guess.
        const uint32_t edge = lastTick_ + (tick - lastTick_) / 2;
        second_ = now;
        if (++edges_ == edgesToCount) count_ = static_cast<int>(edge - firstEdge_);
        firstEdge_ = edge;
    }
    lastTick_ = tick;
}
int TickRateProbe::takeCount() {
    const int count = count_;
    count_ = 0;
    return count;
}
