#include "screens/player_offer.h"

#include <gtest/gtest.h>

#include "input/input_reader.h"
#include "platform/headless/headless_platform.h"
#include "world/world.h"

namespace {

// Controllers plugged in, the screen, players chosen before the frame; offer and players after.
const int steps[][5] = {
    {2, stateMenu, 2, 2, 2},
    {3, stateMenu, 2, 3, 2},
    {3, stateMenu, 3, 3, 3},
    {2, stateMenu, 3, 2, 2},  // pulled out: a chosen three falls back to two
    {3, stateMenu, 1, 3, 1},
    {2, statePlay, 3, 3, 3},  // pulled out in play: the game goes on
                              // as it was
    {2, stateMenu, 3, 2, 2},
};

}  // namespace

TEST(PlayerOffer, FollowsSimulatedControllers) {
    SimulatedJoysticks pads(2);
    ScriptedKeyboard keyboard;
    InputReader reader(&keyboard, &pads);
    reader.setUpJoysticks(3);
    clearWorld();
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s[0] << " pads, state " << s[1]);
        pads.setCount(s[0]);
        game.gameState = s[1];
        game.numPlayers = s[2];
        reader.setUpNewJoysticks(3);  // the shell's part between frames
        reader.read(0);
        updatePlayerOffer(reader.attachedJoysticks());
        EXPECT_EQ(game.maxPlayers, s[3]);
        EXPECT_EQ(game.numPlayers, s[4]);
    }
}
