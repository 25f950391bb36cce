#include "program/game_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "base/data_hash.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "base/trace.h"
#include "catalog/picture_files.h"
#include "engine/engine.h"
#include "engine/frame_picture.h"
#include "engine/sprite_frame.h"
#include "input/default_bindings.h"
#include "input/device_input.h"
#include "input/frame_input_source.h"
#include "input/input_capture.h"
#include "input/pad_names.h"
#include "net/net_game.h"
#include "net/rollback.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "program/demo_cycle.h"
#include "program/event_output.h"
#include "program/frame_feed.h"
#include "program/frame_pacing.h"
#include "program/highscores.h"
#include "program/options.h"
#include "program/options_screen.h"
#include "program/overlays.h"
#include "program/settings.h"
#include "program/stats.h"
#include "program/sync_check.h"
#include "recording/autopilot.h"
#include "recording/game_recorder.h"
#include "recording/recording.h"
#include "recording/replay_store.h"
#include "rules/game_state.h"
#include "rules/rules.h"
#include "screens/menu_texts.h"
#include "screens/pause.h"
#include "screens/screens.h"
#include "sound/sound.h"
#include "world/world.h"
#include "world/world_compare.h"

namespace {

using Steady = std::chrono::steady_clock;

int64_t microsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
}

constexpr int tabCode = 15;
// The highscore page (an extra) shows in the last ten seconds of the menu's idle time.
constexpr int highscorePageFrames = 300;
// Prompts blink on and off this many frames each.
constexpr int blinkFrames = 15;
// The track the title and menu play when their music is switched on.
constexpr int menuTrack = 7;

// Writes `text` in `font` with its top left corner at (x, y).
void drawText(Engine& engine, Surface& target, const Font* font, const char* text, int x, int y,
              int spacing) {
    if (font == nullptr) return;
    for (const char* p = text; *p != '\0'; ++p, x += font->cellWidth() + spacing)
        engine.drawCell(font->sheet(), font->cellFor(*p), x, y, false, false, &target, true);
}

}  // namespace

class GameRun {
public:
    GameRun(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input)
        : options_(options),
          platform_(platform),
          settings_(options),
          optionsScreen_(settings_, platform.keyName),
          headlessDisplay_(headless != nullptr ? headless->display : nullptr),
          feed_(options, platform, headless, script, input),
          playback_(input.playback) {}

    // Everything before the first frame; false when the run cannot start (its exit status
    // is then what end() returns).
    bool begin() {
        engine_ = std::make_unique<Engine>(platform_.display.get());
        theEngine = engine_.get();
        output_ = std::make_unique<EventOutput>(*engine_);
        if (!startUp()) {
            exitCode_ = startExitCode_;
            return false;
        }
        return true;
    }

    // One frame: the world's step, drawn and shown, and what the shell does around it. False
    // once the run is over (Quit, a closed window, the last frame asked for).
    bool frame();
    // Waits until the frame's time is up (a backend that paces by itself skips this).
    void pace();
    // --pace: a headless run keeps real time, like a machine of a network game would.
    void paceInRealTime(bool twice);

