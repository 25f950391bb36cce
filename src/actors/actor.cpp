#include "actors/actor.h"

#include <algorithm>

#include "engine/animation.h"
#include "engine/engine.h"

bool Actor::actorOrderChanged = false;

Actor::Actor(Animation* animation, int x, int y, double vx, double vy)
    : animation_(animation), vx_(vx), vy_(vy), x_(x), y_(y), exactX_(x), exactY_(y) {}

Actor::~Actor() = default;

void Actor::setPosition(int x, int y) {
    x_ = x;
    y_ = y;
    exactX_ = x;
    exactY_ = y;
    for (Actor* child : children_) child->setPosition(x + child->offsetX_, y + child->offsetY_);
}

void Actor::stopMotion() {
    vx_ = 0.0;
    vy_ = 0.0;
    ax_ = 0.0;
    ay_ = 0.0;
}

void Actor::setLeftBound(int x) {
    leftBound_ = x;
    for (Actor* child : children_) child->setLeftBound(x + child->offsetX_);
}

void Actor::setRightBound(int x) {
    rightBound_ = x;
    for (Actor* child : children_) child->setRightBound(x + child->offsetX_);
}

void Actor::setTopBound(int y) {
    topBound_ = y;
    for (Actor* child : children_) child->setTopBound(y + child->offsetY_);
}

void Actor::setBottomBound(int y) {
    bottomBound_ = y;
    for (Actor* child : children_) child->setBottomBound(y + child->offsetY_);
}

void Actor::setBoundsActive(bool on) {
    boundsActive_ = on;
    for (Actor* child : children_) child->setBoundsActive(on);
}

void Actor::showTree() {
    visible_ = true;
    for (Actor* child : children_) child->showTree();
}

void Actor::hideTree() {
    visible_ = false;
    for (Actor* child : children_) child->hideTree();
}

void Actor::setAnimation(Animation* animation) {
    animation_ = animation;
    restartAnimation();
}

// Deliberately keeps frameTicks: an actor restarted after standing on a frame for a while
// leaves frame 0 at its next update. The game's animation timings have always behaved so.
void Actor::restartAnimation() {
    frameIndex_ = 0;
    animating_ = true;
}

SpriteFrame* Actor::currentFrame() const {
    return animation_ != nullptr ? animation_->frame(frameIndex_) : nullptr;
}

void Actor::setDepth(int d) {
    depth_ = d;
    actorOrderChanged = true;
}

int Actor::attachTo(Actor* parent, int offX, int offY) {
    if (parent_ != nullptr || parent == nullptr) return 1;
    offsetX_ = offX;
    offsetY_ = offY;
    parent_ = parent;
    parent->children_.push_back(this);
    return 0;
}

void Actor::attachToKeepingOffset(Actor* parent) {
    if (parent == nullptr) return;
    attachTo(parent, x() - parent->x(), y() - parent->y());
}

void Actor::detach() {
    if (parent_ == nullptr) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) siblings.erase(it);
    parent_ = nullptr;
}

void Actor::addTreeTo(Engine* engine) {
    engine->addActor(this);
    for (Actor* child : children_) child->addTreeTo(engine);
}

void Actor::removeTreeFrom(Engine* engine) {
    engine->removeActor(this);
    for (Actor* child : children_) child->removeTreeFrom(engine);
}

void Actor::update() {
    if (parent_ != nullptr) {
        exactX_ = parent_->exactX_ + offsetX_;
        exactY_ = parent_->exactY_ + offsetY_;
    } else {
        // The position moves with the velocity of the previous frame.
        exactX_ += vx_;
        exactY_ += vy_;
        vx_ += ax_;
        vy_ += ay_;
        if (vx_ < minVx_) vx_ = minVx_;
        if (vx_ > maxVx_) vx_ = maxVx_;
        if (vy_ < minVy_) vy_ = minVy_;
        if (vy_ > maxVy_) vy_ = maxVy_;
    }
    x_ = static_cast<int32_t>(exactX_);
    y_ = static_cast<int32_t>(exactY_);

    if (boundsActive_) {
        // A bounce only turns the velocity round and leaves the actor where it is, possibly
        // outside for a frame or more; the reversed velocity brings it back.
        if (exactX_ < leftBound_) {
            if (bounce_) {
                vx_ = -vx_;
            } else {
                exactX_ = leftBound_;
                x_ = leftBound_;
            }
        }
        if (exactX_ > rightBound_) {
            if (bounce_) {
                vx_ = -vx_;
            } else {
                exactX_ = rightBound_;
                x_ = rightBound_;
            }
        }
        if (exactY_ < topBound_) {
            if (bounce_) {
                vy_ = -vy_;
            } else {
                exactY_ = topBound_;
                y_ = topBound_;
            }
        }
        if (exactY_ > bottomBound_) {
            if (bounce_) {
                vy_ = -vy_;
            } else {
                exactY_ = bottomBound_;
                y_ = bottomBound_;
            }
        }
    }

    for (Actor* child : children_) child->update();

    if (animation_ != nullptr && animation_->frameCount() > 0) {
        if (frameTicks_ >= animation_->duration(frameIndex_) && animating_) {
            frameIndex_ += animation_->skip(frameIndex_) + 1;
            if (frameIndex_ > animation_->frameCount() - 1) frameIndex_ = animation_->frameCount() - 1;
            frameTicks_ = 0;
        }
        ++frameTicks_;
    }

    if (lifetime_ > 0) {
        --lifetime_;
        if (lifetime_ == 0) {
            stopMotion();
            hide();
        }
    }
}
