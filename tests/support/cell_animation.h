#pragma once
#include <memory>
#include <vector>

#include "engine/animation.h"
#include "engine/sprite_frame.h"

class Engine;

// An animation over cells of one sheet that owns its frames, for tests that need an actor
// to show or step through something. Without durations every frame lasts 1000 updates;
// without skips the last frame loops back to the first.
struct CellLook {
    bool mirrorX = false;
    int hotX = 0, hotY = 0;
};

struct CellAnimation {
    CellAnimation(Engine* engine, int sheet, const std::vector<int>& cells, CellLook look = {},
                  const std::vector<int>& durations = {}, const std::vector<int>& skips = {}) {
        const int n = static_cast<int>(cells.size());
        auto** frames = new SpriteFrame*[n];
        auto* d = new int[n];
        auto* s = new int[n];
        for (int i = 0; i < n; ++i) {
            owned.push_back(std::make_unique<SpriteFrame>(sheet, look.mirrorX, false, look.hotX,
                                                          look.hotY, cells[i], engine));
            frames[i] = owned.back().get();
            d[i] = durations.empty() ? 1000 : durations[i];
            s[i] = !skips.empty() ? skips[i] : i == n - 1 ? -n : 0;
        }
        animation = std::make_unique<Animation>(frames, n, d, s);
    }
    Animation* get() const { return animation.get(); }
    SpriteFrame* frame(int i) const { return owned[i].get(); }

    std::vector<std::unique_ptr<SpriteFrame>> owned;
    std::unique_ptr<Animation> animation;
};
