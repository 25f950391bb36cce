// The world as a value: what rolling it back costs (a save and a restore of a busy world in
// play), how fast the sync test runs, and one plain step for comparison.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "actors/animation_table.h"
#include "engine/engine.h"
#include "recording/autopilot.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "world/world.h"
#include "world/world_compare.h"
#include "input/default_bindings.h"
#include "platform/headless/headless_display.h"
#include "input/device_input.h"
#include "base/paths.h"
#include "program/sync_check.h"

namespace {

// A one-player game the autopilot plays from the menu on, game after game.
struct PlayedWorld {
    PlayedWorld() : display(640, 480), engine(&display), input(0) {
        paths().dataDir = PARAPET_DATA_DIR;
        theEngine = &engine;
        buildAnimations();
        resetWorld();
        const PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
        input.reader().bindPlayerKeys(keys);
        game.numPlayers = 1;
        std::vector<GameEvent> ignored;
        theEvents = &ignored;
        makeIntroFigure();
        startNewGame();
        theEvents = nullptr;
    }
    ~PlayedWorld() {
        clearWorld();
        releaseAnimations();
        theEngine = nullptr;
    }
    FrameInput next() {
        commands.clear();
        autopilot.commandsFor(++frame, commands);
        return input.read(commands, static_cast<uint32_t>(frame) * 33);
    }
    void step() {
        out.events.clear();
        stepWorld(next(), out);
    }

    HeadlessDisplay display;
    Engine engine;
    DeviceInput input;
    Autopilot autopilot{true};
    std::vector<InputCommand> commands;
    StepOutput out;
    int frame = 0;
};

// Into the thick of play: climbers on the wall, balls in the air.
constexpr int busyFrames = 3000;

void BM_SaveAndRestoreAWorld(benchmark::State& state) {
    PlayedWorld played;
    for (int i = 0; i < busyFrames; ++i) played.step();
    auto snapshot = std::make_unique<World>();
    for (auto _ : state) {
        copyWorld(*snapshot, theWorld);
        copyWorld(theWorld, *snapshot);
        benchmark::ClobberMemory();
    }
    state.counters["actors_in_pool"] = theWorld.actors.count;
    state.counters["stamps"] = theWorld.backdrop.stampCount;
}
BENCHMARK(BM_SaveAndRestoreAWorld)->Unit(benchmark::kMicrosecond);

void BM_StepAWorld(benchmark::State& state) {
    PlayedWorld played;
    for (auto _ : state) played.step();
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StepAWorld)->Unit(benchmark::kMicrosecond);

// Every frame rolled back `frames` frames and stepped again, as --sync-test does it.
void BM_SyncTest(benchmark::State& state) {
    PlayedWorld played;
    SyncCheck check(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FrameInput input = played.next();
        check.before(input);
        played.out.events.clear();
        stepWorld(input, played.out);
        benchmark::DoNotOptimize(check.after());
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SyncTest)->Arg(7)->Unit(benchmark::kMicrosecond);

}  // namespace
