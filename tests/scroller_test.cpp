#include "actors/scroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actors/font.h"
#include "actors/stage.h"
#include "support/test_sheets.h"
#include "support/text_chain.h"
#include "world/world.h"

namespace {

// The scroller font's geometry (12 x 16 cells) on a 640-pixel screen, run through the
// stage's part of the world's step the way the menu runs it.
class ScrollerTest : public ::testing::Test {
protected:
    TestEngine te;
    Font font{"g\\no-such-font.raw", &te.engine, 640, 32, 24, 12, 16, 0, 52};

    // A new scroller of `text`, shown on the stage as the menu starts one.
    Scroller& started(const char* text, double speed, int y = 450) {
        Scroller& s = *new Scroller(&font, text, y);
        s.setSpeed(speed);
        theStage.addOverlay(&s);
        s.rewind();
        s.show();
        return s;
    }
    Actor* rightmost(Scroller& s) { return chainOf(s.label()->actor()).back(); }
    int lastCell(Scroller& s) { return rightmost(s)->glyphCell(); }
    // The stage's part of frames, which is where scrollers advance.
    void run(int frames) {
        StepOutput out;
        for (int i = 0; i < frames; ++i) stepStage(FrameInput{}, out);
    }
};

}  // namespace

TEST_F(ScrollerTest, FirstUpdateBuildsAShownRowJustWiderThanTheScreen) {
    Scroller& s = started("HELLO", 3.75);
    EXPECT_EQ(s.label(), nullptr);  // show() before the first update only sets the flag
    EXPECT_EQ(theStage.actorCount, 0);

    s.update();
    ASSERT_NE(s.label(), nullptr);
    auto chain = chainOf(s.label()->actor());
    ASSERT_EQ(chain.size(), 56u);
    EXPECT_EQ(theStage.actorCount, 56);
    Actor* root = chain.front();
    root->setVelocityX(0.0);
    root->update();
    for (int i = 0; i < 56; ++i) {
        EXPECT_EQ(chain[i]->x(), -12 + 12 * i) << i;
        EXPECT_EQ(chain[i]->y(), 450);
        EXPECT_TRUE(chain[i]->isVisible());
    }
    // Even glided a whole cell left, the row still reaches past the right edge.
    EXPECT_GE(chain.back()->x(), 640);
}

TEST_F(ScrollerTest, StepsEveryPeriodAndGlidesInBetween) {
    struct Case {
        double speed;
        int period;
        std::vector<int> steps;
        std::vector<int> rootX;  // after each of the first four frames
    };
    const Case cases[] = {
        // 11.25 pixels of glide, then back by 12
        {3.75, 3, {1, 4, 7, 10}, {-15, -19, -23, -15}},
        // exactly one cell of glide per step: the text moves without a jolt
        {6.0, 2, {1, 3, 5, 7, 9}, {-18, -24, -18, -24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        clearWorld();
        Scroller& s = started("ABCDEFGHIJKLMNOP", c.speed, 80);
        EXPECT_EQ(s.period(), c.period);
        std::vector<int> xs, steps;
        for (int frame = 1; frame <= 10; ++frame) {
            int before = s.textPos();
            run(1);
            if (s.textPos() != before) steps.push_back(frame);
            if (frame <= 4) xs.push_back(s.label()->actor()->x());
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(xs, c.rootX);
    }
}

TEST_F(ScrollerTest, RewindBlanksTheRowAndStepsAtTheNextUpdate) {
    Scroller& s = started("ABCDEF", 3.75);
    run(8);  // steps at 1, 4, 7
    EXPECT_EQ(s.textPos(), 3);
    EXPECT_EQ(lastCell(s), 2);

    s.rewind();
    EXPECT_EQ(s.textPos(), 0);
    for (int cell : cellsOf(s.label()->actor())) EXPECT_EQ(cell, -1);
    run(1);
    EXPECT_EQ(s.textPos(), 1);
    EXPECT_EQ(lastCell(s), 0);
}

TEST_F(ScrollerTest, HiddenScrollerStandsStillAndResumesWhereItStopped) {
    Scroller& s = started("ABCDEF", 6.0);
    run(3);
    s.hide();
    for (Actor* a : chainOf(s.label()->actor())) EXPECT_FALSE(a->isVisible());
    run(6);
    EXPECT_EQ(s.textPos(), 2);
    s.show();
    EXPECT_TRUE(rightmost(s)->isVisible());
    run(1);
    EXPECT_EQ(s.textPos(), 2);  // one tick was still due before the hide
    run(1);
    EXPECT_EQ(lastCell(s), 2);
    EXPECT_EQ(theStage.actorCount, 56);  // the row is built once
}

// The menu rewrites its lines while they run. A text is picked up from the current
// position; a shorter one leaves old characters behind its end, and the line must wrap at
// the new end instead of running on through the leftovers.
TEST_F(ScrollerTest, RewrittenTextIsPickedUpInPlaceAndWrapsAtItsNewEnd) {
    char buffer[16] = "ABCDEFGH";
    Scroller& s = started(buffer, 6.0);
    run(3);  // steps at 1 and 3: A and B are in
    std::strcpy(buffer, "WXYZ");
    run(2);
    EXPECT_EQ(lastCell(s), font.cellFor('Y'));
    std::strcpy(buffer, "Q");  // "Q", then the leftover "YZ" at the position reached
    run(2);
    EXPECT_EQ(lastCell(s), font.cellFor('Q'));
}
