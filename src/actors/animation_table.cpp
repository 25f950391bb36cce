#include "actors/animation_table.h"

#include "actors/actor.h"
#include "actors/font.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "base/log.h"

Animation* animations[animationRowCount] = {};
Font* gameFont = nullptr;
Font* scrollerFont = nullptr;
SpriteFrame* largeSplat[3] = {};
SpriteFrame* smallSplat[3] = {};

namespace {

constexpr const char* sheetProgress[5] = {"a1\n", "a2\n", "a3\n", "a4\n", "b\n"};

Animation* theGlyphAnimation = nullptr;

}  // namespace

Animation* glyphAnimation() {
    if (theGlyphAnimation == nullptr) {
        // Long enough that the one frame's timer, which every update still runs, never
        // matters; the skip keeps it on frame 0.
        theGlyphAnimation =
            new Animation(new SpriteFrame* [1] { nullptr }, 1, new int[1]{255}, new int[1]{-1});
    }
    return theGlyphAnimation;
}

void buildAnimations() {
    Engine* engine = theEngine;
    glyphAnimation();
    logLine("a\n");
    for (int i = 0; i < 5; ++i) {
        const PictureFile& s = spriteSheetFiles[i];
        engine->addSheet(s.file, s.width, s.height, 24, s.cellWidth, s.cellHeight, true);
        logLine(sheetProgress[i]);
    }

    const PictureFile& g = gameFontFile;
    gameFont = new Font(g.file, engine, g.width, g.height, 24, g.cellWidth, g.cellHeight, 0, 52);
    const PictureFile& s = scrollerFontFile;
    scrollerFont =
        new Font(s.file, engine, s.width, s.height, 24, s.cellWidth, s.cellHeight, 0, 52);
    logLine("c\n");

    logLine("d\n");

    for (int i = 0; i < 3; ++i)
        largeSplat[i] =
            new SpriteFrame(weaponSheet, false, false, 0, 0, largeSplatCells[i], engine);
    for (int i = 0; i < 3; ++i)
        smallSplat[i] =
            new SpriteFrame(weaponSheet, false, false, 0, 0, smallSplatCells[i], engine);
    logLine("e\n");

    for (int row = 0; row < animationRowCount; ++row) {
        const AnimationRowData& r = animationRows[row];
        logFormat("i=%d\n", row);
        const int count = r.frameCount;
        auto** frames = new SpriteFrame*[count];
        auto* durations = new int[count];
        auto* skips = new int[count];
        logLine("f1\n");
        for (int j = 0; j < count; ++j) {
            logLine("f2\n");
            const bool mirrorX = (r.mirror[j] & 1) != 0;
            const bool mirrorY = (r.mirror[j] & 2) != 0;
            logLine("f3\n");
            frames[j] = new SpriteFrame(r.sheet, mirrorX, mirrorY, r.hotX[j], r.hotY[j], r.cells[j],
                                        engine);
            logLine("f4\n");
            durations[j] = scaledDuration(r.durations[j]);
            logLine("f5\n");
            skips[j] = r.skips[j];
            logLine("f6\n");
            logLine("f7\n");
        }
        logLine("g\n");
        animations[row] = new Animation(frames, count, durations, skips);
        logLine("i\n");
    }
}

void releaseAnimations() {
    for (Animation*& a : animations) {
        if (a == nullptr) continue;
        for (int j = 0; j < a->frameCount(); ++j) delete a->frame(j);
        delete a;
        a = nullptr;
    }
    for (SpriteFrame*& f : largeSplat) delete f, f = nullptr;
    for (SpriteFrame*& f : smallSplat) delete f, f = nullptr;
    delete theGlyphAnimation;
    theGlyphAnimation = nullptr;
    clearAnimationRegistry();
    delete gameFont;
    delete scrollerFont;
    gameFont = scrollerFont = nullptr;
    clearFontRegistry();
}
