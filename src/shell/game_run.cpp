#include "shell/game_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/animation_table.h"
#include "engine/engine.h"
#include "frontend/highscores.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "input/default_bindings.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "shell/frame_pacing.h"
#include "shell/input_trace.h"
#include "shell/log.h"
#include "shell/options.h"
#include "shell/paths.h"
#include "shell/stats.h"
#include "shell/trace.h"
#include "sound/sound.h"

namespace {

using Steady = std::chrono::steady_clock;

int64_t microsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
}

// The most players the menu offers: a third player needs a third joystick.
constexpr int maxJoysticksUsed = 3;

class GameRun {
public:
    GameRun(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script)
        : options_(options),
          platform_(platform),
          headlessDisplay_(headless != nullptr ? headless->display : nullptr) {
        if (headless != nullptr && script != nullptr)
            scriptPlayer_ = std::make_unique<InputScriptPlayer>(*script, *headless->keyboard,
                                                                *headless->joysticks);
    }

    int run() {
        theClock = platform_.clock.get();
        Engine engine(platform_.display.get(), platform_.keyboard.get(), platform_.joysticks.get(),
                      640, 480, 16);
        theEngine = &engine;
        engine_ = &engine;
        startUp();
        frameLoop();
        finish();
        closeSound();
        releaseGame();
        theEngine = nullptr;
        return 0;
    }

private:
    void startUp() {
        Engine& engine = *engine_;
        // The log can only open once the engine exists (it switches logging on), so the
        // first line is written right after it.
        if (!options_.logFile.empty()) openLog(options_.logFile.c_str());
        logLine("Entering Main Method....\n");
        logLine("building animations\n");
        buildAnimations();
        logLine("building animations done\n");
        engine.setUpJoysticks(maxJoysticksUsed);
        initSound(platform_.audio.get(), 8, 22050);
        loadSounds();
        game.maxPlayers = engine.joystickCount() >= maxJoysticksUsed ? 3 : 2;
        bindDefaultKeys(engine);
        loadHighscores();
        logLine("determining ticks\n");
        int ticksPerSecond = measureTicksPerSecond(*platform_.clock, platform_.display.get(),
                                                   headlessDisplay_ != nullptr);
        logFormat("ticks per second: %d\n", ticksPerSecond);
        lastTick_ = platform_.clock->ticks();
        logLine("entering main loop\n");

        engine.onFrameStart = [this](int frame) { frameStarting(frame); };
        engine.onFrameFlipped = [this](int frame) { frameFlipped(frame); };
    }

    void frameStarting(int frame) {
        setTraceFrame(frame);
        // Only reached when the last frame's step could not stop the run itself.
        if (options_.frames > 0 && frame > options_.frames) finishAndExit();
        if (options_.traceInput) traceInputChanges(*engine_);
        if (scriptPlayer_) scriptPlayer_->applyThrough(frame);
    }

    void frameFlipped(int frame) {
        const std::vector<int>& shots = options_.screenshotFrames;
        while (nextScreenshot_ < shots.size() && shots[nextScreenshot_] < frame) ++nextScreenshot_;
        if (nextScreenshot_ < shots.size() && shots[nextScreenshot_] == frame) {
            ++nextScreenshot_;
            saveFrameScreenshot(frame);
        }
        if (options_.frames > 0 && frame >= options_.frames) {
            // A frame step the game flow runs by itself (the title waiting for a released
            // button) would let the flow go on into a frame that never ends; stop here.
            if (!inLoopStep_) finishAndExit();
            if (headlessDisplay_ != nullptr) headlessDisplay_->requestClose();
        }
        setTraceFrame(frame + 1);
    }

    void saveFrameScreenshot(int frame) {
        std::filesystem::path dir = paths().screenshotDir;
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        std::string path = (dir / ("frame-" + std::to_string(frame) + ".bmp")).string();
        if (engine_->saveScreenshot(path.c_str()) == 0) traceScreenshot(path);
    }

    void frameLoop() {
        Engine& engine = *engine_;
        Display& display = *platform_.display;
        Clock& clock = *platform_.clock;
        while (true) {
            Steady::time_point start = Steady::now();
            updateGame();
            updatePlayerControls();
            inLoopStep_ = true;
            engine.runFrame();
            inLoopStep_ = false;
            Steady::time_point worked = Steady::now();
            if (engine.joystickCount() < maxJoysticksUsed)
                engine.setUpNewJoysticks(maxJoysticksUsed);
            lastTick_ = waitForNextFrame(clock, &display, lastTick_);
            Steady::time_point waited = Steady::now();
            int64_t draw = engine.lastDrawMicros();
            int64_t present = engine.lastPresentMicros();
            stats_.record(microsBetween(start, worked) - draw - present, draw, present,
                          microsBetween(worked, waited));

            if (game.quitRequested) break;
            // Closing the window ends the game like the menu's Quit would.
            if (display.closeRequested()) break;
            if (options_.frames > 0 && engine.framesCompleted() >= options_.frames) break;
        }
    }

    [[noreturn]] void finishAndExit() {
        finish();
        closeSound();
        std::exit(0);
    }

    void finish() {
        traceEnd(engine_->framesCompleted());
        closeTrace();
        if (options_.stats) {
            std::string report = stats_.report(engine_->framesCompleted());
            std::fputs(report.c_str(), stdout);
            std::fflush(stdout);
        }
        closeLog();
    }

    const Options& options_;
    Platform& platform_;
    HeadlessDisplay* headlessDisplay_;
    std::unique_ptr<InputScriptPlayer> scriptPlayer_;
    Engine* engine_ = nullptr;
    uint32_t lastTick_ = 0;
    size_t nextScreenshot_ = 0;
    bool inLoopStep_ = false;  // the frame step running is the loop's own
    FrameStats stats_;
};

}  // namespace

int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script) {
    GameRun run(options, platform, headless, script);
    return run.run();
}
