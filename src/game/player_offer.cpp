#include "game/player_offer.h"

#include "actors/font.h"
#include "engine/engine.h"
#include "game/game_state.h"

void updatePlayerOffer(const Engine& engine, int controllersForThree) {
    if (game.gameState != stateMenu) return;
    game.maxPlayers = engine.attachedJoysticks() >= controllersForThree ? 3 : 2;
    if (game.numPlayers <= game.maxPlayers) return;
    game.numPlayers = game.maxPlayers;
    if (game.playerCountDisplay != nullptr) game.playerCountDisplay->setNumber(game.numPlayers);
}
