#include "actors/stage.h"

void Stage::addActor(Actor* actor) {
    if (actor == nullptr) return;
    int firstEmpty = -1;
    for (int slot = 0; slot < maxActors; ++slot) {
        if (actors[slot] == actor) return;
        if (actors[slot] == nullptr && firstEmpty < 0) firstEmpty = slot;
    }
    if (firstEmpty < 0) return;
    actors[firstEmpty] = actor;
    ++actorCount;
}

void Stage::removeActor(Actor* actor) {
    int found = -1;
    for (int slot = 0; slot < actorCount; ++slot) {
        if (actors[slot] == actor) {
            found = slot;
            break;
        }
    }
    if (found < 0 || actor == nullptr) return;
    for (int slot = found; slot < actorCount - 1; ++slot) actors[slot] = actors[slot + 1];
    actors[actorCount - 1] = nullptr;
    --actorCount;
}

void Stage::sortActors() {
    int next = 0;
    for (int slot = 0; slot < maxActors; ++slot) {
        if (actors[slot] == nullptr) continue;
        ActorRef a = actors[slot];
        actors[slot] = nullptr;
        actors[next++] = a;
    }
    // A bubble sort on strict comparison keeps actors of equal depth in the order they were
    // added (the later one in front), and costs a single pass when nothing moved.
    for (int limit = actorCount - 1; limit > 0; --limit) {
        bool swapped = false;
        for (int i = 0; i < limit; ++i) {
            if (actors[i]->depth() > actors[i + 1]->depth()) {
                ActorRef t = actors[i];
                actors[i] = actors[i + 1];
                actors[i + 1] = t;
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

void Stage::addOverlay(Scroller* scroller) {
    if (scroller == nullptr || overlayCount >= maxOverlays) return;
    int firstEmpty = -1;
    for (int slot = 0; slot < maxOverlays; ++slot) {
        if (overlays[slot] == scroller) return;
        if (overlays[slot] == nullptr && firstEmpty < 0) firstEmpty = slot;
    }
    if (firstEmpty < 0) return;
    overlays[firstEmpty] = scroller;
    ++overlayCount;
    scroller->setOnStage();
}

void Stage::removeOverlay(Scroller* scroller) {
    if (scroller == nullptr) return;
    for (int slot = 0; slot < maxOverlays; ++slot) {
        if (overlays[slot] == scroller) {
            overlays[slot] = nullptr;
            --overlayCount;
            return;
        }
    }
}
