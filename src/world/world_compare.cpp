#include "world/world_compare.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<World>, "a world is copied as plain bytes");

namespace {

constexpr uint64_t prime = 0x100000001B3ull;

uint64_t mix(uint64_t h, uint64_t word) {
    h = (h ^ word) * prime;
    return h ^ (h >> 29);
}

// Four lanes of 64 bits side by side, so a whole world hashes in a few microseconds.
uint64_t hashBytes(uint64_t h, const unsigned char* bytes, size_t size) {
    uint64_t lane[4] = {h, h ^ 1, h ^ 2, h ^ 3};
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        uint64_t words[4];
        std::memcpy(words, bytes + i, 32);
        for (int k = 0; k < 4; ++k) lane[k] = mix(lane[k], words[k]);
    }
    h = mix(mix(mix(mix(h, lane[0]), lane[1]), lane[2]), lane[3]);
    for (; i < size; ++i) h = (h ^ bytes[i]) * prime;
    return mix(h, size);
}

// The bytes of a world that can be anything but zero: the actors up to the highest slot used,
// the stamps up to the last one, and everything else. The rest is zero in every world.
struct Extent {
    size_t offset;
    size_t size;
};
constexpr size_t actorsStart = offsetof(World, actors);
constexpr size_t poolTailStart = actorsStart + offsetof(ActorPool, used);
constexpr size_t stampsStart = offsetof(World, backdrop) + offsetof(Backdrop, stamps);

template <typename F>
void forEachLiveExtent(const World& w, F&& f) {
    f(Extent{0, actorsStart});
    f(Extent{actorsStart, static_cast<size_t>(w.actors.highWater) * sizeof(Actor)});
    f(Extent{poolTailStart, stampsStart - poolTailStart});
    f(Extent{stampsStart, static_cast<size_t>(w.backdrop.stampCount) * sizeof(Stamp)});
}

struct Part {
    const char* name;
    size_t offset;
    size_t size;
};

#define WORLD_PART(member, label) Part{label, offsetof(World, member), sizeof(World::member)}
const Part worldParts[] = {
    WORLD_PART(game, "game variables"),   WORLD_PART(highscores, "highscore table"),
    WORLD_PART(controls, "controls"),     WORLD_PART(sounds, "sounds"),
    WORLD_PART(stage, "stage"),           WORLD_PART(scrollers, "scrollers"),
    WORLD_PART(labels, "labels"),         WORLD_PART(actors, "actors"),
    WORLD_PART(backdrop, "backdrop"),
};
#undef WORLD_PART

