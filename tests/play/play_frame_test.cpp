#include "play/play_fixture.h"

namespace {

using PlayFrame = PlayField;

TEST_F(PlayFrame, PickUpZonesAreOpenIntervals) {
    struct Case {
        int x;
        bool left;
        bool right;
    };
    const Case cases[] = {{30, false, false}, {31, true, false},   {44, true, false},
                          {45, false, false}, {530, false, false}, {531, false, true},
                          {544, false, true}, {545, false, false}, {260, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        resetWorld();
        newGameInPlay(1);
        game.leftSupplyTimer = game.rightSupplyTimer = -1;
        game.leftSupplyReady = game.rightSupplyReady = 1;
        game.playerActor[0]->setX(c.x);
        updatePlay();
        EXPECT_EQ(game.playerWeapon[0], c.left || c.right ? weaponBall : weaponEmpty);
        EXPECT_EQ(game.leftSupplyReady, c.left ? 0 : 1);
        EXPECT_EQ(game.rightSupplyReady, c.right ? 0 : 1);
        // A pickup starts the side's next delivery.
        EXPECT_EQ(game.leftSupplyTimer, c.left ? 120 : -1);
        EXPECT_EQ(game.rightSupplyTimer, c.right ? 120 : -1);
    }
}

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

TEST_F(PlayFrame, TheBallRingWrapsAfter45ThrowsReusingABallStillFalling) {
    newGameInPlay(1);
    game.playerActor[0]->setX(100);
    for (int t = 0; t < 46; ++t) {
        game.playerWeapon[0] = weaponBall;
        game.throwCountdown[0] = 0;
        updatePlay();
        game.ballActor[0]->setPosition(10, 300);  // slot 0's ball is still on its way down
    }
    EXPECT_EQ(game.nextBall, 1);
    EXPECT_EQ(game.ballActor[0]->y(), 300);
    game.playerWeapon[0] = weaponBall;
    game.nextBall = 0;
    game.throwCountdown[0] = 0;
    updatePlay();
    EXPECT_EQ(game.ballActor[0]->x(), 137);
    EXPECT_EQ(game.ballActor[0]->y(), 60);
}

TEST_F(PlayFrame, ChainsawIsCaughtAfter18FramesIfThePlayerStandsStill) {
    newGameInPlay(1);
    key(keyChainsaw, true);
    settleControls();
    frame();
    EXPECT_EQ(game.playerState[0], playerCatchingChainsaw);
    EXPECT_TRUE(game.chainsawDrop[0]->isVisible());
    frames(17);
    EXPECT_EQ(game.playerState[0], playerCatchingChainsaw);
    frame();
    EXPECT_EQ(game.playerWeapon[0], weaponChainsaw);
    EXPECT_EQ(game.playerState[0], playerStanding);
    EXPECT_FALSE(game.chainsawDrop[0]->isVisible());
    EXPECT_EQ(soundCount("loop", "s\\chainsaw_loop.raw"), 1);
    // Still holding the button that called it: no drop.
    frames(5);
    EXPECT_EQ(game.playerWeapon[0], weaponChainsaw);
    // A fresh press drops it.
    int stopsBefore = soundCount("stop", "s\\chainsaw_loop.raw");
    key(keyChainsaw, false);
    settleControls();
    key(keyChainsaw, true);
    frames(3);
    EXPECT_EQ(game.playerWeapon[0], weaponEmpty);
    EXPECT_EQ(soundCount("stop", "s\\chainsaw_loop.raw"), stopsBefore + 1);
    // Once per level: pressing again calls nothing.
    key(keyChainsaw, false);
    frames(2);
    key(keyChainsaw, true);
    frames(4);
    EXPECT_EQ(game.playerState[0], playerStanding);
    EXPECT_EQ(game.playerWeapon[0], weaponEmpty);
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
