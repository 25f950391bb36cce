#include "play/play_fixture.h"

namespace {

class Climbers : public PlayField {
protected:
    // Seven climbers resting one above the other, a ball dropped into the middle of the column.
    void stackColumn(int x) {
        for (int k = 0; k < 7; ++k) placeClimber(k, climberResting, x, 60 + 55 * k);
    }
};

TEST_F(Climbers, OneBallThroughAColumnScoresInDoublingStepsAndEarnsABombAtTheThirdHit) {
    newGameInPlay(1);
    ASSERT_EQ(game.smartBombs[0], 2);
    stackColumn(200);
    dropBall(0, 0, 200 + 43, 20);
    int bombsAfterSecondHit = -1;
    int bombsAfterThirdHit = -1;
    for (int i = 0; i < 200 && game.ballActive[0]; ++i) {
        frame();
        if (game.ballHits[0] == 2 && bombsAfterSecondHit < 0)
            bombsAfterSecondHit = game.smartBombs[0];
        if (game.ballHits[0] == 3 && bombsAfterThirdHit < 0)
            bombsAfterThirdHit = game.smartBombs[0];
    }
    EXPECT_EQ(tracedScores(0), (std::vector<int>{100, 300, 500, 900, 1300, 2100, 2900}));
    // The smart bomb is given with the third hit, not before; a full stock stays at three.
    EXPECT_EQ(bombsAfterSecondHit, 2);
    EXPECT_EQ(bombsAfterThirdHit, 3);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(game.climberState[k], climberFree) << "climber " << k;
    EXPECT_EQ(game.climbersActive, 0);
    EXPECT_EQ(soundCount("play", "s\\splat3.raw"), 7);
    EXPECT_EQ(soundCount("play", "s\\smartup.raw"), 3);  // two at the start, one for the hit
}

TEST_F(Climbers, SmartBombBallsKillButScoreNothingShowNoLabelAndGiveNoBomb) {
    newGameInPlay(1);
    stackColumn(200);
    dropBall(0, -1, 200 + 43, 20);
    bool anyLabel = false;
    for (int i = 0; i < 200 && game.ballActive[0]; ++i) {
        frame();
        for (int k = 0; k < 7; ++k) anyLabel |= game.climberBonusLabel[k]->isVisible();
    }
    EXPECT_EQ(game.ballHits[0], 7);
    EXPECT_EQ(game.climbersActive, 0);
    EXPECT_TRUE(tracedScores(0).empty());
    EXPECT_FALSE(anyLabel);
    EXPECT_EQ(game.smartBombs[0], 2);
}

TEST_F(Climbers, StrikeReachIs45ToTheRightAnd44ToTheLeft) {
    struct Case {
        int offset;  // player x minus climber x
        bool strikes;
    };
    const Case cases[] = {{0, true},    {45, true},   {46, false},  {-44, true},
                          {-45, false}, {200, false}, {-300, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        resetWorld();
        newGameInPlay(1);
        game.playerActor[0]->setX(300 + c.offset);
        placeClimber(0, climberHunting, 300, -20);
        game.climberDir[0] = dirUndecided;
        updateClimbers();
        EXPECT_EQ(game.climberState[0], c.strikes ? climberStriking : climberHunting);
        if (!c.strikes) {
            // Out of reach it sets off towards the player at 7 pixels a frame.
            EXPECT_EQ(game.climberActor[0]->velocityX(), c.offset > 0 ? 7.0 : -7.0);
            EXPECT_EQ(game.climberDir[0], c.offset > 0 ? dirRight : dirLeft);
        }
    }
}

TEST_F(Climbers, TheStrikeLandsOnlyIfTheTargetIsStillInReachAtItsThirdFrame) {
    struct Case {
        int moveTo;  // where the player stands when the blow comes
        bool dies;
    };
    const Case cases[] = {{330, true}, {345, true}, {255, true}, {346, false}, {254, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moveTo);
        resetWorld();
        newGameInPlay(1);
        game.playerActor[0]->setX(310);
        placeClimber(0, climberHunting, 300, -20);
        game.climberDir[0] = dirUndecided;
        updateClimbers();  // starts the strike
        ASSERT_EQ(game.climberState[0], climberStriking);
        updateClimbers();
        updateClimbers();
        game.playerActor[0]->setX(c.moveTo);
        updateClimbers();  // third frame: the blow
        EXPECT_EQ(game.playerState[0], c.dies ? playerDying : playerStanding);
        for (int k = 0; k < 6; ++k) updateClimbers();
        EXPECT_EQ(game.climberState[0], climberHunting) << "back to the hunt after nine frames";
    }
}

TEST_F(Climbers, TargetIsTheNearestLivingPlayerWithTiesToTheLowerIndex) {
    newGameInPlay(3);
    struct Case {
        int x[3];
        int state[3];
        int climberX;
        int target;
    };
    const Case cases[] = {
        {{100, 300, 500}, {1, 1, 1}, 290, 1},
        {{100, 300, 500}, {1, 1, 1}, 200, 0},  // 100 either way: the lower index
        {{100, 300, 500}, {1, 1, 1}, 400, 1},
        {{100, 300, 500}, {1, 9, 1}, 290, 0},  // the dying are left alone
        {{100, 300, 500}, {10, 10, 1}, 120, 2},
        {{100, 300, 500}, {9, 10, 10}, 480, 0},  // nobody alive: player 1, to no effect
        {{400, 400, 400}, {1, 1, 1}, 100, 0},
    };
    for (const Case& c : cases) {
        for (int p = 0; p < 3; ++p) {
            game.playerActor[p]->setX(c.x[p]);
            game.playerState[p] = c.state[p];
        }
        EXPECT_EQ(chooseClimberTarget(c.climberX), c.target) << "climber at " << c.climberX;
    }
}

using Chainsaw = PlayField;

TEST_F(Chainsaw, CutsOnlyInTheLastEightFramesAndOnlyOnTheSideFaced) {
    struct Case {
        int facing;
        int framesLeft;
        int climberX;
        bool cut;
    };
    const Case cases[] = {
        {facingLeft, 7, 250, true},   {facingLeft, 7, 251, true},   {facingLeft, 7, 249, false},
        {facingLeft, 8, 260, false},  {facingLeft, 7, 300, false},  {facingLeft, 7, 330, false},
        {facingRight, 7, 300, true},  {facingRight, 7, 350, true},  {facingRight, 7, 351, false},
        {facingRight, 7, 299, false}, {facingRight, 8, 320, false}, {facingNone, 3, 310, false},
        {facingRight, 0, 320, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "facing " << c.facing << " left " << c.framesLeft
                                          << " climber " << c.climberX);
        setUpStroke(playerStrokeA, c.facing, c.framesLeft, c.climberX);
        updateClimbers();
        EXPECT_EQ(game.climberState[0] == climberCutDown, c.cut);
        EXPECT_EQ(game.score[0], c.cut ? 500 : 0);
    }
}

TEST_F(Chainsaw, WithEveryBodyPartSlotBusyAStrokeStillKillsAndScoresWithoutPartOrScream) {
    setUpStroke(playerStrokeA, facingLeft, 3, 260);
    for (int i = 0; i < bodyPartSlots; ++i) game.bodyPartActive[i] = 1;
    int actorsBefore = theStage.actorCount;
    updateClimbers();
    EXPECT_EQ(game.climberState[0], climberCutDown);
    EXPECT_EQ(game.score[0], 500);
    EXPECT_EQ(theStage.actorCount, actorsBefore);
    EXPECT_EQ(soundCount("play", "s\\wildscream.raw"), 0);
}

// The draw on arrival (0..99, against the three thresholds) picks the climb type: its pace,
// its rest between bursts, its burst and its look. The fastest climb twice as fast against
// two or more defenders.
TEST_F(Climbers, ClimbTypeSetsPaceRestBurstAndLook) {
    struct Case {
        int players, threshold1, threshold2, threshold3;
        double speed;
        int rest, burst, row;
    };
    const Case cases[] = {
        {1, 100, 100, 100, 1.7, 38, 12, 17}, {1, 0, 100, 100, 2.0, 28, 10, 18},
        {1, 0, 0, 100, 2.5, 20, 8, 19},      {1, 0, 0, 0, 3.0, 10, 6, 20},
        {2, 0, 0, 0, 6.0, 10, 6, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.players << " players, row " << c.row);
        resetWorld();
        newGameInPlay(c.players);
        game.climbTypeThreshold1 = c.threshold1;
        game.climbTypeThreshold2 = c.threshold2;
        game.climbTypeThreshold3 = c.threshold3;
        placeClimber(0, climberWalking, 100, 350);
        game.climberDir[0] = dirRight;
        game.climberTargetX[0] = 100;
        updateClimbers();
        ASSERT_EQ(game.climberState[0], climberResting);
        EXPECT_EQ(game.climberSpeed[0], c.speed);
        EXPECT_EQ(game.climberRest[0], c.rest);
        EXPECT_EQ(game.climberBurst[0], c.burst);
        EXPECT_EQ(game.climberActor[0]->animation(), animations[c.row]);
    }
}

}  // namespace