    // The end of the run: the trace's end, recordings written, statistics, everything the
    // run made freed. Returns the exit status.
    int end() {
        int status = finish();
        closeSound();
        releaseGame();
        theEngine = nullptr;
        engine_.reset();
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
        for (int i = 0; i < 3; ++i) {
            engine.setSplatCell(smallSplatFrame(i), smallSplat[i]->sheet(), smallSplat[i]->cell());
            engine.setSplatCell(largeSplatFrame(i), largeSplat[i]->sheet(), largeSplat[i]->cell());
        }
        if (settings_.extras.noBlood) applyExtras();
        engine.loadPictures();
        resetWorld();
        // Scrollers name their texts by number: numbered here, every machine numbers them
        // alike, whatever it happened to show first (a spectator joining late shows nothing
        // before the world it is sent).
        for (const char* text : {creditsText, static_cast<const char*>(game.highscoreText),
                                 static_cast<const char*>(game.nameEntryText)})
            scrollerTextId(text);
        logLine("building animations done\n");
        InputReader& reader = feed_.devices().reader();
        reader.setUpJoysticks(maxJoysticksUsed);
        // The settings file's `enabled = false` leaves the device closed: silent, no warning.
        if (options_.soundWanted) initSound(platform_.audio.get(), 8, 22050);
        if (std::string problem = loadSounds(); !problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            startExitCode_ = 1;
            return false;
        }
        setSoundVolumes(settings_.musicVolume, settings_.effectsVolume);
        game.maxPlayers = reader.joystickCount() >= maxJoysticksUsed ? 3 : 2;
        reader.bindPlayerKeys(playerKeys());
        reader.bindPlayerPads(settings_.playerPads);
        loadHighscores();
        logLine("determining ticks\n");
        // Counted while the game runs, so the window shows at once; a virtual clock's
        // count is known here already.
        tickProbe_ = std::make_unique<TickRateProbe>(*platform_.clock, headlessDisplay_ != nullptr);
        logTickRate();
        lastTick_ = platform_.clock->ticks();
        if (options_.net != Options::Net::off && !connectNetGame()) return false;
        logLine("entering main loop\n");

        if (options_.syncTestFrames > 0)
            syncCheck_ = std::make_unique<SyncCheck>(options_.syncTestFrames);
        if (playback_ != nullptr) {
            startPlayback();
        } else {
            GameRecorder::Settings settings;
            settings.keepGames = options_.keepReplays;
            settings.runFile = options_.recordFile;
            settings.replaysDir = replaysDirectory();
            settings.dataHash = dataFilesHash;
            settings.runStartTick = lastTick_;
            settings.highscoreSavesWritten = highscoreSavesWritten;
            // A spectator's game may start anywhere: no recording could play it back.
            if (!spectating()) recorder_ = std::make_unique<GameRecorder>(settings);
            demo_.allow(options_.recordFile.empty() && options_.net == Options::Net::off);
        }
        return true;
    }

    void logTickRate() {
        if (int ticks = tickProbe_->takeCount()) logFormat("ticks per second: %d\n", ticks);
    }

    // Online play sits between this machine's input and the devices the game reads.
    bool connectNetGame() {
        bool headless = headlessDisplay_ != nullptr;
        NetGame::Settings net;
        net.hosting = options_.net == Options::Net::host;
        net.spectating = options_.net == Options::Net::spectate;
        net.machines = options_.netMachines;
        net.joinHost = options_.joinHost;
        net.bindAddress = options_.bindAddress;
        net.port = options_.netPort;
        net.delay = options_.effectiveNetDelay();
        net.lockstep = options_.netMode == Options::NetMode::lockstep;
        net_ = std::make_unique<NetGame>(net, *engine_, platform_.display.get(), headless);
        uint32_t startTick = headless ? options_.startTick : platform_.clock->ticks();
        if (!net_->connect(startTick)) {
            startExitCode_ = net_->cancelled() ? 0 : 2;
            return false;
        }
        // A spectator joining late goes on from the frame the players' world stands after.
        frame_ = net_->startFrame();
        setTraceFrame(frame_ + 1);
        return true;
    }

    bool spectating() const { return net_ && net_->spectating(); }

    int frameLimit() const {
        if (playback_ != nullptr) return playback_->frames;
        return options_.frames;
    }

    // The clock a new game of this frame takes its seed from.
    uint32_t frameClock() {
        if (net_) return net_->clock();
        if (playback_ != nullptr && !playback_->seeds.empty()) {
            // A recording's games are seeded as they were when it was played.
            size_t next = static_cast<size_t>(game.gamesStarted);
            const std::vector<uint32_t>& seeds = playback_->seeds;
            return seeds[next < seeds.size() ? next : seeds.size() - 1];
        }
        return platform_.clock->ticks();
    }

    // The keys players 1 and 2 play with on this machine.
    const PlayerKeys* playerKeys() const { return settings_.playerKeys; }

    void startPlayback() {
        std::copy(playback_->records, playback_->records + 3, highscoreValue);
        // A network game's menu offered two players at least.
        game.minPlayers = playback_->minPlayers;
        if (game.numPlayers < game.minPlayers) game.numPlayers = game.minPlayers;
        if (playback_->origin == Recording::Origin::game) {
            // Straight into the game, as the menu's Start would.
            std::vector<GameEvent> events;
            setTraceFrame(1);
            theEvents = &events;
            makeIntroFigure();
            game.numPlayers = playback_->players;
            startNewGame();
            theEvents = nullptr;
            output_->perform(events, EventOutput::Writes::nothing, [] {});
        }
    }

