#include "play/play_fixture.h"

namespace {

using Climbers = PlayField;

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

// With every body-part slot busy a stroke still kills and scores, without a part or a scream.
TEST_F(Chainsaw, CutsOnlyInTheLastEightFramesAndOnlyOnTheSideFaced) {
    struct Case {
        int facing;
        int framesLeft;
        int climberX;
        bool cut;
        bool partsBusy = false;
    };
    const Case cases[] = {
        {facingLeft, 7, 250, true},   {facingLeft, 7, 251, true},
        {facingLeft, 7, 249, false},  {facingLeft, 8, 260, false},
        {facingLeft, 7, 300, false},  {facingLeft, 7, 330, false},
        {facingRight, 7, 300, true},  {facingRight, 7, 350, true},
        {facingRight, 7, 351, false}, {facingRight, 7, 299, false},
        {facingRight, 8, 320, false}, {facingNone, 3, 310, false},
        {facingRight, 0, 320, true},  {facingLeft, 3, 260, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "facing " << c.facing << " left " << c.framesLeft
                                          << " climber " << c.climberX << " busy " << c.partsBusy);
        setUpStroke(playerStrokeA, c.facing, c.framesLeft, c.climberX);
        for (int i = 0; c.partsBusy && i < bodyPartSlots; ++i) game.bodyPartActive[i] = 1;
        int actorsBefore = theStage.actorCount;
        events.clear();
        outsideStep([] { updateClimbers(); });
        EXPECT_EQ(game.climberState[0] == climberCutDown, c.cut);
        EXPECT_EQ(game.score[0], c.cut ? 500 : 0);
        EXPECT_EQ(theStage.actorCount - actorsBefore, c.cut && !c.partsBusy ? 1 : 0);
        EXPECT_EQ(soundCount("play", "s\\wildscream.raw"), c.cut && !c.partsBusy ? 1 : 0);
    }
}

}  // namespace
