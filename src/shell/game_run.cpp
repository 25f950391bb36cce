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
#include "input/frame_input_source.h"
#include "input/input_capture.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "shell/frame_pacing.h"
#include "shell/input_trace.h"
#include "shell/log.h"
#include "shell/net_game.h"
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
            const InputScript* script, const RunInput& input)
        : options_(options),
          platform_(platform),
          headlessDisplay_(headless != nullptr ? headless->display : nullptr),
          onFrameInput_(input.onFrameInput),
          source_(input.source) {
        if (headless != nullptr) {
            // The headless devices are the scripted ones already (a test may have swapped in
            // a keyboard of its own and left that one null).
            keyboard_ = headless->keyboard;
            joysticks_ = headless->joysticks;
            if (source_ == nullptr && script != nullptr) {
                scriptSource_ = std::make_unique<ScriptInputSource>(*script);
                source_ = scriptSource_.get();
            }
        } else {
            // A live run: the game reads scripted devices that the capture (or the given
            // source) drives from the real ones, so what it saw is exactly the commands.
            capture_ = std::make_unique<InputCapture>(*platform_.keyboard, platform_.joysticks.get());
            liveKeyboard_ = std::make_unique<ScriptedKeyboard>();
            liveJoysticks_ = std::make_unique<SimulatedJoysticks>(capture_->joystickCount());
            keyboard_ = liveKeyboard_.get();
            joysticks_ = liveJoysticks_.get();
            if (source_ == nullptr) source_ = capture_.get();
            // Both machines of a network game offer the same players, controllers or not.
            if (options.net != Options::Net::off) liveJoysticks_->setCount(maxJoysticksUsed);
        }
    }

    int run() {
        theClock = platform_.clock.get();
        KeyboardDevice* keyboard =
            liveKeyboard_ ? liveKeyboard_.get() : platform_.keyboard.get();
        JoystickSource* joysticks =
            liveJoysticks_ ? liveJoysticks_.get() : platform_.joysticks.get();
        Engine engine(platform_.display.get(), keyboard, joysticks, 640, 480, 16);
        theEngine = &engine;
        engine_ = &engine;
        if (!startUp()) {
            finish();
            closeSound();
            theEngine = nullptr;
            return netExitCode_;
        }
        frameLoop();
        finish();
        closeSound();
        theEngine = nullptr;
        return 0;
    }

private:
    bool startUp() {
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
        if (options_.net != Options::Net::off && !connectNetGame()) return false;
        logLine("entering main loop\n");

        engine.onFrameStart = [this](int frame) { frameStarting(frame); };
        engine.onFrameFlipped = [this](int frame) { frameFlipped(frame); };
        return true;
    }

    // Online play sits between this machine's input and the devices the game reads.
    bool connectNetGame() {
        bool headless = headlessDisplay_ != nullptr;
        net_ = std::make_unique<NetGame>(options_, *engine_, platform_.display.get(), headless);
        uint32_t startTick = headless ? options_.startTick : platform_.clock->ticks();
        if (!net_->connect(startTick)) {
            netExitCode_ = net_->cancelled() ? 0 : 2;
            return false;
        }
        theClock = net_->gameClock();
        net_->setLocalSource(source_);
        source_ = net_.get();
        return true;
    }

    // A network game that ended ends a headless run; a window goes on alone.
    void afterNetEnd() {
        if (!net_ || !net_->justEnded()) return;
        if (headlessDisplay_ != nullptr || net_->cancelled()) finishAndExit();
    }

    void frameStarting(int frame) {
        setTraceFrame(frame);
        // Only reached when the last frame's step could not stop the run itself.
        if (options_.frames > 0 && frame > options_.frames) finishAndExit();
        if (options_.traceInput) traceInputChanges(*engine_);
        applyFrameInput(frame);
    }

    void applyFrameInput(int frame) {
        frameCommands_.clear();
        if (source_ != nullptr) source_->commandsFor(frame, frameCommands_);
        afterNetEnd();
        for (const InputCommand& c : frameCommands_) applyInputCommand(c, keyboard_, joysticks_);
        // A controller plugged in during the run shows up for the game too.
        if (capture_ && liveJoysticks_ && capture_->joystickCount() > liveJoysticks_->count())
            liveJoysticks_->setCount(capture_->joystickCount());
        if (onFrameInput_) onFrameInput_(frame, frameCommands_);
    }

    void frameFlipped(int frame) {
        if (net_) {
            net_->frameDone(frame);
            afterNetEnd();
        }
        const std::vector<int>& shots = options_.screenshotFrames;
        while (nextScreenshot_ < shots.size() && shots[nextScreenshot_] < frame) ++nextScreenshot_;
        if (nextScreenshot_ < shots.size() && shots[nextScreenshot_] == frame) {
            ++nextScreenshot_;
            saveFrameScreenshot(frame);
        }
        if (net_) net_->frameShown();
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
        if (net_) net_->finish();
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
    std::function<void(int, const std::vector<InputCommand>&)> onFrameInput_;
    FrameInputSource* source_ = nullptr;
    std::unique_ptr<ScriptInputSource> scriptSource_;
    std::unique_ptr<InputCapture> capture_;
    std::unique_ptr<ScriptedKeyboard> liveKeyboard_;
    std::unique_ptr<SimulatedJoysticks> liveJoysticks_;
    ScriptedKeyboard* keyboard_ = nullptr;  // the devices the game reads
    SimulatedJoysticks* joysticks_ = nullptr;
    std::vector<InputCommand> frameCommands_;
    std::unique_ptr<NetGame> net_;
    int netExitCode_ = 0;
    Engine* engine_ = nullptr;
    uint32_t lastTick_ = 0;
    size_t nextScreenshot_ = 0;
    bool inLoopStep_ = false;  // the frame step running is the loop's own
    FrameStats stats_;
};

}  // namespace

int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input) {
    GameRun run(options, platform, headless, script, input);
    return run.run();
}
