#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "platform/headless/headless_display.h"
#include "platform/input.h"

// A 640 x 480 engine on the headless display, installed as theEngine for the test's life.
struct TextTestEngine {
    struct NoKeyboard : KeyboardDevice {
        bool read(uint8_t*) override { return false; }
    };
    NoKeyboard keyboard;
    HeadlessDisplay display{640, 480};
    Engine engine{&display, &keyboard, nullptr, 640, 480, 16};

    TextTestEngine() { theEngine = &engine; }
    ~TextTestEngine() {
        if (theEngine == &engine) theEngine = nullptr;
    }
};

// The characters of a text chain from its root, following the only child of each.
inline std::vector<Actor*> chainOf(Actor* root) {
    std::vector<Actor*> chain;
    for (Actor* a = root; a != nullptr; a = a->childCount() > 0 ? a->firstChild() : nullptr)
        chain.push_back(a);
    return chain;
}

inline std::vector<int> cellsOf(Actor* root) {
    std::vector<int> cells;
    for (Actor* a : chainOf(root)) cells.push_back(a->currentFrame()->cell());
    return cells;
}
