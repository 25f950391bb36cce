#include <gtest/gtest.h>

#include <vector>

#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "actors/stage.h"
#include "engine/frame_picture.h"
#include "support/cell_animation.h"
#include "support/test_sheets.h"
#include "world/world.h"

namespace {

std::vector<int> pixelsAt(Surface* s, std::initializer_list<std::pair<int, int>> points) {
    std::vector<int> out;
    for (auto [x, y] : points) out.push_back(pixelAt(s, x, y));
    return out;
}

const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

// Actors on the stage of an empty world, drawn by a real engine on tiny sheets.
class Rendering : public SheetTest {
protected:
    void SetUp() override {
        // Three solid 8 x 8 cells in red, green and blue, then a cell whose left half is clear.
        colours = t.addSheet(dir, "c.raw", 32, 8, 8, 8, [](int x, int) {
            if (x < 8) return red;
            if (x < 16) return green;
            if (x < 24) return blue;
            return x < 28 ? Rgb{} : red;
        });
        // A 64 x 64 cell whose column c has the pixel value c << 5 | 1, for clipping.
        columns = t.addSheet(dir, "cols.raw", 64, 64, 64, 64, [](int x, int) {
            return Rgb{0, uint8_t(x << 2), 8};
        });
    }
    Surface* front() { return e.frontSurface(); }
    Actor* shown(Animation* animation, int x, int y, double vx = 0) {
        Actor* a = new Actor(animation, x, y, vx, 0);
        theStage.addActor(a);
        a->show();
        return a;
    }
    // The stage's part of a frame, drawn and shown as the game shows it; `logic` stands for
    // the game's logic of the frame.
    template <typename F = void (*)()>
    void runFrame(F logic = [] {}) {
        theBackdrop.beginStep();
        logic();
        StepOutput out;
        out.picture = &picture;
        stepStage(FrameInput{}, out);
        e.showFrame(picture, theBackdrop);
    }
    std::vector<Actor*> listed(std::initializer_list<int> slots) {
        std::vector<Actor*> out;
        for (int slot : slots) out.push_back(theStage.actorAt(slot));
        return out;
    }

    FramePicture picture;
    int colours = -1;
    int columns = -1;
};

}  // namespace

TEST_F(Rendering, TheActorListIgnoresDuplicatesAbsenteesAndOverflow) {
    std::vector<Actor*> actors;
    for (int i = 0; i < 501; ++i) actors.push_back(new Actor(nullptr, 0, 0, 0, 0));
    theStage.addActor(actors[0]);  // twice: the second is ignored
    for (Actor* a : actors) theStage.addActor(a);
    EXPECT_EQ(theStage.actorCount, 500);
    EXPECT_EQ(theStage.actorAt(499), actors[499]);

    Actor* stranger = new Actor(nullptr, 0, 0, 0, 0);
    theStage.removeActor(stranger);
    EXPECT_EQ(theStage.actorCount, 500);
    theStage.removeActor(actors[1]);
    EXPECT_EQ(theStage.actorCount, 499);
    EXPECT_EQ(listed({0, 1, 498, 499}),
              (std::vector<Actor*>{actors[0], actors[2], actors[499], nullptr}));
    theStage.addActor(actors[500]);
    EXPECT_EQ(theStage.actorAt(499), actors[500]);
}

TEST_F(Rendering, EqualDepthsKeepTheirOrderWhenTheListIsSorted) {
    CellAnimation r(&e, colours, {0}), g(&e, colours, {1}), b(&e, colours, {2});
    Actor* first = shown(r.get(), 10, 10);
    Actor* middle = shown(g.get(), 10, 10);
    Actor* last = shown(b.get(), 10, 10);
    first->setDepth(5);
    middle->setDepth(1);
    last->setDepth(5);
    runFrame();
    EXPECT_EQ(listed({0, 1, 2}), (std::vector<Actor*>{middle, first, last}));
    EXPECT_EQ(pixelAt(front(), 10, 10), rgb565(blue));
    EXPECT_FALSE(theStage.orderChanged);

    // Nothing is re-sorted until a depth changes, so newcomers stay in front.
    Actor* late = new Actor(r.get(), 10, 10, 0, 0);
    late->setDepth(0);
    theStage.orderChanged = false;
    theStage.addActor(late);
    late->show();
    runFrame();
    EXPECT_EQ(pixelAt(front(), 10, 10), rgb565(red));
}

TEST_F(Rendering, ShownActorsAreDrawnBeforeTheyMoveAndHiddenOrBlankOnesOnlyMove) {
    CellAnimation solid(&e, colours, {0}), blank(&e, colours, {-1});
    Actor* hidden = new Actor(solid.get(), 10, 10, 3, 0);
    theStage.addActor(hidden);
    Actor* a = shown(solid.get(), 100, 100, 20);
    Actor* empty = shown(blank.get(), 30, 10, 3);
    runFrame();
    EXPECT_EQ(pixelsAt(front(), {{100, 100}, {120, 100}, {10, 10}, {30, 10}}),
              (std::vector<int>{rgb565(red), 0, 0, 0}));
    EXPECT_EQ((std::vector<int>{a->x(), hidden->x(), empty->x()}), (std::vector<int>{120, 13, 33}));
    // The back buffer is the background again, ready for the next frame.
    EXPECT_EQ(pixelAt(e.backBuffer(), 100, 100), 0);
    runFrame();
    EXPECT_EQ(pixelsAt(front(), {{100, 100}, {120, 100}}), (std::vector<int>{0, rgb565(red)}));
}