    // The demo's world goes and the players' comes back; what they hold was never pressed in
    // their game, so it is let go there.
    void endDemo(std::vector<GameEvent>& events) {
        demo_.end(events);
        demoEnded();
    }
    void demoEnded() { feed_.releaseHeldNext(); }

    // Rollback's news: sounds of frames stepped again are put right, and the frames whose input
    // is now certain are traced, recorded and saved, each as the world stood after it.
    void takeNetFrames() {
        const net::Rollback* rollback = net_->takeFrames();
        if (rollback == nullptr) return;
        const net::Rollback::Correction& correction = rollback->correction();
        if (correction.from != 0) output_->correct(correction.before, correction.after);
        if (rollback->confirmed().empty()) return;
        if (!aside_) aside_ = std::make_unique<World>();
        copyWorld(*aside_, theWorld);
        for (const net::Rollback::Frame& f : rollback->confirmed()) {
            copyWorld(theWorld, rollback->worldAfter(f.frame));
            setTraceFrame(static_cast<int>(f.frame));
            output_->perform(f.events, EventOutput::Writes::everything, [] {},
                             EventOutput::Parts::kept);
            if (recorder_)
                recorder_->frameStepped(static_cast<int>(f.frame), f.input,
                                        feed_.devices().reader().joystickCount());
        }
        copyWorld(theWorld, *aside_);
        setTraceFrame(frame_ + 1);
    }

    // Which device the players used last, so prompts name the button of the controller in
    // hand, or the key.
    void noteDeviceInUse() {
        for (const InputCommand& c : feed_.commands()) {
            if (c.kind == InputCommand::Kind::key && c.down) padInUse_ = false;
            bool pushed =
                c.kind == InputCommand::Kind::joyAxis && (c.value > 512 || c.value < -512);
            if ((c.kind == InputCommand::Kind::joyButton && c.down) || pushed) {
                padInUse_ = true;
                padIndex_ = c.joystick;
            }
        }
    }

    PadLayout padLayout() const { return feed_.padLayout(padIndex_); }

    // The name of a control as the prompts give it: the controller's button or the key.
    std::string controlName(int button, int key) const {
        if (padInUse_) return padButtonName(padLayout(), button);
        return optionsScreen_.keyText(key);
    }

    // The fire button of the controller in hand (player 3's is always the default).
    int fireButtonInHand() const {
        bool bound = padIndex_ >= 0 && padIndex_ < keyboardPlayers;
        return bound ? settings_.playerPads[padIndex_].fire : PadButtons{}.fire;
    }

    // The options screen opens from the menu of the players' own world, never in a playback
    // or a network game, whose menus belong to someone else's input.
    bool optionsAllowed() const {
        return !demo_.running() && playback_ == nullptr && !net_ && game.gameState == stateMenu &&
               game.menuCursor != nullptr;
    }

    // The frame's commands go to the options screen while it is open; true for every frame
    // the screen is up, from the one that opens it to the one that closes it.
    bool updateOptionsScreen() {
        const std::vector<InputCommand>& commands = feed_.commands();
        if (!optionsScreen_.isOpen()) {
            if (!optionsAllowed()) return false;
            bool asked = false;
            for (const InputCommand& c : commands)
                asked |= c.down && ((c.kind == InputCommand::Kind::key && c.code == tabCode) ||
                                    (c.kind == InputCommand::Kind::joyButton &&
                                     c.code == padButtons::start));
            if (!asked) return false;
            Display& display = *platform_.display;
            settings_.fullscreen = display.isFullscreen();
            if (display.windowScale() != 0) settings_.scale = display.windowScale();
            optionsScreen_.open();
            optionsScreen_.setPadLayouts(feed_.padLayout(0), feed_.padLayout(1));
            return true;
        }
        // Asked each frame: a controller may be plugged in while the screen is up.
        optionsScreen_.setPadLayouts(feed_.padLayout(0), feed_.padLayout(1));
        unsigned changed = optionsScreen_.handle(commands);
        applySettings(changed);
        if (!optionsScreen_.isOpen()) {
            // What closed the screen is let go for the world, which saw none of it.
            feed_.releaseHeldNext();
            neutralFrames_ = 2;
        }
        return true;
    }

