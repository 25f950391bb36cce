#include "engine/engine.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/screens.h"

void runGameFrame() {
    switch (game.titleRelease) {
        case TitleRelease::none:
            updateGame();
            // The frame that ends the title with fire held runs the engine alone, like the
            // rest of the wait.
            if (game.titleRelease == TitleRelease::none) updatePlayerControls();
            break;
        case TitleRelease::waiting:
            break;
        case TitleRelease::menuBuilt:
            // The menu was built after the last frame of the wait; its first frame has the
            // controls but no screen logic yet.
            game.titleRelease = TitleRelease::none;
            updatePlayerControls();
            break;
    }
    theEngine->runFrame();
    if (game.titleRelease == TitleRelease::waiting) updateTitleRelease();
}
