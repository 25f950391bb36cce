#include "game/player_offer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <vector>

#include "engine/engine.h"
#include "game/game_state.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_joysticks.h"

namespace {

// One frame of the loop as far as controllers go: new ones set up, all read, offer updated.
void frame(Engine& engine) {
    engine.setUpNewJoysticks(3);
    engine.readControls();
    updatePlayerOffer(engine, 3);
}

struct Step {
    int controllers;
    int state;
    int chosen;  // players chosen in the menu before the frame
    int offered;
    int players;  // after the frame
};

void runSteps(Engine& engine, const std::vector<Step>& steps,
              const std::function<void(int)>& plug) {
    game = GameState{};
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        plug(s.controllers);
        game.gameState = s.state;
        game.numPlayers = s.chosen;
        frame(engine);
        EXPECT_EQ(game.maxPlayers, s.offered);
        EXPECT_EQ(game.numPlayers, s.players);
    }
}

const std::vector<Step> hotPlugSteps = {
    {2, stateMenu, 2, 2, 2},  // two pads: two players
    {3, stateMenu, 2, 3, 2},  // a third plugged in: three offered
    {3, stateMenu, 3, 3, 3},  // and chosen
    {2, stateMenu, 3, 2, 2},  // pulled out: the chosen three falls back to two
    {3, stateMenu, 1, 3, 1},  // plugged in again: offered again, one player stays one
    {2, statePlay, 3, 3, 3},  // pulled out during play: the game goes on as it was
    {2, stateMenu, 3, 2, 2},  // back in the menu the offer follows
};

}  // namespace

TEST(PlayerOffer, FollowsSimulatedControllers) {
    HeadlessDisplay display(640, 480);
    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks(2);
    Engine engine(&display, &keyboard, &joysticks, 640, 480, 16);
    engine.setUpJoysticks(3);
    runSteps(engine, hotPlugSteps, [&](int n) { joysticks.setCount(n); });
}

// The same with SDL's own virtual controllers, as the game sees real ones come and go.
TEST(PlayerOffer, FollowsSdlVirtualControllers) {
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0)
        GTEST_SKIP() << "no SDL joystick support here: " << SDL_GetError();
    std::vector<int> virtualIds;
    auto plug = [&](int wanted) {
        while (static_cast<int>(virtualIds.size()) < wanted) {
            int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
            ASSERT_GE(device, 0) << SDL_GetError();
            virtualIds.push_back(SDL_JoystickGetDeviceInstanceID(device));
        }
        while (static_cast<int>(virtualIds.size()) > wanted) {
            for (int i = 0; i < SDL_NumJoysticks(); ++i)
                if (SDL_JoystickGetDeviceInstanceID(i) == virtualIds.back())
                    SDL_JoystickDetachVirtual(i);
            virtualIds.pop_back();
        }
        SDL_JoystickUpdate();
    };
    {
        auto joysticks = std::make_unique<SdlJoysticks>(std::make_shared<SdlLibrary>());
        if (joysticks->enumerate() != 0) GTEST_SKIP() << "real controllers are attached";
        plug(2);
        HeadlessDisplay display(640, 480);
        ScriptedKeyboard keyboard;
        Engine engine(&display, &keyboard, joysticks.get(), 640, 480, 16);
        engine.setUpJoysticks(3);
        runSteps(engine, hotPlugSteps, plug);
        plug(0);
    }
}