    void applySettings(unsigned changed) {
        if (changed & OptionsScreen::keys) {
            feed_.devices().reader().bindPlayerKeys(playerKeys());
            feed_.devices().reader().bindPlayerPads(settings_.playerPads);
        }
        if (changed & OptionsScreen::sound) {
            setSoundVolumes(settings_.musicVolume, settings_.effectsVolume);
            // Heard at once: a click at the new loudness (the music plays on the page).
            if (SoundSample* click = soundSamples[soundIndex(Sound::tschonk)]) click->play();
        }
        if (changed & OptionsScreen::display) {
            Display& display = *platform_.display;
            if (display.isFullscreen() != settings_.fullscreen)
                display.setFullscreen(settings_.fullscreen);
            display.setWindowScale(settings_.scale);
            display.setFitMode(settings_.fitMode);
            display.setScanlines(settings_.scanlines);
        }
        if (changed & OptionsScreen::extras) applyExtras();
        const std::vector<SettingLine>& lines = optionsScreen_.toSave();
        if (lines.empty() || options_.configFile.empty()) return;
        std::string error;
        if (!saveSettings(options_.configFile, lines, error))
            std::fprintf(stderr, "parapet: cannot save the settings to %s (%s)\n",
                         quotePath(options_.configFile).c_str(), error.c_str());
    }

    void applyExtras() {
        Engine& engine = *engine_;
        bool dust = settings_.extras.noBlood && loadDust();
        for (int i = 0; i < 3; ++i) {
            if (dust) {
                engine.setSplatCell(largeSplatFrame(i), dustSheet_, i);
                engine.setSplatCell(smallSplatFrame(i), dustSheet_, 3 + i);
            } else {
                engine.setSplatCell(smallSplatFrame(i), smallSplat[i]->sheet(),
                                    smallSplat[i]->cell());
                engine.setSplatCell(largeSplatFrame(i), largeSplat[i]->sheet(),
                                    largeSplat[i]->cell());
            }
        }
        // Splats already on the wall change too, with the background drawn again.
        engine.redrawBackground();
    }

    // The dust in place of the splats, read the first time it is wanted; false when the game's
    // data has none.
    bool loadDust() {
        if (dustSheet_ >= 0) return true;
        if (!std::filesystem::exists(std::filesystem::path(paths().dataDir) /
                                     slashPath(dustFile.file)))
            return false;
        dustSheet_ = engine_->addSheet(dustFile.file, dustFile.width, dustFile.height, 24,
                                       dustFile.cellWidth, dustFile.cellHeight, true);
        return dustSheet_ >= 0;
    }

    // The title and menu's music (an extra), and the music the options screen plays so the
    // volume can be heard.
    void updateMenuMusic() {
        bool menu = game.gameState == stateMenu || game.gameState == stateTitle;
        bool wanted = (settings_.extras.menuMusic && menu && !demo_.running()) ||
                      optionsScreen_.isOpen();
        if (wanted == menuMusicPlaying_) return;
        SoundSample* track = soundSamples[soundIndex(musicTrackSound(menuTrack))];
        if (track == nullptr) return;
        if (wanted)
            track->playLooped();
        else
            track->stop();
        menuMusicPlaying_ = wanted;
    }

    bool highscorePageShown() const {
        return settings_.extras.highscorePage && demo_.comingWithin(highscorePageFrames);
    }

    // Whether the shell draws anything over this frame's picture.
    bool overlayWanted(bool held) const {
        const Extras& extras = settings_.extras;
        return held || cornerText() != nullptr || optionsScreen_.isOpen() ||
               game.gameState == stateMenu || highscorePageShown() ||
               (extras.scoreLine && game.gameState == statePlay) ||
               (extras.gameOver && overlays::gameIsOver()) ||
               (extras.nameBox && game.gameState == stateNameEntry);
    }

