#include "shell/attract_demo.h"

#include "game/autopilot.h"
#include "game/game_flow.h"
#include "game/play_rules.h"
#include "game/play_sounds.h"

namespace {
// A recorded game paused for longer than this is over as a demo.
constexpr int maxPausedFrames = 100000;
}  // namespace

void AttractDemo::start(const Recording* recording, std::vector<GameEvent>& out) {
    parked_ = std::make_unique<World>(theWorld);
    HighscoreTable records = theWorld.highscores;
    int maxPlayers = theWorld.game.maxPlayers;
    resetWorld();
    game.demo = true;
    game.maxPlayers = maxPlayers;
    theWorld.highscores = records;
    frame_ = 0;
    lastFrame_ = 0;
    seeds_.clear();
    if (recording != nullptr) {
        script_.commands = recording->commands;
        source_ = std::make_unique<ScriptInputSource>(script_);
        input_ = std::make_unique<DeviceInput>(recording->joysticks);
        input_->reader().bindPlayerKeys(recording->keys);
        std::copy(recording->records, recording->records + 3, theWorld.highscores.value);
        game.numPlayers = recording->players;
        seeds_ = recording->seeds;
        lastFrame_ = recording->frames;
    } else {
        // The autopilot presses player 1's default keys.
        source_ = std::make_unique<Autopilot>();
        input_ = std::make_unique<DeviceInput>(0);
        const PlayerKeys defaults[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
        input_->reader().bindPlayerKeys(defaults);
        game.numPlayers = 1;
    }
    input_->reader().setUpJoysticks(3);
    // Straight into the game, as the menu's Start would.
    theEvents = &out;
    game.gameState = stateMenu;
    makeIntroFigure();
    startNewGame();
    theEvents = nullptr;
}

FrameInput AttractDemo::nextInput(uint32_t clock) {
    ++frame_;
    commands_.clear();
    source_->commandsFor(frame_, commands_);
    // A recorded game seeds each of its games as it did when it was played.
    if (!seeds_.empty()) {
        size_t next = static_cast<size_t>(game.gamesStarted);
        clock = seeds_[next < seeds_.size() ? next : seeds_.size() - 1];
    }
    return input_->read(commands_, clock);
}

bool AttractDemo::step(uint32_t clock, StepOutput& out) {
    if (!running() || over()) return false;
    // The pauses of a recorded game pass in an instant: the frame shown is the first one
    // that moves again.
    int steps = 0;
    do {
        stepWorld(nextInput(clock), out);
    } while (game.paused && ++steps < maxPausedFrames && !over());
    return !game.paused && game.gameState != stateMenu;
}

void AttractDemo::end(std::vector<GameEvent>& out) {
    if (!running()) return;
    theEvents = &out;
    stopLevelMusic(game.levelIndex);
    stopSound(Sound::chainsawLoop);
    theEvents = nullptr;
    theWorld = *parked_;
    parked_.reset();
    source_.reset();
    input_.reset();
}
