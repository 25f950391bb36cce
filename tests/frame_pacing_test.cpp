#include "program/frame_pacing.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"

namespace {

// A display that counts how often the wait handled its events.
class CountingDisplay : public HeadlessDisplay {
public:
    CountingDisplay() : HeadlessDisplay(8, 8) {}
    void pumpEvents() override { ++pumps; }
    int pumps = 0;
};

// A clock whose wall seconds run independently of its ticks, to measure the tick rate.
class SkewedClock : public Clock {
public:
    explicit SkewedClock(uint32_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}
    uint32_t ticks() override { return static_cast<uint32_t>(micros_ * ticksPerSecond_ / 1000000); }
    int64_t wallSeconds() override { return 7 + micros_ / 1000000; }
    void sleepMs(uint32_t ms) override { micros_ += ms * 1000; }

private:
    uint64_t micros_ = 250000;
    uint32_t ticksPerSecond_;
};

}  // namespace

TEST(FramePacing, QuickFrameWaitsOutThirtyThreeMillisecondsLateOneNeitherWaitsNorCatchesUp) {
    struct {
        uint32_t lastTick, workMillis, end;
    } table[] = {{1000, 0, 1033},        {1000, 5, 1033},  {1000, 32, 1033}, {0xFFFFFFF0u, 5, 0x11},
                 {0xFFFFFFFFu, 0, 0x20}, {5000, 33, 5033}, {5000, 50, 5050}, {5000, 400, 5400}};
    for (const auto& row : table) {
        VirtualClock clock(row.lastTick);
        CountingDisplay display;
        clock.sleepMs(row.workMillis);
        EXPECT_EQ(waitForNextFrame(clock, &display, row.lastTick), row.end) << row.workMillis;
        EXPECT_EQ(clock.ticks(), row.end);
        // Events are handled all through a wait, and still once when there is none.
        if (row.workMillis < 33)
            EXPECT_GT(display.pumps, 1);
        else
            EXPECT_EQ(display.pumps, 1);
    }
}

// The count runs alongside the frames' waits, from one change of second to the next.
TEST(FramePacing, TickRateCountedOverOneWholeSecondWhileFramesGoOnUnlessHeadless) {
    for (uint32_t rate : {1000u, 1024u}) {
        SkewedClock clock(rate);
        TickRateProbe probe(clock, false);
        int count = 0, frames = 0;
        for (; count == 0 && frames < 200; ++frames) {
            waitForNextFrame(clock, nullptr, clock.ticks(), &probe);
            count = probe.takeCount();
        }
        EXPECT_NEAR(count, static_cast<int>(rate), 3) << "within a wait's step of the second";
        EXPECT_GT(frames, 30) << "frames went on meanwhile";
        EXPECT_EQ(probe.takeCount(), 0) << "counted once";
    }
    VirtualClock virtualClock(123);
    TickRateProbe instant(virtualClock, true);
    EXPECT_EQ(instant.takeCount(), 1000);
    instant.look();
    EXPECT_EQ(virtualClock.ticks(), 123u) << "a headless run's time is not disturbed";
}
