// How the software renderer's frame compares with the cheapest possible frame: two whole-screen
// copies (the page's refill from the background and one upload's worth of memory traffic).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/stage.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/frame_picture.h"
#include "engine/sprite_frame.h"
#include "world/world.h"
#include "platform/headless/headless_display.h"

namespace {

constexpr int screenW = 640;
constexpr int screenH = 480;
constexpr int cell = 64;
constexpr int sheetCells = 20;  // 10 x 2 cells

// Sprite-like cells: discs, rings and little figures on a transparent ground, so that rows
// have zero, one or several opaque runs, as the game's own sheets do.
void paintSheet(Surface& sheet) {
    uint16_t* p = sheet.lock();
    for (int c = 0; c < sheetCells; ++c) {
        const int left = (c % 10) * cell, top = (c / 10) * cell;
        const uint16_t colour = static_cast<uint16_t>(0x1234 + c * 0x0F31) | 1;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                const int dx = x - 32, dy = y - 32, r2 = dx * dx + dy * dy;
                bool lit;
                switch (c % 3) {
                    case 0:  // disc
                        lit = r2 < (12 + c) * (12 + c);
                        break;
                    case 1:  // ring
                        lit = r2 < 28 * 28 && r2 > 18 * 18;
                        break;
                    default: {  // figure: head, body, two legs
                        const int hx = x - 32, hy = y - 12;
                        lit = hx * hx + hy * hy < 64 || (y >= 20 && y < 44 && x >= 24 && x < 40) ||
                              (y >= 44 && y < 62 && ((x >= 24 && x < 30) || (x >= 34 && x < 40)));
                    }
                }
                p[(top + y) * sheet.width() + left + x] =
                    lit ? static_cast<uint16_t>(colour + x) | 1 : 0;
            }
    }
    sheet.unlock();
}

// Sprites bouncing about on the stage of a world, stepped and drawn as the game does a frame.
struct Scene {
    explicit Scene(int sprites) : display(screenW, screenH), engine(&display) {
        clearWorld();
        // The sheet is loaded black and painted here, then its runs are rebuilt.
        const std::string file =
            (std::filesystem::temp_directory_path() / "parapet-bench-sheet.raw").string();
        std::ofstream(file, std::ios::binary) << std::string(640 * 128 * 3, '\0');
        int sheet = engine.addSheet(file.c_str(), 640, 128, 24, cell, cell, true);
        paintSheet(*engine.sheetSurface(sheet));
        engine.sheetSurface(sheet)->buildOpaqueRuns(cell, cell);
        // A backdrop that is not all black, so restoring it costs what it costs in the game.
        engine.pictureSurface(Picture::black)->fill(0x3186);

        for (int i = 0; i < sheetCells * 4; ++i) {
            frames.push_back(std::make_unique<SpriteFrame>(sheet, i & 1, (i >> 1) & 1, 32, 32,
                                                           i / 4, &engine));
            animations.push_back(std::make_unique<Animation>(
                new SpriteFrame*[1]{frames.back().get()}, 1, new int[1]{1}, new int[1]{-1}));
        }
        std::mt19937 rng(42);
        for (int i = 0; i < sprites; ++i) {
            auto* a = new Actor(animations[rng() % animations.size()].get(),
                                static_cast<int>(rng() % 720) - 40,
                                static_cast<int>(rng() % 560) - 40,
                                (static_cast<int>(rng() % 7) - 3) * 0.75,
                                (static_cast<int>(rng() % 7) - 3) * 0.75);
            a->setLeftBound(-40);
            a->setRightBound(680);
            a->setTopBound(-40);
            a->setBottomBound(520);
            a->setBoundsActive(true);
            a->enableBounce();
            a->show();
            theStage.addActor(a);
        }
        out.picture = &picture;
    }
    ~Scene() { clearWorld(); }

    void runFrame() {
        theBackdrop.beginStep();
        out.events.clear();
        stepStage(FrameInput{}, out);
        engine.showFrame(picture, theBackdrop);
    }

    HeadlessDisplay display;
    Engine engine;
    std::vector<std::unique_ptr<SpriteFrame>> frames;
    std::vector<std::unique_ptr<Animation>> animations;
    StepOutput out;
    FramePicture picture;
};

// The machine running the benchmarks is often busy with other work: thread CPU time keeps
// the comparison between the two measurements fair.
double cpuNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

struct Screens {
    std::vector<uint16_t> a = std::vector<uint16_t>(screenW * screenH, 1);
    std::vector<uint16_t> b = std::vector<uint16_t>(screenW * screenH, 2);
    std::vector<uint16_t> c = std::vector<uint16_t>(screenW * screenH, 3);
    void copyTwice() {
        std::memcpy(b.data(), a.data(), a.size() * sizeof(uint16_t));
        std::memcpy(c.data(), b.data(), b.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    }
};

// Nanoseconds for two screen copies: the best of several timed batches, measured once.
double twoCopiesNanos() {
    static double best = [] {
        Screens s;
        double result = 1e18;
        for (int batch = 0; batch < 20; ++batch) {
            const double start = cpuNanos();
            for (int i = 0; i < 200; ++i) s.copyTwice();
            result = std::min(result, (cpuNanos() - start) / 200);
        }
        return result;
    }();
    return best;
}

void BM_TwoScreenCopies(benchmark::State& state) {
    Screens s;
    for (auto _ : state) s.copyTwice();
    state.SetBytesProcessed(state.iterations() * 2 * screenW * screenH * 2);
}
BENCHMARK(BM_TwoScreenCopies)->Unit(benchmark::kMicrosecond);

void BM_RunFrame(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    const double baseline = twoCopiesNanos();
    const double start = cpuNanos();
    for (auto _ : state) scene.runFrame();
    const double perFrame = (cpuNanos() - start) / static_cast<double>(state.iterations());
    state.counters["sprites"] = static_cast<double>(state.range(0));
    state.counters["two_copies_us"] = baseline / 1000.0;
    state.counters["x_two_copies"] = perFrame / baseline;
    state.counters["draw_us"] = static_cast<double>(scene.engine.lastDrawMicros());
}
BENCHMARK(BM_RunFrame)->Arg(0)->Arg(50)->Arg(150)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
