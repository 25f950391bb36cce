#include "actors/actor.h"
#include "actors/animation_table.h"
#include "engine/engine.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/key_codes.h"
#include "game/screen_sounds.h"
#include "game/screens.h"
#include "shell/log.h"

namespace {
constexpr int introFigureAnimation = 57;
constexpr int startupFrames = 165;  // black screen while the announcer speaks
constexpr int titleFrames = 180;
constexpr int titleUnskippable = 120;  // the title's own voice is not cut short
}  // namespace

void showTitle() { theEngine->loadPicture("g\\Title.raw", 24, 0, 0); }

void makeIntroFigure() {
    if (game.introFigure != nullptr) return;
    Actor* figure = new Actor(animations[introFigureAnimation], 720, -10, 0.0, 0.0);
    figure->setDepth(5000);
    theEngine->addActor(figure);
    // Waits off screen; the first level lets it walk in as far as the left bound.
    figure->setLeftBound(520);
    figure->setBoundsActive(true);
    game.introFigure = figure;
}

void updateStartup() {
    if (game.introFigure == nullptr) {
        theEngine->clearAllSurfaces();
        makeIntroFigure();
        playEffect("s\\coming.raw");
        return;
    }
    if (game.stateFrame > startupFrames) {
        logLine("loading title\n");
        showTitle();
        setGameState(stateTitle, true);
    }
}

void updateTitle() {
    if (game.stateFrame == 1) playEffect("s\\vorlantide.raw");
    if (game.stateFrame == 90) playEffect("s\\chancefor.raw");

    bool skipped = game.stateFrame > titleUnskippable &&
                   (theEngine->isButtonDown(0, 0) || theEngine->isKeyDown(keys::space));
    if (game.stateFrame < titleFrames && !skipped) return;

    // The fire press that ended the title must not also act in the menu, so the screen keeps
    // running, frame by frame, until it is let go.
    if (theEngine->isButtonDown(0, 0)) {
        game.titleRelease = TitleRelease::waiting;
        return;
    }
    buildMenu();
    setGameState(stateMenu, true);
}

void updateTitleRelease() {
    if (theEngine->isButtonDown(0, 0)) return;
    game.titleRelease = TitleRelease::menuBuilt;
    buildMenu();
    setGameState(stateMenu, true);
}
