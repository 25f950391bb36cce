#include "program/stats.h"

#include <gtest/gtest.h>

TEST(FrameStats, MeanAndNinetyNinthPercentileOfEachPart) {
    FrameStats stats;
    // 99 quick frames and one slow one: the slow one is above the 99th percentile.
    for (int i = 0; i < 99; ++i) stats.record(1000, 200, 50, 31000);
    stats.record(50000, 200, 50, 0);
    EXPECT_EQ(stats.frames(), 100);
    EXPECT_DOUBLE_EQ(stats.meanMicros(FrameStats::logic), (99 * 1000 + 50000) / 100.0);
    EXPECT_LE(stats.percentile99Micros(FrameStats::logic), 1000 + FrameStats::bucketMicros);
    EXPECT_GE(stats.percentile99Micros(FrameStats::logic), 1000);
    EXPECT_GE(stats.percentile99Micros(FrameStats::waiting), 31000);
}

// A frame slower than the histogram reaches still counts in full; clock jitter below zero
// counts as nothing.
TEST(FrameStats, SlowFramesBeyondTheHistogramAndNegativeTimes) {
    FrameStats stats;
    stats.record(5'000'000, 0, 0, 0);
    stats.record(-5, 10, 10, 0);
    EXPECT_EQ(stats.percentile99Micros(FrameStats::logic),
              FrameStats::bucketCount * FrameStats::bucketMicros);
    EXPECT_DOUBLE_EQ(stats.meanMicros(FrameStats::logic), 2'500'000.0);
}
