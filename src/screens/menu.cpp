#include <cstring>

#include "actors/actor.h"
#include "engine/backdrop.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "screens/highscore_text.h"
#include "screens/menu_texts.h"
#include "screens/retire_scroller.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"

namespace {
const char* const itemNames[3] = {"Start", "Players", "Quit"};
constexpr int itemX = 100;
constexpr int firstItemY = 120;
constexpr int itemGap = 100;
}  // namespace

void buildMenu() {
    showPicture(Picture::black);

    if (game.creditsScroller == nullptr) {
        game.creditsScroller = new Scroller(scrollerFont, creditsText, 450);
        game.creditsScroller->setSpeed(3.75);
        theStage.addOverlay(game.creditsScroller);
    }
    game.creditsScroller->rewind();
    game.creditsScroller->show();

    if (game.highscoresChanged) {
        buildHighscoreText(game.highscoreText, sizeof game.highscoreText);
        retireScroller(game.highscoreScroller);
        game.highscoreScroller = new Scroller(scrollerFont, game.highscoreText, 80);
        game.highscoreScroller->setSpeed(6.0);
        theStage.addOverlay(game.highscoreScroller);
        game.highscoresChanged = 0;
    }
    game.highscoreScroller->rewind();
    game.highscoreScroller->show();

    for (int i = 0; i < 3; ++i) {
        if (game.menuItemText[i] == nullptr)
            game.menuItemText[i] = new Label(itemNames[i], gameFont, 5);
        Actor* item = game.menuItemText[i]->actor();
        item->addTreeToStage();
        item->setPosition(itemX, firstItemY + i * itemGap);
        item->showTree();
    }
}
