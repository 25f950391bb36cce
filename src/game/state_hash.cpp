#include "game/state_hash.h"

#include <cstring>

#include "actors/actor.h"
#include "actors/stage.h"
#include "engine/engine.h"
#include "game/game_rand.h"
#include "game/game_state.h"

namespace {

// FNV-1a, 64 bits: cheap, and any change in any byte changes the result.
class Fnv {
public:
    void add(const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            value_ ^= bytes[i];
            value_ *= 0x100000001B3ull;
        }
    }
    template <typename T>
    void add(const T& v) {
        add(&v, sizeof v);
    }
    uint64_t value() const { return value_; }

private:
    uint64_t value_ = 0xCBF29CE484222325ull;
};

// Pointers differ between machines, so only the values they lead to are hashed.
void addGameVariables(Fnv& h, const GameState& g) {
    h.add(g.gameState);
    h.add(g.stateFrame);
    h.add(g.quitRequested);
    h.add(g.numPlayers);
    h.add(g.maxPlayers);
    h.add(g.levelIndex);
    h.add(g.climbersPerLevel);
    h.add(g.spawnCountdown);
    h.add(g.climbersToSpawn);
    h.add(g.climbersActive);
    h.add(g.deadPlayers);
    h.add(g.playerState);
    h.add(g.playerWeapon);
    h.add(g.playerFacing);
    h.add(g.playerActionTimer);
    h.add(g.throwCountdown);
    h.add(g.score);
    h.add(g.smartBombs);
    h.add(g.smartBombCooldown);
    h.add(g.chainsawAvailable);
    h.add(g.climberState);
    h.add(g.climberDir);
    h.add(g.climberTargetX);
    h.add(g.climberTimer);
    h.add(g.climberBurst);
    h.add(g.climberTarget);
    h.add(g.ballActive);
    h.add(g.ballOwner);
    h.add(g.ballHits);
    h.add(g.nextBall);
    h.add(g.bodyPartActive);
    h.add(g.leftSupplyTimer);
    h.add(g.rightSupplyTimer);
    h.add(g.menuSelection);
    h.add(g.nameLength);
    h.add(g.pendingHighscore);
}

}  // namespace

uint64_t gameStateHash(const Engine& engine) {
    Fnv h;
    addGameVariables(h, game);
    (void)engine;
    int count = theStage.actorCount;
    h.add(count);
    for (int i = 0; i < count; ++i) {
        const Actor* actor = theStage.actorAt(i);
        if (actor == nullptr) continue;
        h.add(actor->x());
        h.add(actor->y());
        h.add(actor->frameIndex());
    }
    h.add(gameRandState());
    return h.value();
}
