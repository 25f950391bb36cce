#include "actors/actor.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/cell_animation.h"

namespace {

// Frames without pictures are enough to watch an animation step.
CellAnimation blank(const std::vector<int>& durations, const std::vector<int>& skips) {
    return CellAnimation(nullptr, 0, std::vector<int>(durations.size(), -1), {}, durations, skips);
}

std::vector<int> frameIndicesOver(Actor& a, int updates) {
    std::vector<int> seen;
    for (int i = 0; i < updates; ++i, seen.push_back(a.frameIndex())) a.update();
    return seen;
}

}  // namespace

TEST(ActorMotion, SubPixelSpeedsAccumulateAndTruncateTowardZero) {
    Actor a(nullptr, 0, 0, 1.5, 0.0);
    std::vector<int> xs;
    for (int i = 0; i < 4; ++i, xs.push_back(a.x())) a.update();
    EXPECT_EQ(xs, (std::vector<int>{1, 3, 4, 6}));
    EXPECT_DOUBLE_EQ(a.exactX(), 6.0);

    Actor b(nullptr, 0, 0, -0.5, -0.75);
    b.update();
    EXPECT_EQ((std::vector<int>{b.x(), b.y()}), (std::vector<int>{0, 0}));
    EXPECT_DOUBLE_EQ(b.exactX(), -0.5);
    b.update();
    EXPECT_EQ((std::vector<int>{b.x(), b.y()}), (std::vector<int>{-1, -1}));
}

TEST(ActorMotion, AccelerationActsFromTheNextUpdateOnUpToMaxVelocity) {
    Actor a(nullptr, 10, 20, 0.0, 0.0);
    a.setAccelerationX(1.0);
    a.setAccelerationY(-2.0);
    a.update();
    EXPECT_EQ((std::vector<int>{a.x(), a.y()}), (std::vector<int>{10, 20}));
    EXPECT_DOUBLE_EQ(a.velocityY(), -2.0);
    a.update();
    EXPECT_EQ((std::vector<int>{a.x(), a.y()}), (std::vector<int>{11, 18}));

    Actor f(nullptr, 0, 0, 0.0, 0.0);
    f.setAccelerationY(1.0);
    f.setMaxVelocityY(2.5);
    for (int i = 0; i < 5; ++i) f.update();
    EXPECT_DOUBLE_EQ(f.velocityY(), 2.5);
    EXPECT_DOUBLE_EQ(f.exactY(), 0 + 1 + 2 + 2.5 + 2.5);
    f.stopMotion();
    f.update();
    EXPECT_DOUBLE_EQ(f.exactY(), 8.0);
}

TEST(ActorBounds, AnActorLeavingItsBoundsIsClampedOrTurnedRound) {
    struct Case {
        const char* side;
        double vx, vy, clampedX, clampedY;
    } cases[] = {{"left", -3, 0, 0, 50},
                 {"right", 3, 0, 100, 50},
                 {"top", 0, -3, 0, 10},
                 {"bottom", 0, 3, 0, 60}};
    for (const Case& c : cases) {
        for (int mode : {0, 1, 2}) {  // clamped, bouncing, bounds inactive
            int startX = c.vx > 0 ? 100 : 0, startY = c.vy < 0 ? 10 : (c.vy > 0 ? 60 : 50);
            Actor a(nullptr, startX, startY, c.vx, c.vy);
            a.setLeftBound(0);
            a.setRightBound(100);
            a.setTopBound(10);
            a.setBottomBound(60);
            a.setBoundsActive(mode != 2);
            if (mode == 1) a.enableBounce();
            a.update();
            // Outside for this update unless clamped; bouncing turns only the velocity.
            EXPECT_DOUBLE_EQ(a.exactX(), mode == 0 ? c.clampedX : startX + c.vx) << c.side << mode;
            EXPECT_DOUBLE_EQ(a.exactY(), mode == 0 ? c.clampedY : startY + c.vy) << c.side << mode;
            EXPECT_DOUBLE_EQ(a.velocityX(), mode == 1 ? -c.vx : c.vx) << c.side << mode;
            EXPECT_DOUBLE_EQ(a.velocityY(), mode == 1 ? -c.vy : c.vy) << c.side << mode;
            if (mode != 1) continue;
            a.update();
            EXPECT_DOUBLE_EQ(a.exactX(), startX) << c.side;
            EXPECT_DOUBLE_EQ(a.exactY(), startY) << c.side;
        }
    }
}

TEST(ActorAnimation, DurationsAndSkipsDecideTheFrameShown) {
    struct Case {
        const char* what;
        std::vector<int> durations, skips;
        std::vector<int> expected;  // frame index after each update
    } cases[] = {
        {"loop of two", {2, 2}, {0, -2}, {0, 0, 1, 1, 0, 0, 1}},
        {"duration 0 lasts one update", {0, 0, 0}, {0, 0, 0}, {1, 2, 2, 2}},
        {"skip -1 holds", {1, 1}, {-1, 0}, {0, 0, 0, 0}},
        {"running past the end holds the last frame", {1, 1, 1}, {0, 5, 0}, {0, 1, 2, 2, 2}},
        {"a skip jumps over frames", {1, 1, 1, 1}, {1, 0, 0, -4}, {0, 2, 3, 0, 2}},
    };
    for (const Case& c : cases) {
        CellAnimation anim = blank(c.durations, c.skips);
        Actor a(anim.get(), 0, 0, 0, 0);
        a.restartAnimation();
        EXPECT_EQ(frameIndicesOver(a, static_cast<int>(c.expected.size())), c.expected) << c.what;
    }
}

