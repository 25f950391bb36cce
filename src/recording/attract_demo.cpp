#include "recording/attract_demo.h"

#include "recording/autopilot.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"

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
    recorded_.reset();
    autopilot_.reset();
    if (recording != nullptr) {
        recording_ = *recording;
        recorded_ = std::make_unique<RecordedInput>(recording_);
        std::copy(recording_.records, recording_.records + 3, theWorld.highscores.value);
        game.numPlayers = recording_.players;
        lastFrame_ = recording_.frames;
    } else {
        // The autopilot presses player 1's default keys.
        autopilot_ = std::make_unique<Autopilot>();
        input_ = std::make_unique<DeviceInput>(0);
        const PlayerKeys defaults[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
        input_->reader().bindPlayerKeys(defaults);
        game.numPlayers = 1;
    }
    // Straight into the game, as the menu's Start would.
    theEvents = &out;
    game.gameState = stateMenu;
    makeIntroFigure();
    startNewGame();
    theEvents = nullptr;
}

FrameInput AttractDemo::nextInput(uint32_t clock) {
    ++frame_;
    if (recorded_) {
        FrameInput input = recorded_->next();
        // A recorded game seeds each of its games as it did when it was played.
        const std::vector<uint32_t>& seeds = recording_.seeds;
        size_t next = static_cast<size_t>(game.gamesStarted);
        input.clock = seeds.empty() ? clock : seeds[next < seeds.size() ? next : seeds.size() - 1];
        return input;
    }
    commands_.clear();
    autopilot_->commandsFor(frame_, commands_);
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
    // The screen goes back to what the players left.
    if (game.gameState != parked_->game.gameState)
        emitEvent(EventKind::state, game.gameState, parked_->game.gameState);
    theEvents = nullptr;
    theWorld = *parked_;
    parked_.reset();
    recorded_.reset();
    autopilot_.reset();
    input_.reset();
}
