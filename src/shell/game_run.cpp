#include "shell/game_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "frontend/highscores.h"
#include "game/autopilot.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/pause.h"
#include "game/player_offer.h"
#include "input/default_bindings.h"
#include "input/frame_input_source.h"
#include "input/input_capture.h"
#include "input/input_state.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "shell/data_hash.h"
#include "shell/frame_pacing.h"
#include "shell/game_recorder.h"
#include "shell/input_trace.h"
#include "shell/log.h"
#include "shell/net_game.h"
#include "shell/options.h"
#include "shell/paths.h"
#include "shell/recording.h"
#include "shell/replay_store.h"
#include "shell/seed_clock.h"
#include "shell/settings.h"
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
// Thirty seconds of a menu left alone start the attract demo.
constexpr int demoIdleFrames = 900;
constexpr int escapeCode = 1;
constexpr int spaceCode = 57;

class GameRun {
public:
    GameRun(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input)
        : options_(options),
          platform_(platform),
          headlessDisplay_(headless != nullptr ? headless->display : nullptr),
          onFrameInput_(input.onFrameInput),
          source_(input.source),
          playback_(input.playback) {
        if (playback_ != nullptr) {
            playbackScript_.commands = playback_->commands;
            playbackSource_ = std::make_unique<ScriptInputSource>(playbackScript_);
            source_ = playbackSource_.get();
        }
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
            capture_ =
                std::make_unique<InputCapture>(*platform_.keyboard, platform_.joysticks.get());
            liveKeyboard_ = std::make_unique<ScriptedKeyboard>();
            liveJoysticks_ = std::make_unique<SimulatedJoysticks>(
                playback_ != nullptr ? playback_->joysticks : capture_->joystickCount());
            keyboard_ = liveKeyboard_.get();
            joysticks_ = liveJoysticks_.get();
            if (source_ == nullptr) source_ = capture_.get();
            // Both machines of a network game offer the same players, controllers or not.
            if (options.net != Options::Net::off) liveJoysticks_->setCount(maxJoysticksUsed);
        }
    }

    int run() {
        theClock = platform_.clock.get();
        KeyboardDevice* keyboard = liveKeyboard_ ? liveKeyboard_.get() : platform_.keyboard.get();
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
        int status = finish();
        closeSound();
        destroyLabel(cornerText_);
        cornerText_ = nullptr;
        releaseGame();
        theEngine = nullptr;
        theClock = nullptr;
        return status;
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
        // The settings file's `enabled = false` leaves the device closed: silent, no warning.
        if (options_.soundWanted) initSound(platform_.audio.get(), 8, 22050);
        loadSounds();
        setSoundVolumes(options_.musicVolume, options_.effectsVolume);
        game.maxPlayers = engine.joystickCount() >= maxJoysticksUsed ? 3 : 2;
        bindPlayerKeys(engine, playerKeys());
        loadHighscores();
        logLine("determining ticks\n");
        // Counted while the game runs, so the window shows at once; a virtual clock's
        // count is known here already.
        tickProbe_ = std::make_unique<TickRateProbe>(*platform_.clock, headlessDisplay_ != nullptr);
        logTickRate();
        lastTick_ = platform_.clock->ticks();
        if (options_.net != Options::Net::off && !connectNetGame()) return false;
        logLine("entering main loop\n");

        if (playback_ != nullptr) {
            startPlayback();
        } else {
            GameRecorder::Settings settings;
            settings.keepGames = true;
            settings.runFile = options_.recordFile;
            settings.replaysDir = replaysDirectory();
            settings.dataHash = dataFilesHash();
            settings.runStartTick = lastTick_;
            std::copy(playerKeys(), playerKeys() + keyboardPlayers, settings.keys);
            recorder_ = std::make_unique<GameRecorder>(settings);
            // A demo's game cannot be told from the player's input in a run recording.
            demoAllowed_ = options_.recordFile.empty() && options_.net == Options::Net::off;
        }

        engine.onFrameStart = [this](int frame) { frameStarting(frame); };
        engine.onFrameFlipped = [this](int frame) { frameFlipped(frame); };
        return true;
    }

    void logTickRate() {
        if (int ticks = tickProbe_->takeCount()) logFormat("ticks per second: %d\n", ticks);
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

    int frameLimit() const {
        if (playback_ != nullptr) return playback_->frames;
        return options_.frames;
    }

    void frameStarting(int frame) {
        setTraceFrame(frame);
        // Only reached when the last frame's step could not stop the run itself.
        if (frameLimit() > 0 && frame > frameLimit()) finishAndExit();
        if (options_.traceInput) traceInputChanges(*engine_);
        if (playback_ != nullptr && liveKeyboard_) watchPlaybackKeys();
        applyFrameInput(frame);
    }

    void applyFrameInput(int frame) {
        frameCommands_.clear();
        if (source_ != nullptr) source_->commandsFor(frame, frameCommands_);
        afterNetEnd();
        for (const InputCommand& c : frameCommands_) realState_.apply(c);
        if (demoSource_ != nullptr) {
            // The players' own input only ends the demo; the demo's input plays the game.
            if (anyPress(frameCommands_) || demoOver(frame)) {
                endDemo(frame);
            } else {
                frameCommands_.clear();
                demoSource_->commandsFor(frame, frameCommands_);
            }
        } else if (demoAllowed_) {
            countIdleMenuFrames(frame);
        }
        for (const InputCommand& c : frameCommands_) {
            appliedState_.apply(c);
            applyInputCommand(c, keyboard_, joysticks_);
        }
        // A controller plugged in during the run shows up for the game too, and one pulled
        // out stops answering, so the menu's offer of a third player follows the cables.
        if (capture_ && source_ == capture_.get() && liveJoysticks_) {
            if (capture_->joystickCount() > liveJoysticks_->count())
                liveJoysticks_->setCount(capture_->joystickCount());
            for (int i = 0; i < capture_->joystickCount(); ++i)
                liveJoysticks_->setReadFails(i, !capture_->controllerReadable(i));
        }
        if (recorder_) recorder_->frameStarted(frame, frameCommands_, engine_->joystickCount());
        if (onFrameInput_) onFrameInput_(frame, frameCommands_);
    }

    static bool anyPress(const std::vector<InputCommand>& commands) {
        for (const InputCommand& c : commands)
            if (c.kind == InputCommand::Kind::joyAxis ? c.value != 0 : c.down) return true;
        return false;
    }

    // Playback: the only keys the viewer has (the game itself sees the recording).
    void watchPlaybackKeys() {
        uint8_t keys[256];
        if (!platform_.keyboard->read(keys)) return;
        if (keys[escapeCode] & 0x80) leaveRequested_ = true;
        bool space = (keys[spaceCode] & 0x80) != 0;
        if (space && !spaceHeld_) fast_ = !fast_;
        spaceHeld_ = space;
    }

    // The keys players 1 and 2 play with. A network game plays on the default keys on both
    // machines: each machine's own settings would bind the shared keyboard differently.
    const PlayerKeys* playerKeys() const {
        static const PlayerKeys defaults[keyboardPlayers] = {defaultPlayerKeys(0),
                                                             defaultPlayerKeys(1)};
        return options_.net != Options::Net::off ? defaults : options_.playerKeys;
    }

    void startPlayback() {
        // The recording's keys, whatever this viewer's settings file binds.
        bindPlayerKeys(*engine_, playback_->keys);
        theClock = seedClockFor(playback_->seeds);
        std::copy(playback_->records, playback_->records + 3, highscoreValue);
        setHighscoresWritable(false);
        showCornerText("REPLAY");
        if (playback_->origin == Recording::Origin::game) {
            // Straight into the game, as the menu's Start would.
            makeIntroFigure();
            game.numPlayers = playback_->players;
            startNewGame();
        }
    }

    Clock* seedClockFor(const std::vector<uint32_t>& seeds) {
        seedClock_ = std::make_unique<SeedClock>(*platform_.clock, seeds);
        return seedClock_.get();
    }

    // In the small font, low in the left corner, where it hides nothing of the play.
    void showCornerText(const char* text) {
        if (scrollerFont == nullptr) return;
        if (cornerText_ == nullptr) {
            cornerText_ = new Label(text, scrollerFont, 2);
            cornerText_->actor()->addTreeTo(engine_);
            cornerText_->actor()->setPosition(8, 458);
        }
        cornerText_->actor()->showTree();
    }

    void countIdleMenuFrames(int frame) {
        if (game.gameState != stateMenu || !frameCommands_.empty() || realState_.anyHeld()) {
            idleFrames_ = 0;
            return;
        }
        if (++idleFrames_ >= demoIdleFrames) startDemo(frame);
    }

    // The record game with the most players, if one is kept and plays here.
    bool loadDemoRecording(Recording& recording) {
        for (int players = 3; players >= 1; --players) {
            std::string path = recordGamePath(replaysDirectory(), players);
            std::string error;
            if (!std::filesystem::exists(path)) continue;
            if (loadRecording(path, recording, error) &&
                recordingPlaysHere(recording, dataFilesHash(), error) &&
                recording.origin == Recording::Origin::game &&
                recording.joysticks <= engine_->joystickCount())
                return true;
        }
        return false;
    }

    void startDemo(int frame) {
        idleFrames_ = 0;
        savedPlayers_ = game.numPlayers;
        std::copy(&highscoreName[0][0], &highscoreName[0][0] + sizeof highscoreName,
                  &savedNames_[0][0]);
        std::copy(highscoreValue, highscoreValue + 3, savedValues_);
        setHighscoresWritable(false);
        if (recorder_) recorder_->setPaused(true);
        demoStart_ = frame;
        demoEnd_ = 0;
        Recording recording;
        if (loadDemoRecording(recording)) {
            demoScript_.commands = recording.commands;
            for (InputCommand& c : demoScript_.commands) c.frame += frame;
            demoSource_ = std::make_unique<ScriptInputSource>(demoScript_);
            std::copy(recording.records, recording.records + 3, highscoreValue);
            game.numPlayers = recording.players;
            theClock = seedClockFor(recording.seeds);
            demoEnd_ = frame + recording.frames;
            bindPlayerKeys(*engine_, recording.keys);
        } else {
            // The autopilot presses the default keys.
            const PlayerKeys defaults[keyboardPlayers] = {defaultPlayerKeys(0),
                                                          defaultPlayerKeys(1)};
            demoSource_ = std::make_unique<Autopilot>();
            game.numPlayers = 1;
            bindPlayerKeys(*engine_, defaults);
        }
        // The demo starts from released keys whatever the players hold.
        appliedState_.releaseCommands(frame, frameCommands_);
        startNewGame();
        showCornerText("DEMO");
        setEffectVolumeHalved(true);
    }

    static void setEffectVolumeHalved(bool halved) {
        if (AudioOutput* audio = soundDevice()) audio->setMasterVolume(halved ? 50 : 100);
    }

    bool demoOver(int frame) const {
        if (demoEnd_ > 0 && frame > demoEnd_) return true;
        return frame > demoStart_ + 1 && game.gameState == stateMenu;
    }

    void endDemo(int frame) {
        if (game.gameState != stateMenu) abandonGame();
        demoSource_.reset();
        theClock = platform_.clock.get();
        game.numPlayers = savedPlayers_;
        if (game.playerCountDisplay != nullptr) game.playerCountDisplay->setNumber(savedPlayers_);
        std::copy(&savedNames_[0][0], &savedNames_[0][0] + sizeof highscoreName,
                  &highscoreName[0][0]);
        std::copy(savedValues_, savedValues_ + 3, highscoreValue);
        game.highscoresChanged = 1;
        setHighscoresWritable(true);
        if (recorder_) recorder_->setPaused(false);
        if (cornerText_ != nullptr) cornerText_->actor()->hideTree();
        setEffectVolumeHalved(false);
        bindPlayerKeys(*engine_, playerKeys());
        idleFrames_ = 0;
        // The game's devices are let go. What the players hold now is kept from the game
        // until it is released, so the key that ended the demo does not also act in the menu.
        frameCommands_.clear();
        appliedState_.releaseCommands(frame, frameCommands_);
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
        if (frameLimit() > 0 && frame >= frameLimit()) {
            // A frame step the game flow runs by itself (the title waiting for a released
            // button) would let the flow go on into a frame that never ends; stop here.
            if (!inLoopStep_) finishAndExit();
            if (headlessDisplay_ != nullptr) headlessDisplay_->requestClose();
        }
        setTraceFrame(frame + 1);
    }

    // writeFile makes the directory, and says what went wrong if it cannot.
    void saveFrameScreenshot(int frame) {
        std::filesystem::path dir = paths().screenshotDir;
        std::string path = (dir / ("frame-" + std::to_string(frame) + ".bmp")).string();
        if (engine_->saveScreenshot(path.c_str()) == 0) traceScreenshot(path);
    }

    // Through the input when it is live, so recordings and the other machine of a network
    // game pause on the same frame; a playback goes on, since its input is the recording's.
    void pauseForLostFocus() {
        if (capture_ == nullptr) {
            if (playback_ == nullptr) pause_.focusLost();
            return;
        }
        if (!pause_.active() && game.gameState == statePlay) capture_->tapKey(Pause::pauseKey);
    }

    void frameLoop() {
        Engine& engine = *engine_;
        Display& display = *platform_.display;
        Clock& clock = *platform_.clock;
        while (true) {
            Steady::time_point start = Steady::now();
            if (pause_.active()) {
                inLoopStep_ = true;
                engine.runHeldFrame(
                    [this, &engine](Surface& target) { pause_.drawBanner(engine, target); });
            } else {
                updateGame();
                updatePlayerControls();
                inLoopStep_ = true;
                engine.runFrame();
            }
            inLoopStep_ = false;
            pause_.update(engine);
            if (display.takeFocusLost()) pauseForLostFocus();
            Steady::time_point worked = Steady::now();
            if (engine.joystickCount() < maxJoysticksUsed)
                engine.setUpNewJoysticks(maxJoysticksUsed);
            updatePlayerOffer(engine, maxJoysticksUsed);
            rememberWindow(display);
            // Four times speed waits for every fourth frame only.
            if (fast_ && engine.framesCompleted() % 4 != 0) {
                display.pumpEvents();
                tickProbe_->look();
                lastTick_ = clock.ticks();
            } else {
                lastTick_ = waitForNextFrame(clock, &display, lastTick_, tickProbe_.get());
            }
            logTickRate();
            Steady::time_point waited = Steady::now();
            int64_t draw = engine.lastDrawMicros();
            int64_t present = engine.lastPresentMicros();
            stats_.record(microsBetween(start, worked) - draw - present, draw, present,
                          microsBetween(worked, waited));

            if (game.quitRequested) break;
            // Closing the window ends the game like the menu's Quit would.
            if (display.closeRequested()) break;
            if (frameLimit() > 0 && engine.framesCompleted() >= frameLimit()) break;
            if (leaveRequested_) break;
        }
    }

    // Alt+Enter and the player's resizing are kept in the settings file for the next start.
    void rememberWindow(const Display& display) {
        bool fullscreen = display.isFullscreen();
        int scale = display.windowScale();
        if (scale == 0 || options_.configFile.empty()) return;  // no window
        if (windowKnown_ && fullscreen == lastFullscreen_ && scale == lastScale_) return;
        bool first = !windowKnown_;
        windowKnown_ = true;
        lastFullscreen_ = fullscreen;
        lastScale_ = scale;
        if (first) return;  // what the run started with needs no writing
        std::string error;
        if (!saveWindowSettings(options_.configFile, fullscreen, scale, error))
            std::fprintf(stderr, "parapet: cannot save the window settings to %s (%s)\n",
                         options_.configFile.c_str(), error.c_str());
    }

    [[noreturn]] void finishAndExit() {
        int status = finish();
        closeSound();
        std::exit(status);
    }

    // The run's exit status: a trace that could not be written whole fails the run, since
    // whoever asked for it will compare it.
    int finish() {
        if (net_) net_->finish();
        if (recorder_ && !recorder_->finish(engine_->framesCompleted())) exitCode_ = 2;
        setHighscoresWritable(true);
        traceEnd(engine_->framesCompleted());
        int status = closeTrace() ? exitCode_ : exitTraceLost;
        if (options_.stats) {
            std::string report = stats_.report(engine_->framesCompleted());
            std::fputs(report.c_str(), stdout);
            std::fflush(stdout);
        }
        closeLog();
        return status;
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
    InputState realState_;     // what the source says the players hold
    InputState appliedState_;  // what the game's devices hold

    // Playback of a recording (--replay)
    const Recording* playback_ = nullptr;
    InputScript playbackScript_;
    std::unique_ptr<ScriptInputSource> playbackSource_;
    std::unique_ptr<SeedClock> seedClock_;
    bool leaveRequested_ = false;
    bool fast_ = false;
    bool spaceHeld_ = false;
    Label* cornerText_ = nullptr;  // REPLAY or DEMO

    std::unique_ptr<GameRecorder> recorder_;

    // The attract demo
    bool demoAllowed_ = false;
    int idleFrames_ = 0;
    std::unique_ptr<FrameInputSource> demoSource_;
    InputScript demoScript_;
    int demoStart_ = 0;
    int demoEnd_ = 0;  // 0: until the game returns to the menu
    int savedPlayers_ = 1;
    char savedNames_[3][9] = {};
    int savedValues_[3] = {};
    int exitCode_ = 0;
    std::unique_ptr<NetGame> net_;
    int netExitCode_ = 0;
    Engine* engine_ = nullptr;
    uint32_t lastTick_ = 0;
    std::unique_ptr<TickRateProbe> tickProbe_;
    size_t nextScreenshot_ = 0;
    bool inLoopStep_ = false;  // the frame step running is the loop's own
    FrameStats stats_;
    Pause pause_;
    bool windowKnown_ = false;
    bool lastFullscreen_ = false;
    int lastScale_ = 0;
};

}  // namespace

int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input) {
    GameRun run(options, platform, headless, script, input);
    return run.run();
}
