#include "actors/font.h"
#include "frontend/highscores.h"
#include "play/play_fixture.h"

namespace {

class GameSetup : public PlayField {
protected:
    // "Start" chosen in the menu with player 1's fire button, as a player starts a game.
    void startFromMenu(int players) {
        if (game.gameState != stateMenu) {
            buildMenu();
            setGameState(stateMenu, true);
        }
        frames(2);
        game.numPlayers = players;
        game.menuSelection = 0;
        key(keyFire, true);
        for (int i = 0; i < 10 && game.gameState != stateLevelIntro; ++i) frame();
        key(keyFire, false);
        ASSERT_EQ(game.gameState, stateLevelIntro);
    }

    // Runs the level end and the results until the next level's intro (or the end of the game).
    void finishLevel() {
        setGameState(stateLevelEnd, true);
        for (int i = 0; i < 400 && game.gameState != stateLevelIntro &&
                        game.gameState != stateMenu && game.gameState != stateNameEntry;
             ++i) {
            frame();
        }
    }
};

TEST_F(GameSetup, PlayersStandAHundredPixelsApartAroundTheMiddle) {
    const std::vector<std::vector<int>> expected = {{260}, {210, 310}, {160, 260, 360}};
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        game = GameState{};
        newGame(n);
        for (int p = 0; p < n; ++p) {
            EXPECT_EQ(game.playerActor[p]->x(), expected[n - 1][p]);
            EXPECT_EQ(game.playerActor[p]->y(), 40);
            EXPECT_EQ(game.smartBombs[p], 2);
            EXPECT_EQ(game.playerState[p], playerStanding);
            EXPECT_TRUE(game.chainsawAvailable[p]);
        }
        EXPECT_EQ(game.gameState, stateLevelIntro);
        EXPECT_EQ(game.leftSupplyTimer, 123);
    }
}

