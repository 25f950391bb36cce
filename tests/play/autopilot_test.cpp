// The autopilot as a player: how far it gets in a one-player game.
#include "recording/autopilot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rules/game_state.h"
#include "support/screen_run.h"
#include "world/world.h"

namespace {

struct Outcome {
    int levelsWon = 0;
    int score = 0;
};

// One game from the menu's Start to game over (or 40000 frames), the autopilot at the keys.
Outcome playOneGame(uint32_t startTick) {
    Autopilot autopilot(true);
    Outcome outcome;
    auto watch = [&outcome](int, const std::vector<InputCommand>&) {
        if (game.gamesStarted == 0) return;
        outcome.score = game.score[0];
        bool over = game.gameState == stateNameEntry || game.gameState == stateMenu;
        // The level lost at game over counts its end too.
        outcome.levelsWon = std::max(0, game.levelIndex - (over ? 1 : 0));
        if (over) game.quitRequested = 1;
    };
    screen_run::HereRun run;
    run.frames = 40000;
    run.source = &autopilot;
    run.onFrameInput = watch;
    run.startTick = startTick;
    screen_run::runHere(screen_run::scratchDir(std::to_string(startTick)), run);
    return outcome;
}

TEST(Autopilot, SurvivesTwoLevelsOnMostStartTicks) {
    int survived = 0;
    const uint32_t ticks[] = {0, 777, 31337, 123456, 9999999, 4000000000u};
    for (uint32_t tick : ticks) {
        Outcome o = playOneGame(tick);
        survived += o.levelsWon >= 2;
        EXPECT_GT(o.score, 0) << "start tick " << tick;
    }
    EXPECT_GE(survived, 4) << "of " << std::size(ticks);
}

}  // namespace
