#include "play/play_fixture.h"

namespace {

using PlayFrame = PlayField;

TEST_F(PlayFrame, OfPlayersSharingAZoneTheLowerIndexTakesTheBallAndMorePlayersAreResuppliedSooner) {
    struct Case {
        int players;
        int x[3];
        int taker;
        int delay;
    };
    const Case cases[] = {
        {2, {40, 35, 0}, 0, 90},
        {3, {200, 40, 40}, 1, 60},
        {3, {33, 200, 44}, 0, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.players << " players, taker " << c.taker);
        resetWorld();
        newGameInPlay(c.players);
        game.leftSupplyTimer = -1;
        game.leftSupplyReady = 1;
        for (int p = 0; p < c.players; ++p) game.playerActor[p]->setX(c.x[p]);
        updatePlay();
        for (int p = 0; p < c.players; ++p) {
            EXPECT_EQ(game.playerWeapon[p], p == c.taker ? weaponBall : weaponEmpty) << p;
        }
        EXPECT_EQ(game.leftSupplyTimer, c.delay);
    }
}

TEST_F(PlayFrame, APlayerWhoRunsWhileTheChainsawFallsNeverGetsIt) {
    newGameInPlay(1);
    key(keyChainsaw, true);
    settleControls();
    frame();
    key(keyChainsaw, false);
    ASSERT_EQ(game.playerState[0], playerCatchingChainsaw);
    key(keyRight, true);
    frames(25);
    key(keyRight, false);
    frames(3);
    EXPECT_NE(game.playerWeapon[0], weaponChainsaw);
    EXPECT_EQ(game.chainsawAvailable[0], 0);
    EXPECT_EQ(soundCount("loop", "s\\chainsaw_loop.raw"), 0);
    key(keyChainsaw, true);
    frames(3);
    EXPECT_NE(game.playerState[0], playerCatchingChainsaw);
}

TEST_F(PlayFrame, BodyPartsBleedOnTheWayDownAndLeaveTheEngineBelowTheScreen) {
    setUpStroke(playerStrokeA, facingRight, 5, 330);
    game.climbersToSpawn = 5;
    int actorsBefore = theStage.actorCount;
    int stampsBefore = theBackdrop.stampCount;
    frame();
    ASSERT_TRUE(game.bodyPartActive[0]);
    EXPECT_EQ(theStage.actorCount, actorsBefore + 1);
    int framesFlying = 0;
    while (game.bodyPartActive[0] && framesFlying < 300) {
        frame();
        ++framesFlying;
    }
    EXPECT_FALSE(game.bodyPartActive[0]);
    EXPECT_EQ(theStage.actorCount, actorsBefore);
    EXPECT_GT(theBackdrop.stampCount, stampsBefore + 1) << "a trail of blood on the wall";
}

}  // namespace