    // A network game that ended ends a headless run; a window goes on alone.
    bool netEnded() { return net_ && net_->justEnded() && (headlessDisplay_ != nullptr || net_->cancelled()); }

    // In the corner while the players' game is not what is shown.
    const char* cornerText() const {
        if (playback_ != nullptr) return "REPLAY";
        return demo_.running() ? "DEMO" : nullptr;
    }

    void drawOverlays(Surface& target, bool held) {
        Engine& engine = *engine_;
        if (optionsScreen_.isOpen()) {
            overlays::optionsScreen(engine, target, optionsScreen_.view(padInUse_, padLayout()));
            return;
        }
        if (highscorePageShown()) {
            overlays::highscorePage(engine, target);
            return;
        }
        const Extras& extras = settings_.extras;
        bool blinkOn = (frame_ / blinkFrames) % 2 == 0;
        if (extras.scoreLine && game.gameState == statePlay) overlays::scoreLine(engine, target);
        if (extras.gameOver && overlays::gameIsOver()) overlays::gameOverCaption(engine, target);
        if (extras.nameBox && game.gameState == stateNameEntry)
            overlays::nameBox(engine, target, blinkOn);
        if (optionsAllowed())
            overlays::smallText(engine, target,
                                "PRESS " + controlName(padButtons::start, tabCode) + " FOR OPTIONS",
                                -1, 410);
        if (demo_.running() && blinkOn)
            overlays::smallText(engine, target,
                                "PRESS " +
                                    controlName(fireButtonInHand(), settings_.playerKeys[0].fire) +
                                    " TO PLAY",
                                -1, 424);
        if (held && gameFont != nullptr) {
            int width = gameFont->cellWidth();
            int count = static_cast<int>(std::strlen(pauseKeys::banner));
            drawText(engine, target, gameFont, pauseKeys::banner,
                     (engine.screenWidth() - count * width) / 2,
                     (engine.screenHeight() - gameFont->cellHeight()) / 2, 0);
        }
        // In the small font, low in the left corner, where it hides nothing of the play.
        if (const char* corner = cornerText())
            drawText(engine, target, scrollerFont, corner, 8, 458, 2);
    }

    void frameShown(int frame) {
        if (net_) {
            net_->frameDone(frame);
            if (netEnded()) stopRequested_ = true;
        }
        const std::vector<int>& shots = options_.screenshotFrames;
        while (nextScreenshot_ < shots.size() && shots[nextScreenshot_] < frame) ++nextScreenshot_;
        if (nextScreenshot_ < shots.size() && shots[nextScreenshot_] == frame) {
            ++nextScreenshot_;
            saveFrameScreenshot(frame);
        }
        if (net_) net_->frameShown();
        if (frameLimit() > 0 && frame >= frameLimit() && headlessDisplay_ != nullptr)
            headlessDisplay_->requestClose();
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
        if (!demo_.running()) feed_.tapPauseKey();
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
                         quotePath(options_.configFile).c_str(), error.c_str());
    }

    // The run's exit status: a trace that could not be written whole fails the run, since
    // whoever asked for it will compare it.
    int finish() {
        if (net_) {
            net_->finish(frame_);
            takeNetFrames();
        }
        if (recorder_ && !recorder_->finish(frame_)) exitCode_ = 2;
        if (playback_ != nullptr && !feed_.leaveRequested() && !playbackEndedAsRecorded() &&
            headlessDisplay_ != nullptr)
            exitCode_ = 2;
        traceEnd(frame_);
        int status = closeTrace() ? exitCode_ : exitOutputLost;
        if (options_.stats && !printStatsReport(stats_.report(frame_))) status = exitOutputLost;
        closeLog();
        return status;
    }

    // A playback that ran to its last frame must end with the recording's scores; one that
    // does not played another game than the one recorded.
    bool playbackEndedAsRecorded() const {
        if (frame_ < playback_->frames) return true;
        std::string error;
        if (playbackMatchesRecording(*playback_, game.score, error)) return true;
        std::fprintf(stderr, "parapet: the recording %s: %s\n",
                     quotePath(options_.replayFile).c_str(), error.c_str());
        return false;
    }

    const Options& options_;
    Platform& platform_;
    // What the player chose: the options at start-up, then as the options screen changes them.
    Options settings_;
    OptionsScreen optionsScreen_;
    int neutralFrames_ = 0;  // frames after the options screen the world still sees nothing
    bool padInUse_ = false;
    int padIndex_ = 0;
    bool menuMusicPlaying_ = false;
    int dustSheet_ = -1;
    HeadlessDisplay* headlessDisplay_;
    FrameFeed feed_;
    FrameInput lastRealInput_;
    const Recording* playback_ = nullptr;  // --replay

    std::unique_ptr<GameRecorder> recorder_;
    std::unique_ptr<SyncCheck> syncCheck_;
    std::unique_ptr<TickRateProbe> tickProbe_;

    DemoCycle demo_;

    int exitCode_ = 0;
    std::unique_ptr<NetGame> net_;
    int startExitCode_ = 0;
    std::unique_ptr<World> aside_;  // the world in play, while a confirmed one is looked at
    bool predicting_ = false;
    // --pace: when the next frame is due
    Steady::time_point paceDue_;
    bool paceStarted_ = false;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<EventOutput> output_;
    StepOutput step_;
    FramePicture picture_;
    int frame_ = 0;  // frames run so far
    bool stopRequested_ = false;
    uint32_t lastTick_ = 0;
    size_t nextScreenshot_ = 0;
    FrameStats stats_;
    bool windowKnown_ = false;
    bool lastFullscreen_ = false;
    int lastScale_ = 0;
    Steady::time_point frameStart_;
    Steady::time_point frameWorked_;
};

