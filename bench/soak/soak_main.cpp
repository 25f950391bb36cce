// The soak: the bot plays game after game headless for a million frames. Prints the speed
// and the peak resident memory at 100,000 and at 1,000,000 frames; a session that grows, or
// a game too slow to replay a long recording in reasonable time, shows here.
//   parapet_soak DATA_DIR [FRAMES]
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "soak_bot.h"

namespace {

constexpr long targetGrowthKb = 512;
constexpr double targetFramesPerSecond = 100000.0;

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// On a shared machine the wall clock measures the neighbours too; the target is judged on
// the CPU time the game itself used.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

using Clock = std::chrono::steady_clock;

struct Soak {
    int frames = 1000000;
    int checkpoint = 100000;
    Clock::time_point start;
    long rssAtCheckpoint = 0;
    std::string saveDir;
} soak;

double secondsSince(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Runs at exit too: the game may end the process itself after its last frame.
void report() {
    static bool done = false;
    if (done) return;
    done = true;
    double wall = secondsSince(soak.start);
    double fps = soak.frames / cpuSeconds();
    long rss = peakRssKb();
    long growth = rss - soak.rssAtCheckpoint;
    std::printf(
        "%d frames: %.0f frames/s (%.0f by the wall clock), peak RSS %ld KB "
        "(growth since %d frames: %ld KB)\n",
        soak.frames, fps, soak.frames / wall, rss, soak.checkpoint, growth);
    bool ok = growth < targetGrowthKb && fps > targetFramesPerSecond;
    std::printf("targets (growth < %ld KB, > %.0f frames/s): %s\n", targetGrowthKb,
                targetFramesPerSecond, ok ? "met" : "MISSED");
    std::fflush(stdout);
    std::error_code ignored;
    std::filesystem::remove_all(soak.saveDir, ignored);
    if (!ok) std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: parapet_soak DATA_DIR [FRAMES]\n");
        return 2;
    }
    if (argc > 2) soak.frames = std::atoi(argv[2]);
    if (soak.frames < 2 * soak.checkpoint) soak.checkpoint = soak.frames / 10 + 1;
    std::string dir = (std::filesystem::temp_directory_path() / "parapet-soak-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        std::perror("parapet_soak: temporary directory");
        return 1;
    }
    soak.saveDir = dir;

    SoakBot bot;
    bot.onFrame = [](int completed) {
        if (completed == soak.checkpoint) {
            soak.rssAtCheckpoint = peakRssKb();
            std::printf("%d frames: %.0f frames/s (%.0f by the wall clock), peak RSS %ld KB\n",
                        completed, completed / cpuSeconds(), completed / secondsSince(soak.start),
                        soak.rssAtCheckpoint);
            std::fflush(stdout);
        }
    };
    std::atexit(report);
    soak.start = Clock::now();
    playSoakGame(bot, soak.frames, argv[1], dir.c_str());
    report();
    return 0;
}