TEST_F(GameSetup, ClimbingThresholdsStartByPlayerCountAndFallEveryLevel) {
    struct Case {
        int players;
        std::vector<std::vector<int>> thresholds;  // at the start, then after each level
    };
    const Case cases[] = {
        {1, {{40, 60, 80}, {20, 45, 70}, {0, 30, 60}, {0, 15, 50}, {0, 0, 40}, {0, 0, 30}}},
        {2, {{15, 40, 65}, {5, 32, 60}, {0, 24, 55}, {0, 16, 50}, {0, 8, 45}, {0, 0, 40}}},
        {3, {{-10, 20, 50}, {0, 19, 50}, {0, 18, 50}, {0, 17, 50}, {0, 16, 50}, {0, 15, 50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.players);
        game = GameState{};
        newGame(c.players);
        for (size_t level = 0; level < c.thresholds.size(); ++level) {
            EXPECT_EQ((std::vector<int>{game.climbTypeThreshold1, game.climbTypeThreshold2,
                                        game.climbTypeThreshold3}),
                      c.thresholds[level])
                << "after " << level << " levels";
            finishLevel();
        }
    }
}

TEST_F(GameSetup, SpawnIntervalShrinksBy5PerLevelDownTo10AndClimbersGrowBy5PerPlayer) {
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        game = GameState{};
        newGame(n);
        for (int level = 0; level < 20; ++level) {
            EXPECT_EQ(game.spawnInterval, std::max(10, 85 - 5 * level)) << "level " << level;
            EXPECT_EQ(game.spawnCountdown, game.spawnInterval);
            EXPECT_EQ(game.climbersToSpawn, 10 + 5 * n * level) << "level " << level;
            EXPECT_EQ(game.levelIndex, level);
            finishLevel();
            ASSERT_EQ(game.gameState, stateLevelIntro);
        }
    }
}

TEST_F(GameSetup, EveryLevelPlaysItsTrackAndTheNinthStartsAgainWithTheFirst) {
    newGame(1);
    std::vector<std::string> looped;
    for (int level = 0; level < 10; ++level) {
        openTrace(tracePath.c_str());
        frames(60);  // the music starts at the intro's 50th frame
        for (int t = 0; t < 8; ++t) {
            std::string name = "m\\mus0" + std::to_string(t + 1) + ".raw";
            if (soundCount("loop", name) > 0) looped.push_back(name);
        }
        finishLevel();
    }
    EXPECT_EQ(looped,
              (std::vector<std::string>{
                  "m\\mus01.raw", "m\\mus02.raw", "m\\mus03.raw", "m\\mus04.raw", "m\\mus05.raw",
                  "m\\mus06.raw", "m\\mus07.raw", "m\\mus08.raw", "m\\mus01.raw", "m\\mus02.raw"}));
}

TEST_F(GameSetup, ASecondGameReusesEveryActor) {
    startFromMenu(3);
    frames(400);
    int actorsFirst = engine->actorCount();
    Actor* firstPlayer = game.playerActor[0];
    Actor* firstBall = game.ballActor[44];
    // Play the first game out to the menu, then start another one from there.
    game.deadPlayers = game.numPlayers;
    finishLevel();
    ASSERT_EQ(game.gameState, stateMenu);
    frames(50);
    startFromMenu(3);
    frames(400);
    EXPECT_EQ(engine->actorCount(), actorsFirst);
    EXPECT_EQ(game.playerActor[0], firstPlayer);
    EXPECT_EQ(game.ballActor[44], firstBall);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(game.spawnInterval, 85);
    EXPECT_EQ(game.climbTypeThreshold1, -10);
}

TEST_F(GameSetup, AFewerPlayerGameAfterABiggerOneLeavesTheEngineListAlone) {
    newGame(3);
    game.deadPlayers = 3;
    finishLevel();
    frames(250);
    int actorsBefore = engine->actorCount();
    newGame(1);
    game.deadPlayers = 1;
    finishLevel();
    frames(250);
    // The third player's old score display was removed long ago; removing it again changes
    // nothing, and no actor is added twice.
    EXPECT_EQ(engine->actorCount(), actorsBefore);
}

TEST_F(GameSetup, AddingAndRemovingSmartBombsStaysWithinZeroToThree) {
    newGame(1);
    addSmartBomb(0);
    addSmartBomb(0);
    EXPECT_EQ(game.smartBombs[0], 3);
    EXPECT_TRUE(game.smartBombIcons[0][2]->isVisible());
    int before = soundCount("play", "s\\smartup.raw");
    addSmartBomb(0);
    EXPECT_EQ(game.smartBombs[0], 3);
    EXPECT_EQ(soundCount("play", "s\\smartup.raw"), before + 1) << "the sound still plays";
    for (int k = 0; k < 5; ++k) removeSmartBomb(0);
    EXPECT_EQ(game.smartBombs[0], 0);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(game.smartBombIcons[0][k]->isVisible());
}

TEST_F(GameSetup, LevelIntroFliesTheBannerAndPlayBeginsAt181) {
    newGame(1);
    frames(24);
    EXPECT_GT(levelText->x(), -300);
    frame();
    int stopAt = levelText->x();
    Actor* number = game.levelNumberDisplay->actor();
    EXPECT_EQ(number->x(), 600 - 10 + 0) << "moved in from the right this frame";
    frames(30);
    EXPECT_EQ(levelText->x(), stopAt);
    EXPECT_TRUE(number->isAttached());
    frames(124);
    EXPECT_EQ(game.gameState, stateLevelIntro);
    frame();
    EXPECT_EQ(game.gameState, statePlay);
    EXPECT_EQ(game.stateFrame, 180);
    EXPECT_FALSE(number->isAttached());
    frame();
    EXPECT_EQ(game.stateFrame, 181);
}

TEST_F(GameSetup, TheDeadComeBackNextLevelWithAFreshScoreAndNoBombs) {
    newGameInPlay(2);
    setScore(1, 800);
    game.playerState[1] = playerDying;
    game.playerActionTimer[1] = 1;
    game.climbersToSpawn = 5;
    frame();
    ASSERT_EQ(game.playerState[1], playerDead);
    game.climbersToSpawn = 0;
    game.climbersActive = 0;
    finishLevel();
    ASSERT_EQ(game.gameState, stateLevelIntro);
    EXPECT_EQ(game.playerState[1], playerReentering);
    EXPECT_EQ(game.deadPlayers, 0);
    EXPECT_EQ(game.smartBombs[1], 0);
    EXPECT_TRUE(game.playerActor[1]->isVisible());
    EXPECT_EQ(game.score[1], 800) << "the old score shows until the intro's 33rd frame";
    frames(33);
    EXPECT_EQ(game.playerState[1], playerStanding);
    EXPECT_EQ(game.score[1], 0);
    EXPECT_EQ(game.bestScore[1], 800);
    EXPECT_EQ(game.playerState[0], playerStanding);
}

TEST_F(GameSetup, AtGameOverEachPlayersBestLifeCounts) {
    struct Case {
        int best;
        int last;
        int counted;
    };
    for (const Case& c : {Case{800, 500, 800}, Case{800, 900, 900}, Case{0, 300, 300}}) {
        SCOPED_TRACE(c.last);
        game = GameState{};
        highscoreValue[0] = 100000;
        newGameInPlay(1);
        game.bestScore[0] = c.best;
        setScore(0, c.last);
        game.deadPlayers = 1;
        finishLevel();
        EXPECT_EQ(game.score[0], c.counted);
        EXPECT_EQ(game.gameState, stateMenu);
    }
    resetHighscores();
}

TEST_F(GameSetup, AWonLevelShowsTheScoresOfTheCurrentLives) {
    newGameInPlay(2);
    game.bestScore[0] = 5000;
    setScore(0, 300);
    setScore(1, 700);
    game.climbersToSpawn = 0;
    game.climbersActive = 0;
    setGameState(stateLevelEnd, true);
    frames(30);
    ASSERT_EQ(game.gameState, stateResultsSlideIn);
    EXPECT_EQ(game.scoreDisplay[0]->value(), 300);
    EXPECT_EQ(game.scoreDisplay[1]->value(), 700);
    // Names slide in one after the other and the scores rise to their lines.
    for (int i = 0; i < 300 && game.gameState == stateResultsSlideIn; ++i) frame();
    ASSERT_EQ(game.gameState, stateResults);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(game.playerLabel[p]->actor()->x(), 100);
        EXPECT_EQ(game.playerLabel[p]->actor()->y(), 130 + 100 * p);
        EXPECT_EQ(game.scoreDisplay[p]->actor()->y(), 180 + 100 * p);
    }
    frames(49);
    EXPECT_EQ(game.gameState, stateResults);
    frame();
    EXPECT_EQ(game.gameState, stateLevelIntro);
    EXPECT_FALSE(game.playerLabel[0]->actor()->isVisible());
}

TEST_F(GameSetup, GameOverGoesToNameEntryOnlyAboveTheRecordTiesToTheLowerIndex) {
    struct Case {
        int scores[2];
        int record;
        int state;
    };
    const Case cases[] = {
        {{400, 400}, 399, stateNameEntry},
        {{400, 400}, 400, stateMenu},
        {{100, 900}, 500, stateNameEntry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        game = GameState{};
        resetHighscores();
        highscoreValue[1] = c.record;
        newGameInPlay(2);
        setScore(0, c.scores[0]);
        setScore(1, c.scores[1]);
        game.deadPlayers = 2;
        finishLevel();
        EXPECT_EQ(game.gameState, c.state);
        if (c.state == stateNameEntry) {
            EXPECT_EQ(game.nameEntrySlot, 2);
            EXPECT_EQ(game.pendingHighscore, std::max(c.scores[0], c.scores[1]));
        }
        EXPECT_FALSE(game.leftMagazine->isVisible());
    }
    resetHighscores();
}

}  // namespace
