#include "actors/actor.h"

#include <cstdio>
#include <cstdlib>

#include "actors/stage.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"

Actor::Actor(Animation* animation, int x, int y, double vx, double vy)
    : vx_(vx),
      vy_(vy),
      exactX_(x),
      exactY_(y),
      x_(x),
      y_(y),
      animation_(static_cast<int16_t>(animation != nullptr ? animation->id() : -1)) {}

void* Actor::operator new(size_t) {
    if (void* slot = theActorPool.allocate()) return slot;
    // Every object the game makes is reused or freed; running out means a leak, and a game
    // that cannot place its actors cannot go on.
    std::fprintf(stderr, "parapet: internal error: more than %d actors at once\n", actorSlots);
    std::abort();
}

void Actor::operator delete(void* object) { theActorPool.release(object); }

Animation* Actor::animation() const { return animationById(animation_); }

int Actor::childCount() const {
    int n = 0;
    for (Actor* c = firstChild_; c != nullptr; c = c->nextSibling_) ++n;
    return n;
}

void Actor::setGlyph(int sheet, int cell) {
    glyphSheet_ = static_cast<int16_t>(sheet);
    glyphCell_ = static_cast<int16_t>(cell);
}

bool Actor::drawnCell(DrawnCell& out) const {
    if (isGlyph()) {
        out = DrawnCell{};
        out.sheet = glyphSheet_;
        out.cell = glyphCell_;
        return glyphCell_ != -1;
    }
    const SpriteFrame* f = currentFrame();
    if (f == nullptr || f->cell() == -1) return false;
    out.shape = f;
    out.sheet = f->sheet();
    out.cell = f->cell();
    out.hotX = f->hotX();
    out.hotY = f->hotY();
    out.mirrorX = f->mirrorX();
    out.mirrorY = f->mirrorY();
    return true;
}

void Actor::setPosition(int x, int y) {
    x_ = x;
    y_ = y;
    exactX_ = x;
    exactY_ = y;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setPosition(x + child->offsetX_, y + child->offsetY_);
}

void Actor::stopMotion() {
    vx_ = 0.0;
    vy_ = 0.0;
    ax_ = 0.0;
    ay_ = 0.0;
}

void Actor::setLeftBound(int x) {
    leftBound_ = x;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setLeftBound(x + child->offsetX_);
}

void Actor::setRightBound(int x) {
    rightBound_ = x;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setRightBound(x + child->offsetX_);
}

void Actor::setTopBound(int y) {
    topBound_ = y;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setTopBound(y + child->offsetY_);
}

void Actor::setBottomBound(int y) {
    bottomBound_ = y;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setBottomBound(y + child->offsetY_);
}

void Actor::setBoundsActive(bool on) {
    boundsActive_ = on;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->setBoundsActive(on);
}

void Actor::showTree() {
    visible_ = true;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->showTree();
}

void Actor::hideTree() {
    visible_ = false;
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->hideTree();
}

void Actor::setAnimation(Animation* animation) {
    animation_ = static_cast<int16_t>(animation != nullptr ? animation->id() : -1);
    restartAnimation();
}

// Deliberately keeps frameTicks: an actor restarted after standing on a frame for a while
// leaves frame 0 at its next update. The game's animation timings have always behaved so.
void Actor::restartAnimation() {
    frameIndex_ = 0;
    animating_ = true;
}

const SpriteFrame* Actor::currentFrame() const {
    if (isGlyph()) return nullptr;
    Animation* animation = this->animation();
    return animation != nullptr ? animation->frame(frameIndex_) : nullptr;
}

void Actor::setDepth(int d) {
    depth_ = d;
    theStage.orderChanged = true;
}

int Actor::attachTo(Actor* parent, int offX, int offY) {
    if (parent_ != nullptr || parent == nullptr) return 1;
    offsetX_ = offX;
    offsetY_ = offY;
    parent_ = parent;
    nextSibling_ = nullptr;
    if (parent->firstChild_ == nullptr) {
        parent->firstChild_ = this;
    } else {
        Actor* last = parent->firstChild_;
        while (last->nextSibling_ != nullptr) last = last->nextSibling_;
        last->nextSibling_ = this;
    }
    return 0;
}

void Actor::attachToKeepingOffset(Actor* parent) {
    if (parent == nullptr) return;
    attachTo(parent, x() - parent->x(), y() - parent->y());
}

void Actor::detach() {
    if (parent_ == nullptr) return;
    Actor* parent = parent_;
    if (parent->firstChild_ == this) {
        parent->firstChild_ = nextSibling_;
    } else {
        for (Actor* c = parent->firstChild_; c != nullptr; c = c->nextSibling_) {
            if (c->nextSibling_ != this) continue;
            c->nextSibling_ = nextSibling_;
            break;
        }
    }
    nextSibling_ = nullptr;
    parent_ = nullptr;
}

void Actor::addTreeToStage() {
    theStage.addActor(this);
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->addTreeToStage();
}

void Actor::removeTreeFromStage() {
    theStage.removeActor(this);
    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->removeTreeFromStage();
}

void Actor::update() {
    if (parent_ != nullptr) {
        const Actor* parent = parent_;
        exactX_ = parent->exactX_ + offsetX_;
        exactY_ = parent->exactY_ + offsetY_;
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

    for (Actor* child = firstChild_; child != nullptr; child = child->nextSibling_) child->update();

    const Animation* animation = this->animation();
    if (animation != nullptr && animation->frameCount() > 0) {
        if (frameTicks_ >= animation->duration(frameIndex_) && animating_) {
            frameIndex_ += animation->skip(frameIndex_) + 1;
            if (frameIndex_ > animation->frameCount() - 1) frameIndex_ = animation->frameCount() - 1;
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
