#include "screens/player_offer.h"

#include "actors/font.h"
#include "rules/game_state.h"

namespace {
constexpr int controllersForThree = 3;
}

void updatePlayerOffer(int controllersAnswering) {
    if (game.gameState != stateMenu) return;
    game.maxPlayers = controllersAnswering >= controllersForThree ? 3 : 2;
    if (game.numPlayers <= game.maxPlayers) return;
    game.numPlayers = game.maxPlayers;
    if (game.playerCountDisplay != nullptr) game.playerCountDisplay->setNumber(game.numPlayers);
}
