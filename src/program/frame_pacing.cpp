#include "program/frame_pacing.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/display.h"

namespace {
// Short enough that window events stay responsive and a frame ends within a millisecond or
// two of its time; long enough not to busy the CPU.
constexpr uint32_t sleepStepMillis = 2;
}  // namespace

uint32_t waitForNextFrame(Clock& clock, Display* display, uint32_t lastTick) {
    while (true) {
        if (display != nullptr) display->pumpEvents();
        uint32_t now = clock.ticks();
        uint32_t elapsed = now - lastTick;
        if (elapsed >= frameMillis) return now;
        clock.sleepMs(std::min(frameMillis - elapsed, sleepStepMillis));
    }
}

int measureTicksPerSecond(Clock& clock, Display* display, bool instant) {
    if (instant) return 1000;
    auto sleepUntilNewSecond = [&](int64_t seconds) {
        while (clock.wallSeconds() == seconds) {
            if (display != nullptr) display->pumpEvents();
            clock.sleepMs(1);
        }
    };
    sleepUntilNewSecond(clock.wallSeconds());
    int64_t start = clock.wallSeconds();
    uint32_t startTick = clock.ticks();
    sleepUntilNewSecond(start);
    return static_cast<int>(clock.ticks() - startTick);
}
