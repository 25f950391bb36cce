#include <algorithm>

#include "actors/actor.h"
#include "engine/sprite_frame.h"

bool Actor::collidesWith(const Actor& other) const {
    const SpriteFrame* fa = currentFrame();
    const SpriteFrame* fb = other.currentFrame();
    // A blank frame has no picture and so nothing to hit with.
    if (fa == nullptr || fb == nullptr || !fa->hasMask() || !fb->hasMask()) return false;

    // The mask was built with the frame's cell size, so that is the size to read it with.
    const int aLeft = x_ - fa->hotX();
    const int aTop = y_ - fa->hotY();
    const int bLeft = other.x_ - fb->hotX();
    const int bTop = other.y_ - fb->hotY();
    const int left = std::max(aLeft, bLeft);
    const int top = std::max(aTop, bTop);
    const int right = std::min(aLeft + fa->cellWidth(), bLeft + fb->cellWidth());
    const int bottom = std::min(aTop + fa->cellHeight(), bTop + fb->cellHeight());
    if (right <= left || bottom <= top) return false;

    for (int sx = left; sx < right; ++sx) {
        for (int sy = top; sy < bottom; ++sy) {
            if (fa->isOpaque(sx - aLeft, sy - aTop) && fb->isOpaque(sx - bLeft, sy - bTop))
                return true;
        }
    }
    return false;
}
