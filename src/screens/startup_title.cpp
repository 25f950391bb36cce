#include "base/events.h"
#include "actors/actor.h"
#include "engine/backdrop.h"
#include "input/controls.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "engine/engine.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "input/key_codes.h"
#include "rules/play_sounds.h"
#include "screens/screens.h"

namespace {
constexpr int startupFrames = 165;  // black screen while the announcer speaks
constexpr int titleFrames = 180;
constexpr int titleUnskippable = 120;  // the title's own voice is not cut short
}  // namespace

void showTitle() { showPicture(Picture::title); }

void makeIntroFigure() {
    if (game.introFigure != nullptr) return;
    Actor* figure = new Actor(animations[rowStillDefender], 720, -10, 0.0, 0.0);
    figure->setDepth(5000);
    theStage.addActor(figure);
    // Waits off screen; the first level lets it walk in as far as the left bound.
    figure->setLeftBound(520);
    figure->setBoundsActive(true);
    game.introFigure = figure;
}

void updateStartup() {
    if (game.introFigure == nullptr) {
        showPicture(Picture::black);
        makeIntroFigure();
        playSound(Sound::coming);
        return;
    }
    if (game.stateFrame > startupFrames) {
        emitLog("loading title\n");
        showTitle();
        setGameState(stateTitle, true);
    }
}

void updateTitle() {
    if (game.stateFrame == 1) playSound(Sound::vorlantide);
    if (game.stateFrame == 90) playSound(Sound::chanceFor);

    bool skipped = game.stateFrame > titleUnskippable &&
                   (theControls.isButtonDown(0, 0) || theControls.isKeyDown(keys::space));
    if (game.stateFrame < titleFrames && !skipped) return;

    // The fire press that ended the title must not also act in the menu, so the screen keeps
    // running, frame by frame, until it is let go.
    if (theControls.isButtonDown(0, 0)) {
        game.titleRelease = TitleRelease::waiting;
        return;
    }
    buildMenu();
    setGameState(stateMenu, true);
}

bool updateTitleRelease() {
    if (theControls.isButtonDown(0, 0)) return false;
    game.titleRelease = TitleRelease::none;
    buildMenu();
    setGameState(stateMenu, true);
    return true;
}
