#include <algorithm>
#include <iterator>
#include <set>

#include "play/play_fixture.h"

namespace {

using PlayerActions = PlayField;

TEST_F(PlayerActions, RunningSpeedDependsOnWhatThePlayerCarries) {
    struct Case {
        int weapon;
        int keyDown;
        double speed;
        int row;
        int state;
        int facing;
    };
    const Case cases[] = {
        {weaponEmpty, keyLeft, -10.0, 3, playerRunningLeft, facingLeft},
        {weaponEmpty, keyRight, 10.0, 4, playerRunningRight, facingRight},
        {weaponBall, keyLeft, -7.0, 11, playerRunningLeft, facingLeft},
        {weaponBall, keyRight, 7.0, 12, playerRunningRight, facingRight},
        {weaponChainsaw, keyLeft, -7.0, 29, playerRunningLeft, facingLeft},
        {weaponChainsaw, keyRight, 7.0, 30, playerRunningRight, facingRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "weapon " << c.weapon << " key " << c.keyDown);
        resetWorld();
        newGameInPlay(1);
        game.playerWeapon[0] = c.weapon;
        key(c.keyDown, true);
        settleControls();
        updatePlayerActions();
        key(c.keyDown, false);
        Actor* player = game.playerActor[0];
        EXPECT_EQ(player->velocityX(), c.speed);
        EXPECT_EQ(player->animation(), animations[c.row]);
        EXPECT_EQ(game.playerState[0], c.state);
        EXPECT_EQ(game.playerFacing[0], c.facing);
    }
}

TEST_F(PlayerActions, FireWithTheChainsawStartsOneOfThreeStrokesWithItsSoundLater) {
    struct Stroke {
        int state;
        int timer;
        int depth;
        int leftRow;
        int rightRow;
        int soundDelay;
    };
    const Stroke strokes[] = {{playerStrokeA, 18, 6, 31, 32, 12},
                              {playerStrokeB, 20, 4, 33, 34, 15},
                              {playerStrokeC, 18, 4, 35, 36, 5}};
    std::set<int> seen;
    for (int seed = 1; seed <= 12; ++seed) {
        resetWorld();
        newGameInPlay(1);
        game.playerWeapon[0] = weaponChainsaw;
        game.playerFacing[0] = seed % 2 ? facingLeft : facingRight;
        key(keyFire, true);
        settleControls();
        key(keyFire, false);
        theSounds.reset();
        gameSrand(seed);
        events.clear();
        outsideStep([] { updatePlayerActions(); });
        const Stroke* s = std::find_if(std::begin(strokes), std::end(strokes), [](const Stroke& k) {
            return k.state == game.playerState[0];
        });
        ASSERT_NE(s, std::end(strokes)) << "no stroke started";
        seen.insert(s->state);
        SCOPED_TRACE(s->state);
        EXPECT_EQ(game.playerActionTimer[0], s->timer);
        EXPECT_EQ(game.playerActor[0]->depth(), s->depth);
        EXPECT_EQ(game.playerActor[0]->animation(),
                  animations[seed % 2 ? s->leftRow : s->rightRow]);
        int heardAfter = 0;
        while (soundCount("play", "s\\chainsaw_slash1.raw") == 0 && heardAfter < 30) {
            stageFrame();
            ++heardAfter;
        }
        EXPECT_EQ(heardAfter, s->soundDelay);
    }
    EXPECT_EQ(seen.size(), 3u) << "twelve seeds should bring every stroke";
}

}  // namespace
