// animview: look at one row of the animation table without playing the game to it.
//
//   animview --data DIR --row N [--frames K] [--out DIR]
//
// Builds the table against the sheets in DIR (as the game does at start-up), plays row N on
// an actor on a dark screen for K frames and writes what each frame showed, side by side, to
// OUT/row-N.bmp. The actor's position is marked with a small cross,
// so hot spots can be checked against it. One line per frame goes to stdout.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "world/world.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/screenshot.h"
#include "engine/sprite_frame.h"
#include "platform/headless/headless_display.h"
#include "base/paths.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: animview --data DIR --row N [--frames K] [--out DIR]\n"
                 "  N in 0..57, K in 1..200 (default 24), OUT default .\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir, outDir = ".";
    int row = -1, frames = 24;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--data") && hasValue)
            dataDir = argv[++i];
        else if (!std::strcmp(argv[i], "--row") && hasValue)
            row = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--frames") && hasValue)
            frames = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--out") && hasValue)
            outDir = argv[++i];
        else
            return usage();
    }
    if (dataDir.empty() || row < 0 || row >= animationRowCount || frames < 1 || frames > 200)
        return usage();
    if (!std::filesystem::is_directory(std::filesystem::path(dataDir) / "g")) {
        std::fprintf(stderr, "animview: %s has no g/ folder of pictures\n", dataDir.c_str());
        return 1;
    }
    paths().dataDir = dataDir;

    constexpr int screenW = 640, screenH = 480;
    constexpr uint16_t dark = 0x2124;
    HeadlessDisplay display(screenW, screenH);
    Engine engine(&display, screenW, screenH, 16);
    theEngine = &engine;
    buildAnimations();
    clearWorld();

    const int sheet = animationRows[row].sheet;
    const int cw = engine.cellWidth(sheet), ch = engine.cellHeight(sheet);
    const int cx = screenW / 2, cy = screenH / 2;
    Actor* actor = new Actor(animations[row], cx, cy, 0.0, 0.0);
    actor->restartAnimation();
    actor->show();
    Surface shown(screenW, screenH);

    // Each tile is two cells wide and high with the actor half a cell in from its top-left
    // corner: room for every hot spot the table uses.
    const int tileW = 2 * cw, tileH = 2 * ch;
    const int ax = cw / 2, ay = ch / 2;
    Surface strip(tileW * frames, tileH);
    strip.fill(dark);
    for (int k = 0; k < frames; ++k) {
        const SpriteFrame* f = actor->currentFrame();
        std::printf("frame %d: index %d cell %d duration %d mirror %d hot %d,%d\n", k + 1,
                    actor->frameIndex(), f->cell(), animations[row]->duration(actor->frameIndex()),
                    f->mirrorX() ? 1 : 0, f->hotX(), f->hotY());
        // Drawn where the game draws it, then moved on as the game moves it.
        shown.fill(dark);
        engine.drawCell(f->sheet(), f->cell(), actor->x() - f->hotX(), actor->y() - f->hotY(),
                        f->mirrorX(), f->mirrorY(), &shown, true);
        actor->update();
        for (int y = 0; y < tileH; ++y)
            for (int x = 0; x < tileW; ++x) {
                const int sx = cx - ax + x, sy = cy - ay + y;
                if (sx < 0 || sy < 0 || sx >= screenW || sy >= screenH) continue;
                strip.pixels()[y * strip.width() + k * tileW + x] =
                    shown.pixels()[sy * screenW + sx];
            }
        for (int d = -3; d <= 3; ++d) {
            strip.pixels()[ay * strip.width() + k * tileW + ax + d] = 0xFFFF;
            strip.pixels()[(ay + d) * strip.width() + k * tileW + ax] = 0xFFFF;
        }
        // A thin line between tiles.
        for (int y = 0; y < tileH; ++y) strip.pixels()[y * strip.width() + k * tileW] = 0x4208;
    }

    std::filesystem::create_directories(outDir);
    const std::string out =
        (std::filesystem::path(outDir) / ("row-" + std::to_string(row) + ".bmp")).string();
    std::filesystem::remove(out);
    if (saveScreenshot(&strip, out.c_str()) != 0) return 1;
    std::printf("wrote %s (%d frames, tiles of %d x %d)\n", out.c_str(), frames, tileW, tileH);
    delete actor;
    return 0;
}
