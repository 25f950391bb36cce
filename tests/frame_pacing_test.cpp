#include "shell/frame_pacing.h"

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
    void sleepMs(uint32_t ms) override {
        micros_ += ms * 1000;
        ++sleeps;
    }
    int sleeps = 0;

private:
    uint64_t micros_ = 250000;
    uint32_t ticksPerSecond_;
};

}  // namespace

TEST(FramePacing, QuickFrameWaitsUntilThirtyThreeMillisecondsHavePassed) {
    struct {
        uint32_t lastTick;
        uint32_t workMillis;
    } table[] = {{1000, 0}, {1000, 5}, {1000, 32}, {0xFFFFFFF0u, 5}, {0xFFFFFFFFu, 0}};
    for (const auto& row : table) {
        VirtualClock clock(row.lastTick);
        CountingDisplay display;
        clock.sleepMs(row.workMillis);
        uint32_t end = waitForNextFrame(clock, &display, row.lastTick);
        EXPECT_EQ(end, row.lastTick + 33) << row.lastTick << " + " << row.workMillis;
        EXPECT_EQ(clock.ticks(), row.lastTick + 33);
        // Events are handled all through the wait, not once at its end.
        EXPECT_GT(display.pumps, 1);
    }
}

TEST(FramePacing, LateFrameDoesNotWaitOrCatchUp) {
    for (uint32_t work : {33u, 50u, 400u}) {
        VirtualClock clock(5000);
        CountingDisplay display;
        clock.sleepMs(work);
        EXPECT_EQ(waitForNextFrame(clock, &display, 5000), 5000 + work);
        EXPECT_EQ(display.pumps, 1) << "window events are still handled once";
    }
}

TEST(FramePacing, FramesFollowEachOtherAtThePacedRate) {
    VirtualClock clock(0);
    uint32_t last = 0;
    for (int frame = 0; frame < 30; ++frame) last = waitForNextFrame(clock, nullptr, last);
    EXPECT_EQ(last, 30u * 33u);
}

TEST(FramePacing, TickRateMeasuredOverOneWholeSecondBySleeping) {
    SkewedClock clock(1000);
    EXPECT_NEAR(measureTicksPerSecond(clock, nullptr, false), 1000, 2);
    EXPECT_GT(clock.sleeps, 0);
    SkewedClock fast(1024);
    EXPECT_NEAR(measureTicksPerSecond(fast, nullptr, false), 1024, 3);
}

TEST(FramePacing, VirtualClockAnswersAtOnce) {
    VirtualClock clock(123);
    EXPECT_EQ(measureTicksPerSecond(clock, nullptr, true), 1000);
    EXPECT_EQ(clock.ticks(), 123u) << "a headless run's time is not disturbed";
}
