#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where each frame's time goes (--stats): a fixed histogram per part, so that recording a
// frame never allocates, and the 99th percentile comes out to within one bucket.
class FrameStats {
public:
    enum Part { logic, drawing, presentation, waiting, partCount };
    static constexpr int64_t bucketMicros = 10;
    static constexpr int bucketCount = 20000;  // up to 200 ms; slower frames share the last

    FrameStats();
    void record(int64_t logicMicros, int64_t drawMicros, int64_t presentMicros, int64_t waitMicros);
    int64_t frames() const { return frames_; }
    double meanMicros(Part part) const;
    // Upper edge of the bucket holding the 99th percentile (0 without frames).
    int64_t percentile99Micros(Part part) const;
    // The report printed at exit. framesRun counts engine frame steps, which can exceed the
    // frames recorded when the game flow runs steps of its own (the title's wait).
    std::string report(int64_t framesRun) const;

private:
    int64_t frames_ = 0;
    int64_t sum_[partCount] = {};
    std::vector<uint32_t> histogram_[partCount];
};

// Prints the report on stdout; false, after a line on stderr saying why, when it could not be
// written whole (stdout on a full disk or a closed pipe).
bool printStatsReport(const std::string& report);
