#pragma once
#include "platform/clock.h"

// The browser's monotonic clock. A page cannot block, so a sleep moves this clock on instead
// of waiting; the frame callback sets the pace, and only start-up's measurement of the tick
// rate ever sleeps.
class WebClock : public Clock {
public:
    WebClock();
    uint32_t ticks() override;
    int64_t wallSeconds() override;
    void sleepMs(uint32_t ms) override { slept_ += ms; }

private:
    double now() const;
    double start_;
    double epochAtStart_;
    double slept_ = 0;
};
