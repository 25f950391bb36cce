// Each player's stock of up to three smart bombs, shown as icons riding above his head.
#include "actors/actor.h"
#include "rules/rules.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_sounds.h"

void addSmartBomb(int player) {
    if (game.smartBombs[player] < 3) ++game.smartBombs[player];
    // A full stock still shows its last icon and still sounds: the player hears that the
    // third hit counted even when it earned him nothing more.
    if (Actor* icon = game.smartBombIcons[player][game.smartBombs[player] - 1]) icon->show();
    playSound(Sound::smartUp);
}

void removeSmartBomb(int player) {
    if (game.smartBombs[player] > 0) --game.smartBombs[player];
    if (Actor* icon = game.smartBombIcons[player][game.smartBombs[player]]) icon->hide();
}

void fireSmartBomb(int player) {
    removeSmartBomb(player);
    for (int k = 0; k < 12; ++k) {
        int slot = game.nextBall;
        Actor* ball = game.ballActor[slot];
        // A bomb may take over balls still in flight: the ring is short on purpose.
        ball->setPosition(gameRandBelow(640), 60);
        ball->setVelocityY(0.0);
        ball->setAccelerationY(0.7);
        ball->show();
        game.ballActive[slot] = 1;
        game.ballOwner[slot] = -1;
        game.ballHits[slot] = 0;
        game.nextBall = (slot + 1) % ballSlots;
    }
    playSound(Sound::stahl);
}
