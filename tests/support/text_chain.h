#pragma once
#include <vector>

#include "actors/actor.h"
#include "engine/animation.h"
#include "engine/sprite_frame.h"

// The characters of a text chain from its root, following the only child of each.
inline std::vector<Actor*> chainOf(Actor* root) {
    std::vector<Actor*> chain;
    for (Actor* a = root; a != nullptr; a = a->firstChild())
        chain.push_back(a);
    return chain;
}

inline std::vector<int> cellsOf(Actor* root) {
    std::vector<int> cells;
    for (Actor* a : chainOf(root)) cells.push_back(a->glyphCell());
    return cells;
}
