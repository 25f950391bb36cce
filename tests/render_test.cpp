#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "support/cell_animation.h"
#include "support/test_sheets.h"

namespace {

uint16_t pixelAt(Surface* s, int x, int y) { return s->pixels()[y * s->width() + x]; }

std::vector<int> pixelsAt(Surface* s, std::initializer_list<std::pair<int, int>> points) {
    std::vector<int> out;
    for (auto [x, y] : points) out.push_back(pixelAt(s, x, y));
    return out;
}

const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

class Rendering : public testing::Test {
protected:
    void SetUp() override {
        Actor::clearOrderChanged();
        dir = makeTempDir("render");
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
    void TearDown() override { Actor::clearOrderChanged(); }
    Surface* front() { return t.engine.frontSurface(); }
    void addShown(std::initializer_list<Actor*> actors) {
        for (Actor* a : actors) {
            t.engine.addActor(a);
            a->show();
        }
    }

    TestEngine t;
    std::string dir;
    int colours = -1;
    int columns = -1;
};

}  // namespace

TEST_F(Rendering, TheActorListIgnoresDuplicatesAbsenteesAndOverflow) {
    Engine& e = t.engine;
    std::vector<std::unique_ptr<Actor>> actors;
    for (int i = 0; i < 501; ++i) actors.push_back(std::make_unique<Actor>(nullptr, 0, 0, 0, 0));
    e.addActor(actors[0].get());  // twice: the second is ignored
    for (auto& a : actors) e.addActor(a.get());
    EXPECT_EQ(e.actorCount(), 500);
    EXPECT_EQ(actors[500]->engine(), nullptr);
    EXPECT_EQ(e.actorAt(499), actors[499].get());

    Actor stranger(nullptr, 0, 0, 0, 0);
    e.removeActor(&stranger);
    EXPECT_EQ(e.actorCount(), 500);
    e.removeActor(actors[1].get());
    EXPECT_EQ(e.actorCount(), 499);
    EXPECT_EQ((std::vector<Actor*>{e.actorAt(0), e.actorAt(1), e.actorAt(498), e.actorAt(499)}),
              (std::vector<Actor*>{actors[0].get(), actors[2].get(), actors[499].get(), nullptr}));
    e.addActor(actors[500].get());
    EXPECT_EQ(e.actorAt(499), actors[500].get());
}

TEST_F(Rendering, EqualDepthsKeepTheirOrderWhenTheListIsSorted) {
    Engine& e = t.engine;
    CellAnimation r(&e, colours, {0}), g(&e, colours, {1}), b(&e, colours, {2});
    Actor first(r.get(), 10, 10, 0, 0), middle(g.get(), 10, 10, 0, 0), last(b.get(), 10, 10, 0, 0);
    addShown({&first, &middle, &last});
    first.setDepth(5);
    middle.setDepth(1);
    last.setDepth(5);
    e.runFrame();
    EXPECT_EQ((std::vector<Actor*>{e.actorAt(0), e.actorAt(1), e.actorAt(2)}),
              (std::vector<Actor*>{&middle, &first, &last}));
    EXPECT_EQ(pixelAt(front(), 10, 10), rgb565(blue));
    EXPECT_FALSE(Actor::orderChanged());

    // Nothing is re-sorted until a depth changes, so newcomers stay in front.
    Actor late(r.get(), 10, 10, 0, 0);
    late.setDepth(0);
    Actor::clearOrderChanged();
    addShown({&late});
    e.runFrame();
    EXPECT_EQ(pixelAt(front(), 10, 10), rgb565(red));
}

TEST_F(Rendering, ShownActorsAreDrawnBeforeTheyMoveAndHiddenOrBlankOnesOnlyMove) {
    Engine& e = t.engine;
    CellAnimation solid(&e, colours, {0}), blank(&e, colours, {-1});
    Actor a(solid.get(), 100, 100, 20, 0), hidden(solid.get(), 10, 10, 3, 0),
        empty(blank.get(), 30, 10, 3, 0);
    e.addActor(&hidden);
    addShown({&a, &empty});
    e.runFrame();
    EXPECT_EQ(pixelsAt(front(), {{100, 100}, {120, 100}, {10, 10}, {30, 10}}),
              (std::vector<int>{rgb565(red), 0, 0, 0}));
    EXPECT_EQ((std::vector<int>{a.x(), hidden.x(), empty.x()}), (std::vector<int>{120, 13, 33}));
    // The back buffer is the background again, ready for the next frame.
    EXPECT_EQ(pixelAt(e.backBuffer(), 100, 100), 0);
    e.runFrame();
    EXPECT_EQ(pixelsAt(front(), {{100, 100}, {120, 100}}), (std::vector<int>{0, rgb565(red)}));
}

TEST_F(Rendering, ChildrenAreDrawnByTheWalkButAdvancedOnlyByTheirParents) {
    Engine& e = t.engine;
    CellAnimation parentAnim(&e, colours, {0});
    // Frames of duration 0 advance at every update: a second update would show.
    CellAnimation childAnim(&e, colours, {1, 2, 0}, {}, {0, 0, 0});
    Actor parent(parentAnim.get(), 50, 50, 1, 0);
    Actor child(childAnim.get(), 0, 0, 0, 0);
    child.attachTo(&parent, 20, 0);
    child.restartAnimation();
    parent.addTreeTo(&e);
    parent.showTree();
    e.runFrame();
    EXPECT_EQ((std::vector<int>{child.frameIndex(), child.x()}), (std::vector<int>{1, 71}));
    // It was drawn where it stood before the frame: it had not moved with its parent yet.
    EXPECT_EQ(pixelAt(front(), 0, 0), rgb565(green));
}

TEST_F(Rendering, HotSpotsAndMirrorsPlaceTheCell) {
    Engine& e = t.engine;
    // Cell 3: left half clear, right half red.
    CellAnimation plain(&e, colours, {3}, {false, 2, 3}), mirrored(&e, colours, {3}, {true});
    Actor a(plain.get(), 100, 100, 0, 0), b(mirrored.get(), 200, 100, 0, 0);
    addShown({&a, &b});
    e.runFrame();
    const int r = rgb565(red);
    EXPECT_EQ(
        pixelsAt(front(), {{101, 97}, {102, 97}, {105, 104}, {106, 97}, {203, 100}, {204, 100}}),
        (std::vector<int>{0, r, r, 0, r, 0}));
}

TEST_F(Rendering, SpritesOverTheEdgeLoseExactlyTheirOutsidePart) {
    Engine& e = t.engine;
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

TEST_F(Rendering, StampsStayOnTheBackgroundUntilItIsRestored) {
    Engine& e = t.engine;
    SpriteFrame splat(colours, true, true, 4, 4, 3, &e);
    splat.stampOnBackground(300, 200);
    // The back buffer of the next frame was refilled before the stamp: it shows a frame later.
    e.runFrame();
    EXPECT_EQ(pixelAt(front(), 304, 200), 0);
    for (int frame = 0; frame < 3; ++frame) {
        e.runFrame();
        // Neither the mirror flags nor the hot spot apply to a stamp.
        EXPECT_EQ(pixelsAt(front(), {{303, 200}, {304, 200}, {307, 207}}),
                  (std::vector<int>{0, rgb565(red), rgb565(red)}));
    }
    e.restoreBackground();
    e.runFrame();
    EXPECT_EQ(pixelAt(front(), 304, 200), rgb565(red));
    e.runFrame();
    EXPECT_EQ(pixelAt(front(), 304, 200), 0);
}

TEST_F(Rendering, OverlaysFillGapsFirstAndAreWalkedPastThem) {
    Engine& e = t.engine;
    Font font("g\\no-such-font.raw", &e, 80, 80, 24, 8, 8, 0, 52);  // glyphs need no pixels
    std::vector<std::unique_ptr<Scroller>> s;
    for (int i = 0; i < 9; ++i) s.push_back(std::make_unique<Scroller>(&font, "TICKER", 400));

    for (auto& sc : s) e.addOverlay(sc.get());
    e.addOverlay(s[0].get());
    e.removeOverlay(s[8].get());  // never got in: harmless
    EXPECT_EQ(e.overlayCount(), 8);
    for (int i : {1, 2, 4, 5, 6}) e.removeOverlay(s[i].get());
    // Slots 0, 3 and 7 remain with gaps between; a newcomer goes into a gap. All are walked,
    // but only shown scrollers advance (the first advance builds their row of glyphs).
    e.addOverlay(s[8].get());
    EXPECT_EQ(e.overlayCount(), 4);
    for (int i : {3, 7, 8}) s[i]->show();
    e.runFrame();
    EXPECT_TRUE(s[0]->label() == nullptr && s[3]->label() && s[7]->label() && s[8]->label());
    for (int i : {0, 3, 7, 8}) e.removeOverlay(s[i].get());
    EXPECT_EQ(e.overlayCount(), 0);
    for (auto& sc : s)
        if (sc->label() != nullptr) sc->label()->actor()->removeTreeFrom(&e);
}
