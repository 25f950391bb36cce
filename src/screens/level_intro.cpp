// The "level NN" banner before play; the dead come back at its 33rd frame.
#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"

void updateLevelIntro() {
    Actor* number = game.levelNumberDisplay->actor();
    switch (game.stateFrame) {
        case 25:
            game.levelText->stopMotion();
            number->setPosition(600, 200);
            number->setVelocityX(-10.0);
            number->setAccelerationX(0.17);
            number->showTree();
            break;
        case 33:
            for (int p = 0; p < game.numPlayers; ++p) {
                if (game.playerState[p] != playerReentering) continue;
                // The best life is what counts at the end, so keep it before starting afresh.
                if (game.score[p] > game.bestScore[p]) game.bestScore[p] = game.score[p];
                setScore(p, 0);
                game.playerActor[p]->stopMotion();
                game.playerActor[p]->setAnimation(animations[rowStand]);
                game.playerState[p] = playerStanding;
            }
            break;
        case 50:
            number->stopMotion();
            number->attachToKeepingOffset(game.levelText);
            startLevelMusic(game.levelIndex);
            break;
        case 96:
            game.levelText->setVelocityY(-7.0);
            game.levelText->setAccelerationY(0.5);
            break;
        case 180:
            game.levelText->stopMotion();
            number->detach();
            // stateFrame runs on into play; the controls time the intro figure's exit by it.
            setGameState(statePlay, false);
            break;
        default:
            break;
    }
}
