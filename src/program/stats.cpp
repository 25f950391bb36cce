#include "program/stats.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

FrameStats::FrameStats() {
    for (auto& h : histogram_) h.assign(bucketCount, 0);
}

void FrameStats::record(int64_t logicMicros, int64_t drawMicros, int64_t presentMicros,
                        int64_t waitMicros) {
    const int64_t values[partCount] = {logicMicros, drawMicros, presentMicros, waitMicros};
    for (int p = 0; p < partCount; ++p) {
        int64_t v = std::max<int64_t>(values[p], 0);
        sum_[p] += v;
        int64_t bucket = std::min<int64_t>(v / bucketMicros, bucketCount - 1);
        ++histogram_[p][static_cast<size_t>(bucket)];
    }
    ++frames_;
}

double FrameStats::meanMicros(Part part) const {
    return frames_ == 0 ? 0.0 : static_cast<double>(sum_[part]) / static_cast<double>(frames_);
}

int64_t FrameStats::percentile99Micros(Part part) const {
    if (frames_ == 0) return 0;
    // The smallest value that at least 99% of the frames do not exceed.
    int64_t needed = (frames_ * 99 + 99) / 100;
    int64_t seen = 0;
    for (int b = 0; b < bucketCount; ++b) {
        seen += histogram_[part][static_cast<size_t>(b)];
        if (seen >= needed) return (b + 1) * bucketMicros;
    }
    return bucketCount * bucketMicros;
}

std::string FrameStats::report(int64_t framesRun) const {
    static const char* names[partCount] = {"game logic", "drawing", "presentation", "waiting"};
    char line[160];
    std::snprintf(line, sizeof line, "frames run: %lld\n", static_cast<long long>(framesRun));
    std::string text = line;
    text += "time per frame     mean ms   99th percentile ms\n";
    for (int p = 0; p < partCount; ++p) {
        std::snprintf(line, sizeof line, "  %-14s %9.3f %12.3f\n", names[p],
                      meanMicros(static_cast<Part>(p)) / 1000.0,
                      static_cast<double>(percentile99Micros(static_cast<Part>(p))) / 1000.0);
        text += line;
    }
    return text;
}

bool printStatsReport(const std::string& report) {
    errno = 0;
    bool ok = std::fputs(report.c_str(), stdout) >= 0;
    ok = std::fflush(stdout) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "parapet: cannot print the --stats report: %s\n",
                     errno != 0 ? std::strerror(errno) : "write error");
    return ok;
}
