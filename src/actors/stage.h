#pragma once
#include <cstdint>

#include "actors/actor.h"
#include "actors/stage.h"
#include "actors/scroller.h"

// What the world in play shows and moves each frame: the actors in drawing order (500 slots,
// with gaps, walked from slot 0 until `count` have been seen) and the scrolling text lines
// (8 slots). Adding an entry twice, to a full list, or removing an absent one does nothing.
struct Stage {
    static constexpr int maxActors = 500;
    static constexpr int maxOverlays = 8;

    ActorRef actors[maxActors];
    ScrollerRef overlays[maxOverlays];
    int32_t actorCount;
    int32_t overlayCount;
    // A depth changed since the last sort.
    bool orderChanged;
    uint8_t unused[7];

    void addActor(Actor* actor);
    void removeActor(Actor* actor);
    // Packs the list and orders it by depth, keeping the order of actors of equal depth.
    void sortActors();
    void addOverlay(Scroller* scroller);
    void removeOverlay(Scroller* scroller);
    Actor* actorAt(int slot) const { return actors[slot]; }
};

// The stage of the world in play.
extern Stage& theStage;