bool GameRun::frame() {
    Display& display = *platform_.display;
    frameStart_ = Steady::now();
    int frame = frame_ + 1;
    setTraceFrame(frame);

    // This frame's input: the players' commands, read through their devices and bindings.
    feed_.readCommands(frame);
    noteDeviceInUse();
    bool optionsFrame = updateOptionsScreen();
    step_.events.clear();
    if (demo_.running() && feed_.anyPress()) endDemo(step_.events);
    uint32_t clock = frameClock();
    lastRealInput_ = feed_.read(frame, clock);
    if (net_) {
        // The agreed clock as the frame before left it: what a new game has always been
        // seeded with on both machines.
        uint32_t agreedClock = net_->clock();
        lastRealInput_ = net_->inputFor(frame, lastRealInput_);
        lastRealInput_.clock = agreedClock;
        setTraceFrame(frame);
        takeNetFrames();
        // A network game that ended before this frame could be agreed ends the run here.
        if (netEnded()) return false;
    }
    predicting_ = net_ && net_->predicting();
    if (optionsFrame || neutralFrames_ > 0) {
        // The world waits in its menu as if nobody touched anything.
        if (!optionsFrame) --neutralFrames_;
        FrameInput neutral;
        neutral.clock = lastRealInput_.clock;
        neutral.padsAnswering = lastRealInput_.padsAnswering;
        lastRealInput_ = neutral;
    }
    feed_.followControllers();
    feed_.report(frame);

    step_.picture = &picture_;
    bool demoFrame = demo_.running();
    if (demoFrame) {
        if (syncCheck_) syncCheck_->reset();
        if (!demo_.step(clock, step_)) demoEnded();
    } else {
        const FrameInput& input = lastRealInput_;
        if (syncCheck_) syncCheck_->before(input);
        stepWorld(input, step_);
        if (syncCheck_) {
            std::string difference = syncCheck_->after();
            if (!difference.empty()) {
                std::fprintf(stderr,
                             "parapet: sync test: frame %d comes out differently when it is "
                             "played again after a rollback (%s)\n",
                             frame, difference.c_str());
                exitCode_ = exitSyncLost;
                stopRequested_ = true;
            }
        }
    }
    frame_ = frame;
    // A spectator watches: the records are the players' to save.
    EventOutput::Writes writes = demoFrame || playback_ != nullptr || spectating()
                                     ? EventOutput::Writes::nothing
                                     : EventOutput::Writes::everything;
    output_->perform(
        step_.events, writes,
        [this] {
            if (options_.traceInput && traceEnabled()) feed_.traceChanges();
        },
        predicting_ ? EventOutput::Parts::speakers : EventOutput::Parts::all);
    if (predicting_)
        net_->stepped(frame, step_.events);
    else if (recorder_ && !demoFrame)
        recorder_->frameStepped(frame, lastRealInput_, feed_.devices().reader().joystickCount());

    bool held = picture_.held;
    updateMenuMusic();
    if (overlayWanted(held))
        engine_->showFrame(picture_, theBackdrop,
                           [this, held](Surface& target) { drawOverlays(target, held); });
    else
        engine_->showFrame(picture_, theBackdrop);
    if (!demoFrame) {
        step_.events.clear();
        bool idle = feed_.commands().empty() && !feed_.devices().held().anyHeld() &&
                    !optionsScreen_.isOpen();
        demo_.afterPlayersFrame(idle, feed_.devices().reader().joystickCount(), step_.events);
        output_->perform(step_.events, EventOutput::Writes::nothing, [] {});
    }
    // The start-up's end as a player sees it (bench/first_frame.py times it).
    if (frame == 1) {
        logLine("first frame shown\n");
        // Read now, in the start-up pause, rather than in the frame that starts a game.
        if (recorder_) dataFilesHash();
    }
    frameShown(frame);
    setTraceFrame(frame + 1);

    if (display.takeFocusLost()) pauseForLostFocus();
    frameWorked_ = Steady::now();
    feed_.afterFrame();
    rememberWindow(display);
    if (game.quitRequested || stopRequested_ || feed_.leaveRequested()) return false;
    // Closing the window ends the game like the menu's Quit would.
    if (display.closeRequested()) return false;
    return !(frameLimit() > 0 && frame_ >= frameLimit());
}

