#include "play/play_fixture.h"
#include "program/highscores.h"

namespace {

class GameSetup : public PlayField {
protected:
    // "Start" chosen in the menu with player 1's fire button, as a player starts a game.
    void startFromMenu(int players) {
        if (game.gameState != stateMenu) {
            buildMenu();
            setGameState(stateMenu, true);
        }
        padsAnswering = players;
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

// Each level end tightens the climb-type thresholds (the share of fast climbers grows),
// spawns 5 frames sooner down to every 10th frame, and sends 5 more climbers per player.
TEST_F(GameSetup, EveryLevelBringsFasterClimbersSoonerAndMoreOfThem) {
    struct Case {
        int players;
        std::vector<std::vector<int>> thresholds;  // at the start, then after each level
        std::vector<int> climbers;
    };
    const Case cases[] = {
        {1,
         {{40, 60, 80}, {20, 45, 70}, {0, 30, 60}, {0, 15, 50}, {0, 0, 40}, {0, 0, 30}},
         {10, 15, 20, 25, 30, 35}},
        {2,
         {{15, 40, 65}, {5, 32, 60}, {0, 24, 55}, {0, 16, 50}, {0, 8, 45}, {0, 0, 40}},
         {10, 20, 30, 40, 50, 60}},
        {3,
         {{-10, 20, 50}, {0, 19, 50}, {0, 18, 50}, {0, 17, 50}, {0, 16, 50}, {0, 15, 50}},
         {10, 25, 40, 55, 70, 85}},
    };
    const int spawnIntervals[] = {85, 80, 75, 70, 65, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.players);
        resetWorld();
        newGame(c.players);
        for (size_t level = 0; level < c.thresholds.size(); ++level) {
            SCOPED_TRACE(::testing::Message() << "after " << level << " levels");
            EXPECT_EQ((std::vector<int>{game.climbTypeThreshold1, game.climbTypeThreshold2,
                                        game.climbTypeThreshold3}),
                      c.thresholds[level]);
            EXPECT_EQ(game.spawnInterval, spawnIntervals[level]);
            EXPECT_EQ(game.spawnCountdown, game.spawnInterval);
            EXPECT_EQ(game.climbersToSpawn, c.climbers[level]);
            finishLevel();
            ASSERT_EQ(game.gameState, stateLevelIntro);
        }
    }
    // Never more often than every 10th frame.
    for (int level = 6; level < 16; ++level) finishLevel();
    EXPECT_EQ(game.spawnInterval, 10);
}

TEST_F(GameSetup, EveryLevelPlaysItsTrackAndTheNinthStartsAgainWithTheFirst) {
    newGame(1);
    std::vector<std::string> looped;
    for (int level = 0; level < 10; ++level) {
        events.clear();
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

TEST_F(GameSetup, LaterGamesReuseEveryActor) {
    startFromMenu(3);
    frames(400);
    int actorsFirst = theStage.actorCount;
    Actor* firstPlayer = game.playerActor[0];
    Actor* firstBall = game.ballActor[44];
    // Play the first game out to the menu, then start another one from there.
    game.deadPlayers = game.numPlayers;
    finishLevel();
    ASSERT_EQ(game.gameState, stateMenu);
    frames(50);
    startFromMenu(3);
    frames(400);
    EXPECT_EQ(theStage.actorCount, actorsFirst);
    EXPECT_EQ(game.playerActor[0], firstPlayer);
    EXPECT_EQ(game.ballActor[44], firstBall);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(game.spawnInterval, 85);
    EXPECT_EQ(game.climbTypeThreshold1, -10);

    // A one-player game after it leaves the engine list as it was: the third player's old score
    // display, removed long ago, is not removed again, and no actor is added twice.
    game.deadPlayers = game.numPlayers;
    finishLevel();
    frames(250);
    int actorsBefore = theStage.actorCount;
    startFromMenu(1);
    game.deadPlayers = 1;
    finishLevel();
    frames(250);
    EXPECT_EQ(theStage.actorCount, actorsBefore);
}

TEST_F(GameSetup, AtGameOverEachPlayersBestLifeCounts) {
    struct Case {
        int best;
        int last;
        int counted;
    };
    for (const Case& c : {Case{800, 500, 800}, Case{800, 900, 900}, Case{0, 300, 300}}) {
        SCOPED_TRACE(c.last);
        resetWorld();
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

}  // namespace