// The game variables by name, for saying which one two worlds disagree on.
#define GAME_FIELD(name) Part{#name, offsetof(GameState, name), sizeof(GameState::name)}
const Part gameFields[] = {
    GAME_FIELD(gameState),
    GAME_FIELD(stateFrame),
    GAME_FIELD(quitRequested),
    GAME_FIELD(numPlayers),
    GAME_FIELD(maxPlayers),
    GAME_FIELD(minPlayers),
    GAME_FIELD(levelIndex),
    GAME_FIELD(climbersPerLevel),
    GAME_FIELD(spawnInterval),
    GAME_FIELD(spawnCountdown),
    GAME_FIELD(climbersToSpawn),
    GAME_FIELD(climbersActive),
    GAME_FIELD(deadPlayers),
    GAME_FIELD(climbTypeThreshold1),
    GAME_FIELD(climbTypeThreshold2),
    GAME_FIELD(climbTypeThreshold3),
    GAME_FIELD(titleRelease),
    GAME_FIELD(playerActor),
    GAME_FIELD(playerState),
    GAME_FIELD(playerWeapon),
    GAME_FIELD(playerFacing),
    GAME_FIELD(playerActionTimer),
    GAME_FIELD(throwCountdown),
    GAME_FIELD(score),
    GAME_FIELD(bestScore),
    GAME_FIELD(smartBombs),
    GAME_FIELD(smartBombCooldown),
    GAME_FIELD(chainsawAvailable),
    GAME_FIELD(chainsawDrop),
    GAME_FIELD(playerMarker),
    GAME_FIELD(smartBombIcons),
    GAME_FIELD(playerLabel),
    GAME_FIELD(scoreDisplay),
    GAME_FIELD(climberActor),
    GAME_FIELD(climberState),
    GAME_FIELD(climberDir),
    GAME_FIELD(climberTargetX),
    GAME_FIELD(climberTimer),
    GAME_FIELD(climberRest),
    GAME_FIELD(climberBurst),
    GAME_FIELD(climberSpeed),
    GAME_FIELD(climberTarget),
    GAME_FIELD(climberBonusLabel),
    GAME_FIELD(ballActor),
    GAME_FIELD(ballActive),
    GAME_FIELD(ballOwner),
    GAME_FIELD(ballHits),
    GAME_FIELD(nextBall),
    GAME_FIELD(bodyPart),
    GAME_FIELD(bodyPartActive),
    GAME_FIELD(leftMagazine),
    GAME_FIELD(rightMagazine),
    GAME_FIELD(leftSupplyBall),
    GAME_FIELD(rightSupplyBall),
    GAME_FIELD(leftSupplyTimer),
    GAME_FIELD(rightSupplyTimer),
    GAME_FIELD(leftSupplyReady),
    GAME_FIELD(rightSupplyReady),
    GAME_FIELD(introFigure),
    GAME_FIELD(menuCursor),
    GAME_FIELD(playerCountDisplay),
    GAME_FIELD(menuSelection),
    GAME_FIELD(menuItemText),
    GAME_FIELD(levelNumberDisplay),
    GAME_FIELD(nameField),
    GAME_FIELD(nameLength),
    GAME_FIELD(nameEntrySlot),
    GAME_FIELD(nameEntryPlayer),
    GAME_FIELD(pendingHighscore),
    GAME_FIELD(heldKey),
    GAME_FIELD(highscoresChanged),
    GAME_FIELD(creditsScroller),
    GAME_FIELD(highscoreScroller),
    GAME_FIELD(nameEntryMessage),
    GAME_FIELD(gameSeed),
    GAME_FIELD(gamesStarted),
    GAME_FIELD(randState),
    GAME_FIELD(frame),
    GAME_FIELD(clock),
    GAME_FIELD(paused),
    GAME_FIELD(pauseHeld),
    GAME_FIELD(screenshotArmed),
    GAME_FIELD(demo),
    GAME_FIELD(levelText),
    GAME_FIELD(playerLabelText),
    GAME_FIELD(highscoreText),
    GAME_FIELD(nameEntryText),
};
#undef GAME_FIELD

size_t firstDifference(const unsigned char* a, const unsigned char* b, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return i;
    return size;
}

std::string describeGameVariable(size_t offset) {
    for (const Part& f : gameFields)
        if (offset >= f.offset && offset < f.offset + f.size) return std::string("game variable ") + f.name;
    return "game variables, byte " + std::to_string(offset);
}

}  // namespace

uint64_t worldHash(const World& world) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&world);
    uint64_t h = 0xCBF29CE484222325ull;
    forEachLiveExtent(world, [&](Extent e) { h = hashBytes(h, bytes + e.offset, e.size); });
    return h;
}

bool sameWorld(const World& a, const World& b) {
    if (a.actors.highWater != b.actors.highWater || a.backdrop.stampCount != b.backdrop.stampCount)
        return false;
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    bool same = true;
    forEachLiveExtent(a, [&](Extent e) {
        same = same && std::memcmp(pa + e.offset, pb + e.offset, e.size) == 0;
    });
    return same;
}