void GameRun::pace() {
    Clock& clock = *platform_.clock;
    Display& display = *platform_.display;
    // The frames of the title's wait for a released button have always run back to back,
    // inside one frame of the game's clock: the virtual clock keeps them so, and with it the
    // seed the next game draws from it.
    bool sharesTime = game.titleRelease != TitleRelease::none && headlessDisplay_ != nullptr;
    // Four times speed waits for every fourth frame only.
    // Time sync: a machine running ahead of the other lets one frame last two.
    bool slowDown = net_ && net_->slowDown(frame_);
    if (sharesTime || (feed_.fast() && frame_ % 4 != 0)) {
        display.pumpEvents();
        tickProbe_->look();
        lastTick_ = clock.ticks();
    } else {
        lastTick_ = waitForNextFrame(clock, &display, lastTick_, tickProbe_.get());
        if (slowDown && options_.pacePercent == 0)
            lastTick_ = waitForNextFrame(clock, &display, lastTick_, tickProbe_.get());
    }
    logTickRate();
    if (options_.pacePercent > 0 && headlessDisplay_ != nullptr) paceInRealTime(slowDown);
    int64_t draw = engine_->lastDrawMicros();
    int64_t present = engine_->lastPresentMicros();
    stats_.record(microsBetween(frameStart_, frameWorked_) - draw - present, draw, present,
                  microsBetween(frameWorked_, Steady::now()));
}

void GameRun::paceInRealTime(bool twice) {
    auto period = std::chrono::microseconds(frameMillis * 100000 / options_.pacePercent);
    Steady::time_point now = Steady::now();
    if (!paceStarted_ || now - paceDue_ > period) {
        // A frame late by more than a frame is not caught up, as on a real clock.
        paceDue_ = now;
        paceStarted_ = true;
    }
    paceDue_ += twice ? 2 * period : period;
    std::this_thread::sleep_until(paceDue_);
}

int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input) {
    GameRun run(options, platform, headless, script, input);
    if (run.begin()) {
        while (true) {
            bool more = run.frame();
            run.pace();
            if (!more) break;
        }
    }
    return run.end();
}

SteppedRun::SteppedRun(const Options& options, Platform& platform, const RunInput& input)
    : run_(std::make_unique<GameRun>(options, platform, nullptr, nullptr, input)) {}
SteppedRun::~SteppedRun() = default;
bool SteppedRun::begin() { return run_->begin(); }
bool SteppedRun::frame() { return run_->frame(); }
int SteppedRun::end() { return run_->end(); }
