#include "actors/actor.h"
#include "input/controls.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "rules/game_state.h"
#include "rules/play_sounds.h"
#include "screens/screens.h"

namespace {
constexpr int menuPlayer = 0;  // only player 1 steers the menu
constexpr uint32_t up = 0x1;
constexpr uint32_t down = 0x2;
constexpr int itemStart = 0;
constexpr int itemPlayers = 1;
constexpr int itemQuit = 2;
constexpr int itemGap = 100;

bool newlyDirection(uint32_t bit) {
    return (theControls.directions(menuPlayer) & bit) != 0 &&
           (theControls.previousDirections(menuPlayer) & bit) == 0;
}

bool newlyButton(int button) {
    return theControls.isButtonDown(menuPlayer, button) &&
           !theControls.wasButtonDown(menuPlayer, button);
}

void enterMenu() {
    Actor* figure = game.introFigure;
    if (figure != nullptr) {
        // Back off screen, so the next first level can walk it in again.
        figure->hide();
        figure->setPosition(720, -10);
        figure->setVelocityX(0.0);
    }
    if (game.menuCursor == nullptr) {
        game.menuCursor = new Actor(animations[rowBall], 45, 130, 0.0, 0.0);
        theStage.addActor(game.menuCursor);
        game.menuSelection = itemStart;
    }
    if (game.playerCountDisplay == nullptr) {
        game.playerCountDisplay = new Label(game.numPlayers, gameFont, 5, 10, 0);
        game.playerCountDisplay->actor()->addTreeToStage();
    }
    game.playerCountDisplay->actor()->showTree();
    game.playerCountDisplay->actor()->setPosition(500, 220);

    // The ball drops from 130 and bounces on the line under the selected item.
    Actor* cursor = game.menuCursor;
    cursor->setPosition(45, 130);
    cursor->show();
    cursor->setVelocityY(0.0);
    cursor->setAccelerationY(0.22);
    cursor->setMaxVelocityY(4.0);
    cursor->setBottomBound(150);
    cursor->enableBounce();
    cursor->setBoundsActive(true);
}

void moveCursor(int step) {
    game.menuSelection += step;
    playSoundAt(Sound::tschonk, 22050);
    Actor* cursor = game.menuCursor;
    cursor->setBottomBound(cursor->bottomBound() + step * itemGap);
    cursor->setPosition(cursor->x(), cursor->y() + step * itemGap);
}

}  // namespace

void startNewGame() {
    if (game.menuCursor != nullptr) game.menuCursor->hide();
    for (Label* item : game.menuItemText)
        if (item != nullptr) item->actor()->removeTreeFromStage();
    if (game.creditsScroller != nullptr) game.creditsScroller->hide();
    if (game.highscoreScroller != nullptr) game.highscoreScroller->hide();
    setGameState(stateNewGame, true);
    game.levelIndex = 0;
    if (game.playerCountDisplay != nullptr) game.playerCountDisplay->actor()->hideTree();
    game.climbersPerLevel = 10;
    game.deadPlayers = 0;
}

namespace {

void activate() {
    switch (game.menuSelection) {
        case itemStart:
            startNewGame();
            break;
        case itemPlayers:
            game.numPlayers =
                game.numPlayers >= game.maxPlayers ? game.minPlayers : game.numPlayers + 1;
            game.playerCountDisplay->setNumber(game.numPlayers);
            playSoundAt(Sound::tschonk, 44100);
            break;
        case itemQuit:
            game.quitRequested = 1;
            break;
        default:
            break;
    }
}
}  // namespace

void updateMenu() {
    if (game.stateFrame == 1) enterMenu();
    if (game.menuCursor == nullptr) return;  // entered past its first frame: nothing to steer

    // The ends play no click: the selection did not move.
    if (newlyDirection(down) && game.menuSelection < itemQuit) moveCursor(+1);
    if (newlyDirection(up) && game.menuSelection > itemStart) moveCursor(-1);
    if (newlyButton(0) || newlyButton(2)) activate();
}