TEST(ActorAnimation, StoppedAnimationsHoldTheirFrameAndRestartKeepsTheTickCount) {
    CellAnimation anim = blank({2, 2, 2}, {0, 0, -3});
    Actor a(anim.get(), 0, 0, 0, 0);
    a.restartAnimation();
    ASSERT_EQ(frameIndicesOver(a, 3).back(), 1);
    a.stopAnimation();
    EXPECT_EQ(frameIndicesOver(a, 3), (std::vector<int>{1, 1, 1}));
    // Four ticks stand on frame 1 by now; frame 0 lasts 2, so the restart moves on at once.
    a.restartAnimation();
    EXPECT_EQ(a.frameIndex(), 0);
    EXPECT_EQ(frameIndicesOver(a, 3), (std::vector<int>{1, 1, 2}));

    CellAnimation other = blank({5}, {-1});
    a.setAnimation(other.get());
    EXPECT_EQ(a.frameIndex(), 0);
    EXPECT_TRUE(a.isAnimating());
}

TEST(ActorLifetime, ExpiringStopsAndHidesOnlyTheActor) {
    clearWorld();  // actors in a tree refer to each other inside the world
    Actor& parent = *new Actor(nullptr, 0, 0, 2.0, 1.0);
    Actor& child = *new Actor(nullptr, 0, 0, 0, 0);
    child.attachTo(&parent, 5, 5);
    parent.showTree();
    parent.setLifetime(2);
    parent.update();
    EXPECT_TRUE(parent.isVisible());
    parent.update();
    EXPECT_FALSE(parent.isVisible());
    EXPECT_TRUE(child.isVisible());
    parent.update();
    EXPECT_EQ(parent.lifetime(), 0);
    EXPECT_EQ(parent.x(), 4);

    for (int endless : {0, -1}) {
        Actor& a = *new Actor(nullptr, 0, 0, 1.0, 0);
        a.show();
        a.setLifetime(endless);
        for (int i = 0; i < 5; ++i) a.update();
        EXPECT_TRUE(a.isVisible());
        EXPECT_EQ(a.x(), 5);
    }
}

TEST(ActorTree, ChildrenRideAlongAtTheirOffsetsAndShareBoundsAndVisibility) {
    clearWorld();  // actors in a tree refer to each other inside the world
    Actor& parent = *new Actor(nullptr, 100, 200, 2.0, -1.0);
    Actor& child = *new Actor(nullptr, 0, 0, 50.0, 50.0);  // its own velocity is ignored while attached
    Actor& grandchild = *new Actor(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(child.attachTo(&parent, 10, -5), 0);
    ASSERT_EQ(grandchild.attachTo(&child, 1, 1), 0);
    EXPECT_EQ(child.x(), 0);  // attaching alone does not move it
    parent.update();
    EXPECT_EQ((std::vector<int>{parent.x(), child.x(), child.y(), grandchild.x(), grandchild.y()}),
              (std::vector<int>{102, 112, 194, 113, 195}));
    parent.setPosition(0, 0);
    EXPECT_EQ((std::vector<int>{child.x(), grandchild.y()}), (std::vector<int>{10, -4}));

    // Bounds and visibility reach every descendant, bounds shifted by the offsets.
    parent.setLeftBound(100);
    parent.setRightBound(200);
    parent.setTopBound(10);
    parent.setBottomBound(50);
    parent.setBoundsActive(true);
    EXPECT_EQ(
        (std::vector<int>{child.leftBound(), child.rightBound(), child.topBound(),
                          child.bottomBound(), grandchild.leftBound(), grandchild.bottomBound()}),
        (std::vector<int>{110, 210, 5, 45, 111, 46}));
    EXPECT_TRUE(grandchild.boundsActive());
    parent.showTree();
    EXPECT_TRUE(grandchild.isVisible());
    child.hideTree();
    child.show();
    EXPECT_TRUE(parent.isVisible() && !grandchild.isVisible());

    Actor& free = *new Actor(nullptr, 30, 40, 0, 0);
    free.attachToKeepingOffset(&parent);
    EXPECT_EQ((std::vector<int>{free.offsetX(), free.offsetY()}), (std::vector<int>{30, 40}));
}

TEST(ActorTree, AnActorHasOneParentAndDetachingTheMiddleChildKeepsTheOthersInOrder) {
    clearWorld();  // actors in a tree refer to each other inside the world
    Actor& first = *new Actor(nullptr, 0, 0, 0, 0);
    Actor& second = *new Actor(nullptr, 0, 0, 0, 0);
    Actor& a = *new Actor(nullptr, 0, 0, 0, 0);
    Actor& b = *new Actor(nullptr, 0, 0, 0, 0);
    Actor& c = *new Actor(nullptr, 0, 0, 0, 0);
    EXPECT_EQ(a.attachTo(&first, 1, 2), 0);
    EXPECT_EQ(a.attachTo(&second, 3, 4), 1);
    EXPECT_EQ((std::vector<int>{first.childCount(), second.childCount(), a.offsetX()}),
              (std::vector<int>{1, 0, 1}));
    b.attachTo(&first, 0, 0);
    c.attachTo(&first, 0, 0);
    b.detach();
    ASSERT_EQ(first.childCount(), 2);
    EXPECT_EQ(first.firstChild(), &a);
    a.detach();
    a.detach();  // harmless
    EXPECT_FALSE(a.isAttached());
    EXPECT_EQ(first.firstChild(), &c);
    EXPECT_EQ(a.attachTo(&second, 3, 4), 0);
    EXPECT_EQ(second.firstChild(), &a);
}