void copyWorld(World& to, const World& from) {
    if (&to == &from) return;
    auto* pt = reinterpret_cast<unsigned char*>(&to);
    const auto* pf = reinterpret_cast<const unsigned char*>(&from);
    // What the destination holds beyond the source's live extents must become zero.
    size_t actorsUsed = static_cast<size_t>(from.actors.highWater) * sizeof(Actor);
    size_t actorsHeld = static_cast<size_t>(to.actors.highWater) * sizeof(Actor);
    if (actorsHeld > actorsUsed) std::memset(pt + actorsStart + actorsUsed, 0, actorsHeld - actorsUsed);
    size_t stampsUsed = static_cast<size_t>(from.backdrop.stampCount) * sizeof(Stamp);
    size_t stampsHeld = static_cast<size_t>(to.backdrop.stampCount) * sizeof(Stamp);
    if (stampsHeld > stampsUsed) std::memset(pt + stampsStart + stampsUsed, 0, stampsHeld - stampsUsed);
    forEachLiveExtent(from, [&](Extent e) { std::memcpy(pt + e.offset, pf + e.offset, e.size); });
}

std::string worldDifference(const World& a, const World& b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    size_t at = firstDifference(pa, pb, sizeof a);
    if (at == sizeof a) return "";
    for (const Part& part : worldParts) {
        if (at < part.offset || at >= part.offset + part.size) continue;
        size_t within = at - part.offset;
        if (part.offset == offsetof(World, game)) return describeGameVariable(within);
        if (part.offset == offsetof(World, actors) && within < sizeof a.actors.storage)
            return "actor in slot " + std::to_string(within / sizeof(Actor)) + ", byte " +
                   std::to_string(within % sizeof(Actor));
        return std::string(part.name) + ", byte " + std::to_string(within);
    }
    return "byte " + std::to_string(at);
}

// The counts first, so the reader knows the extents' sizes before it reads them.
std::vector<uint8_t> worldBytes(const World& world) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&world);
    std::vector<uint8_t> out(2 * sizeof(int32_t));
    std::memcpy(out.data(), &world.actors.highWater, sizeof(int32_t));
    std::memcpy(out.data() + sizeof(int32_t), &world.backdrop.stampCount, sizeof(int32_t));
    forEachLiveExtent(world, [&](Extent e) {
        out.insert(out.end(), bytes + e.offset, bytes + e.offset + e.size);
    });
    return out;
}

bool worldFromBytes(World& world, const std::vector<uint8_t>& in) {
    int32_t actors = 0, stamps = 0;
    if (in.size() < 2 * sizeof(int32_t)) return false;
    std::memcpy(&actors, in.data(), sizeof actors);
    std::memcpy(&stamps, in.data() + sizeof actors, sizeof stamps);
    if (actors < 0 || actors > ActorPool::capacity || stamps < 0 || stamps > Backdrop::maxStamps)
        return false;
    size_t expected = 2 * sizeof(int32_t) + stampsStart - poolTailStart + actorsStart +
                      static_cast<size_t>(actors) * sizeof(Actor) +
                      static_cast<size_t>(stamps) * sizeof(Stamp);
    if (in.size() != expected) return false;
    auto scratch = std::make_unique<World>();
    std::memset(static_cast<void*>(scratch.get()), 0, sizeof(World));
    auto* bytes = reinterpret_cast<unsigned char*>(scratch.get());
    size_t at = 2 * sizeof(int32_t);
    auto take = [&](size_t offset, size_t size) {
        std::memcpy(bytes + offset, in.data() + at, size);
        at += size;
    };
    take(0, actorsStart);
    take(actorsStart, static_cast<size_t>(actors) * sizeof(Actor));
    take(poolTailStart, stampsStart - poolTailStart);
    take(stampsStart, static_cast<size_t>(stamps) * sizeof(Stamp));
    if (scratch->actors.highWater != actors || scratch->backdrop.stampCount != stamps) return false;
    copyWorld(world, *scratch);
    return true;
}
