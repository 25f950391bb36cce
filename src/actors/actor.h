#pragma once
#include <cstddef>
#include <cstdint>

#include "actors/pool.h"

class Actor;
class Animation;
class Engine;
class SpriteFrame;

int poolSlotOf(const Actor* actor);
Actor* poolObjectAt(int slot, Actor* tag);
using ActorRef = PoolRef<Actor>;

// What an actor shows this frame: a cell of a sheet, where its hot spot goes, and mirrored
// how. `shape` is the frame with its opacity mask (null for a character of text).
struct DrawnCell {
    const SpriteFrame* shape = nullptr;
    int sheet = -1;
    int cell = -1;
    int hotX = 0;
    int hotY = 0;
    bool mirrorX = false;
    bool mirrorY = false;
};

// Every moving or animated thing on screen, every character of text included: an exact and
// a whole-pixel position, velocity, acceleration, optional bounds, an animation, a lifetime,
// a draw depth and children that ride along at fixed offsets.
//
// Actors live in the world in play (`new` takes a slot of its actor pool, `delete` frees it)
// and are plain bytes, so a world can be copied, compared and hashed as a whole.
class Actor {
public:
    Actor(Animation* animation, int x, int y, double vx, double vy);

    static void* operator new(size_t size);
    static void operator delete(void* object);

    // Motion and position
    void setPosition(int x, int y);
    void setX(int x) { setPosition(x, y_); }
    int x() const { return x_; }
    int y() const { return y_; }
    double exactX() const { return exactX_; }
    double exactY() const { return exactY_; }
    void setVelocityX(double v) { vx_ = v; }
    void setVelocityY(double v) { vy_ = v; }
    double velocityX() const { return vx_; }
    double velocityY() const { return vy_; }
    void setAccelerationX(double a) { ax_ = a; }
    void setAccelerationY(double a) { ay_ = a; }
    double accelerationX() const { return ax_; }
    double accelerationY() const { return ay_; }
    void setMaxVelocityY(double v) { maxVy_ = v; }
    void stopMotion();

    // Bounds (setters apply to every descendant, shifted by its offset)
    void setLeftBound(int x);
    void setRightBound(int x);
    void setTopBound(int y);
    void setBottomBound(int y);
    int leftBound() const { return leftBound_; }
    int topBound() const { return topBound_; }
    int bottomBound() const { return bottomBound_; }
    int rightBound() const { return rightBound_; }
    void setBoundsActive(bool on);
    bool boundsActive() const { return boundsActive_; }
    void enableBounce() { bounce_ = true; }

    // Visibility, animation, lifetime, depth
    void show() { visible_ = true; }
    void hide() { visible_ = false; }
    void showTree();
    void hideTree();
    bool isVisible() const { return visible_; }
    void setAnimation(Animation* animation);
    Animation* animation() const;
    void restartAnimation();
    void stopAnimation() { animating_ = false; }
    bool isAnimating() const { return animating_; }
    int frameIndex() const { return frameIndex_; }
    // The frame of the animation shown now (null for a character of text).
    const SpriteFrame* currentFrame() const;
    // A character of text shows one cell of a font's sheet, changed in place as the text is
    // rewritten (-1: nothing).
    void setGlyph(int sheet, int cell);
    void setGlyphCell(int cell) { glyphCell_ = static_cast<int16_t>(cell); }
    int glyphCell() const { return glyphCell_; }
    bool isGlyph() const { return glyphSheet_ >= 0; }
    // Sheet, cell, hot spot and mirroring of what is drawn now; false when nothing is.
    bool drawnCell(DrawnCell& out) const;
    void setLifetime(int n) { lifetime_ = n; }
    int lifetime() const { return lifetime_; }
    void setDepth(int d);
    int depth() const { return depth_; }

    // Tree and engine membership
    int attachTo(Actor* parent, int offX, int offY);
    void attachToKeepingOffset(Actor* parent);
    void detach();
    bool isAttached() const { return parent_ != nullptr; }
    Actor* parent() const { return parent_; }
    Actor* firstChild() const { return firstChild_; }
    Actor* nextSibling() const { return nextSibling_; }
    int childCount() const;
    int offsetX() const { return offsetX_; }
    int offsetY() const { return offsetY_; }
    void addTreeToStage();
    void removeTreeFromStage();

    // One frame of simulation: motion, bounds, children, animation, lifetime.
    void update();
    // Pixel-exact overlap of the two actors' current frames (collision.cpp).
    bool collidesWith(const Actor& other) const;

private:
    // Doubles first, then the 32-bit fields, then the small ones, so the object has no
    // padding whose bytes a copy could leave undefined.
    double vx_;
    double vy_;
    double ay_ = 0.0;
    double ax_ = 0.0;
    double maxVy_ = 999999.0;
    double minVy_ = -999999.0;
    double maxVx_ = 999999.0;
    double minVx_ = -999999.0;
    double exactX_;
    double exactY_;
    int32_t frameTicks_ = 0;
    int32_t frameIndex_ = 0;
    int32_t lifetime_ = -1;
    int32_t depth_ = 0;
    int32_t x_;
    int32_t y_;
    int32_t leftBound_ = -999999;
    int32_t topBound_ = -999999;
    int32_t rightBound_ = 999999;
    int32_t bottomBound_ = 999999;
    int32_t offsetY_ = 0;
    int32_t offsetX_ = 0;
    int16_t animation_ = -1;  // id of a shared animation (animation_registry.h)
    int16_t glyphSheet_ = -1;
    int16_t glyphCell_ = -1;
    ActorRef parent_;
    ActorRef firstChild_;
    ActorRef nextSibling_;
    bool visible_ = false;
    bool animating_ = false;
    bool bounce_ = false;
    bool boundsActive_ = false;
};
static_assert(sizeof(Actor) == 10 * 8 + 12 * 4 + 6 * 2 + 4, "an actor has no padding");

// The actors of the world in play.
constexpr int actorSlots = 768;
using ActorPool = Pool<Actor, actorSlots>;
extern ActorPool& theActorPool;

inline int poolSlotOf(const Actor* actor) { return theActorPool.slotOf(actor); }
inline Actor* poolObjectAt(int slot, Actor*) { return theActorPool.at(slot); }
