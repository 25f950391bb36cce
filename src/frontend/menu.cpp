#include <cstring>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "frontend/highscore_text.h"
#include "frontend/menu_texts.h"
#include "frontend/retire_scroller.h"
#include "game/game_flow.h"
#include "game/game_state.h"

namespace {
// The scroller reads its text live, so the buffer lives as long as the program.
char highscoreText[1000];

const char* const itemNames[3] = {"Start", "Players", "Quit"};
constexpr int itemX = 100;
constexpr int firstItemY = 120;
constexpr int itemGap = 100;
}  // namespace

void buildMenu() {
    theEngine->clearAllSurfaces();

    if (game.creditsScroller == nullptr) {
        game.creditsScroller = new Scroller(scrollerFont, creditsText, 450);
        game.creditsScroller->setSpeed(3.75);
        theEngine->addOverlay(game.creditsScroller);
    }
    game.creditsScroller->rewind();
    game.creditsScroller->show();

    if (game.highscoresChanged) {
        buildHighscoreText(highscoreText, sizeof highscoreText);
        retireScroller(game.highscoreScroller, theEngine);
        game.highscoreScroller = new Scroller(scrollerFont, highscoreText, 80);
        game.highscoreScroller->setSpeed(6.0);
        theEngine->addOverlay(game.highscoreScroller);
        game.highscoresChanged = 0;
    }
    game.highscoreScroller->rewind();
    game.highscoreScroller->show();

    for (int i = 0; i < 3; ++i) {
        if (game.menuItemText[i] == nullptr)
            game.menuItemText[i] = new Label(itemNames[i], gameFont, 5);
        Actor* item = game.menuItemText[i]->actor();
        item->addTreeTo(theEngine);
        item->setPosition(itemX, firstItemY + i * itemGap);
        item->showTree();
    }
}
