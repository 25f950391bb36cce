#pragma once
#include <cstdint>
#include <deque>

class Animation;
class Engine;
class SpriteFrame;

// Every moving or animated thing on screen, every character of text included: an exact and
// a whole-pixel position, velocity, acceleration, optional bounds, an animation, a lifetime,
// a draw depth and children that ride along at fixed offsets.
class Actor {
public:
    Actor(Animation* animation, int x, int y, double vx, double vy);
    virtual ~Actor();
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

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
    Animation* animation() const { return animation_; }
    void restartAnimation();
    void stopAnimation() { animating_ = false; }
    bool isAnimating() const { return animating_; }
    int frameIndex() const { return frameIndex_; }
    SpriteFrame* currentFrame() const;
    void setLifetime(int n) { lifetime_ = n; }
    int lifetime() const { return lifetime_; }
    void setDepth(int d);
    int depth() const { return depth_; }
    static bool orderChanged() { return actorOrderChanged; }
    static void clearOrderChanged() { actorOrderChanged = false; }

    // Tree and engine membership
    int attachTo(Actor* parent, int offX, int offY);
    void attachToKeepingOffset(Actor* parent);
    void detach();
    bool isAttached() const { return parent_ != nullptr; }
    Actor* parent() const { return parent_; }
    Actor* firstChild() const { return children_.front(); }
    int childCount() const { return static_cast<int>(children_.size()); }
    int offsetX() const { return offsetX_; }
    int offsetY() const { return offsetY_; }
    void setEngine(Engine* engine) { engine_ = engine; }
    Engine* engine() const { return engine_; }
    void addTreeTo(Engine* engine);
    void removeTreeFrom(Engine* engine);

    // One frame of simulation: motion, bounds, children, animation, lifetime.
    void update();
    // Pixel-exact overlap of the two actors' current frames (collision.cpp).
    bool collidesWith(const Actor& other) const;

private:
    static bool actorOrderChanged;

    Engine* engine_ = nullptr;
    Animation* animation_;
    bool visible_ = false;
    std::deque<Actor*> children_;
    double vx_;
    double vy_;
    double ay_ = 0.0;
    double ax_ = 0.0;
    int32_t frameTicks_ = 0;
    int32_t frameIndex_ = 0;
    int32_t lifetime_ = -1;
    double maxVy_ = 999999.0;
    double minVy_ = -999999.0;
    double maxVx_ = 999999.0;
    bool animating_ = false;
    int32_t depth_ = 0;
    int32_t x_;
    int32_t y_;
    double exactX_;
    double exactY_;
    double minVx_ = -999999.0;
    bool bounce_ = false;
    int32_t leftBound_ = -999999;
    int32_t topBound_ = -999999;
    int32_t rightBound_ = 999999;
    int32_t bottomBound_ = 999999;
    bool boundsActive_ = false;
    Actor* parent_ = nullptr;
    int32_t offsetY_ = 0;
    int32_t offsetX_ = 0;
};
