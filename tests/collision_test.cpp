#include <gtest/gtest.h>

#include "actors/actor.h"
#include "support/cell_animation.h"
#include "support/test_sheets.h"

namespace {

enum Cell { solid = 0, cornerBall = 1, topRightDot = 2, blankCell = -1 };

class Collisions : public testing::Test {
protected:
    void SetUp() override {
        std::string dir = makeTempDir("collide");
        // 8 x 8 cells: solid; a 2 x 2 ball in the top-left corner; a single top-right pixel.
        sheet = t.addSheet(dir, "c.raw", 24, 8, 8, 8, [](int x, int y) {
            int cx = x % 8;
            bool lit = x < 8 || (x < 16 && cx < 2 && y < 2) || (x >= 16 && cx == 7 && y == 0);
            return lit ? Rgb{200, 200, 200} : Rgb{};
        });
    }
    TestEngine t;
    int sheet = -1;
};

}  // namespace

TEST_F(Collisions, OnlyCommonOpaquePixelsCount) {
    struct Side {
        int cell, x, y;
        bool mirrorX = false;
        int hotX = 0, hotY = 0;
    };
    struct Case {
        const char* what;
        Side a, b;
        bool expected;
    } cases[] = {
        {"edge to edge", {solid, 0, 0}, {solid, 8, 0}, false},
        {"edge to edge below", {solid, 0, 0}, {solid, 0, 8}, false},
        {"one column of overlap", {solid, 0, 0}, {solid, 7, 3}, true},
        {"ball in the empty corner", {cornerBall, 0, 0}, {solid, 2, 2}, false},
        {"ball touching by one pixel", {cornerBall, 0, 0}, {solid, 1, 1}, true},
        {"mirrored dot meets dot", {topRightDot, 0, 0}, {topRightDot, 7, 0, true}, true},
        {"mirrored dot one pixel off", {topRightDot, 0, 0}, {topRightDot, 6, 0, true}, false},
        {"unmirrored dots side by side", {topRightDot, 0, 0}, {topRightDot, 7, 0}, false},
        {"hot spot moves the picture away", {solid, 10, 10, false, 4, 4}, {solid, 14, 10}, false},
        {"hot spot moves the picture onto it", {solid, 10, 10, false, 4, 4}, {solid, 13, 13}, true},
        {"blank frame", {blankCell, 0, 0}, {solid, 0, 0}, false},
        {"far apart", {solid, -100, 0}, {solid, 600, 0}, false},
    };
    for (const Case& c : cases) {
        CellAnimation fa(&t.engine, sheet, {c.a.cell}, {c.a.mirrorX, c.a.hotX, c.a.hotY});
        CellAnimation fb(&t.engine, sheet, {c.b.cell}, {c.b.mirrorX, c.b.hotX, c.b.hotY});
        Actor a(fa.get(), c.a.x, c.a.y, 0, 0);
        Actor b(fb.get(), c.b.x, c.b.y, 0, 0);
        EXPECT_EQ(a.collidesWith(b), c.expected) << c.what;
        EXPECT_EQ(b.collidesWith(a), c.expected) << c.what << " (operands swapped)";
    }
}

TEST_F(Collisions, TheMaskBuiltFirstDecidesEvenAfterTheCellChanges) {
    CellAnimation ball(&t.engine, sheet, {cornerBall}), wall(&t.engine, sheet, {solid});
    ball.frame(0)->setCell(solid);
    Actor a(ball.get(), 0, 0, 0, 0), w(wall.get(), 4, 4, 0, 0);
    EXPECT_FALSE(a.collidesWith(w));
    w.setPosition(1, 1);
    EXPECT_TRUE(a.collidesWith(w));
}