TEST_F(Rendering, ChildrenAreDrawnByTheWalkButAdvancedOnlyByTheirParents) {
    CellAnimation parentAnim(&e, colours, {0});
    // Frames of duration 0 advance at every update: a second update would show.
    CellAnimation childAnim(&e, colours, {1, 2, 0}, {}, {0, 0, 0});
    Actor* parent = new Actor(parentAnim.get(), 50, 50, 1, 0);
    Actor* child = new Actor(childAnim.get(), 0, 0, 0, 0);
    child->attachTo(parent, 20, 0);
    child->restartAnimation();
    parent->addTreeToStage();
    parent->showTree();
    runFrame();
    EXPECT_EQ((std::vector<int>{child->frameIndex(), child->x()}), (std::vector<int>{1, 71}));
    // It was drawn where it stood before the frame: it had not moved with its parent yet.
    EXPECT_EQ(pixelAt(front(), 0, 0), rgb565(green));
}

TEST_F(Rendering, HotSpotsAndMirrorsPlaceTheCell) {
    // Cell 3: left half clear, right half red.
    CellAnimation plain(&e, colours, {3}, {false, 2, 3}), mirrored(&e, colours, {3}, {true});
    shown(plain.get(), 100, 100);
    shown(mirrored.get(), 200, 100);
    runFrame();
    const int r = rgb565(red);
    EXPECT_EQ(
        pixelsAt(front(), {{101, 97}, {102, 97}, {105, 104}, {106, 97}, {203, 100}, {204, 100}}),
        (std::vector<int>{0, r, r, 0, r, 0}));
}

TEST_F(Rendering, SpritesOverTheEdgeLoseExactlyTheirOutsidePart) {
    Surface* bb = e.backBuffer();
    struct Case {
        int x, y;
        int screenX, screenY;  // a screen pixel to look at
        int column;            // which column of the cell should be there, -1 none
    } cases[] = {
        {-50, 0, 0, 0, 50},   {-50, 0, 13, 63, 63}, {-50, 0, 14, 0, -1}, {600, 0, 639, 0, 39},
        {0, -30, 0, 0, 0},    {5, -30, 5, 33, 0},   {0, 450, 0, 479, 0}, {-64, 0, 0, 0, -1},
        {640, 0, 639, 0, -1}, {0, 480, 0, 479, -1},
    };
    for (const Case& c : cases) {
        bb->fill(0);
        e.drawCell(columns, 0, c.x, c.y, false, false, bb, true);
        uint16_t expected = c.column < 0 ? 0 : static_cast<uint16_t>(c.column << 5 | 1);
        EXPECT_EQ(pixelAt(bb, c.screenX, c.screenY), expected) << "cell at " << c.x << "," << c.y;
    }
    // A narrower clip rectangle cuts the sprite inside the screen.
    e.setClipRect(10, 10, 20, 20);
    bb->fill(0);
    e.drawCell(columns, 0, 0, 0, false, false, bb, true);
    EXPECT_EQ(pixelsAt(bb, {{9, 10}, {10, 10}, {19, 19}, {20, 19}}),
              (std::vector<int>{0, 10 << 5 | 1, 19 << 5 | 1, 0}));
}

// A world copied back from before a stamp shows no blood, as after a network rollback.
TEST_F(Rendering, StampsStayOnTheBackgroundUntilItIsRestoredOrTheWorldCopiedBack) {
    e.setSplatCell(0, colours, 3);
    World* before = new World(theWorld);
    // The back buffer of the frame was refilled before the stamp: it shows a frame later.
    runFrame([] { stampSplat(0, 300, 200); });
    EXPECT_EQ(pixelAt(front(), 304, 200), 0);
    for (int frame = 0; frame < 3; ++frame) {
        runFrame();
        EXPECT_EQ(pixelsAt(front(), {{303, 200}, {304, 200}, {307, 207}}),
                  (std::vector<int>{0, rgb565(red), rgb565(red)}));
    }
    theWorld = *before;
    delete before;
    runFrame();
    EXPECT_EQ(pixelAt(front(), 304, 200), 0);

    runFrame([] { stampSplat(0, 300, 200); });
    runFrame([] { restoreBackground(); });
    EXPECT_EQ(pixelAt(front(), 304, 200), rgb565(red));
    runFrame();
    EXPECT_EQ(pixelAt(front(), 304, 200), 0);
}

TEST_F(Rendering, OverlaysFillGapsFirstAndAreWalkedPastThem) {
    Font font("g\\no-such-font.raw", &e, 80, 80, 24, 8, 8, 0, 52);  // glyphs need no pixels
    std::vector<Scroller*> s;
    for (int i = 0; i < 9; ++i) s.push_back(new Scroller(&font, "TICKER", 400));

    for (Scroller* sc : s) theStage.addOverlay(sc);
    theStage.addOverlay(s[0]);
    theStage.removeOverlay(s[8]);  // never got in: harmless
    EXPECT_EQ(theStage.overlayCount, 8);
    for (int i : {1, 2, 4, 5, 6}) theStage.removeOverlay(s[i]);
    // Slots 0, 3 and 7 remain with gaps between; a newcomer goes into a gap. All are walked,
    // but only shown scrollers advance (the first advance builds their row of glyphs).
    theStage.addOverlay(s[8]);
    EXPECT_EQ(theStage.overlayCount, 4);
    for (int i : {3, 7, 8}) s[i]->show();
    runFrame();
    EXPECT_TRUE(s[0]->label() == nullptr && s[3]->label() && s[7]->label() && s[8]->label());
    for (int i : {0, 3, 7, 8}) theStage.removeOverlay(s[i]);
    EXPECT_EQ(theStage.overlayCount, 0);
}
