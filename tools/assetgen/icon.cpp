// The game's icon: a defender on the wall's top, the ball held over his head, between two
// merlons against the dusk sky. From 48 px up it is the game's own figure painted at the
// icon's size; below that a figure of a few bold shapes on a pixel grid, because the full
// figure's outlines and folds turn to mush in 16 or 32 pixels.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "assetgen.h"
#include "catalog/picture_files.h"
#include "figure.h"
#include "png.h"

namespace {

Rgb skyAt(float t) {
    const Rgb top = rgb(58, 42, 112), mid = rgb(150, 74, 124), low = rgb(246, 150, 88);
    t = std::clamp(t, 0.f, 1.f);
    return t < 0.6f ? mix(top, mid, t / 0.6f) : mix(mid, low, (t - 0.6f) / 0.4f);
}

const Rgb kStone = rgb(200, 172, 138), kStoneLit = rgb(236, 212, 172),
          kStoneDark = rgb(120, 92, 72), kOutline = rgb(40, 30, 46);

// The rounded tile with its sky, the walkway from `wallTop` down, and a merlon at each
// side rising to `merlonTop`; drawing units run 0..u across.
void paintScene(Canvas& c, float u, float wallTop, float merlonTop, float merlonWidth,
                float round) {
    const float half = u / 2;
    auto tile = [&](Vec2 p) { return sdBox(p, {half, half}, {half, half}, 0, round); };
    c.fill(
        tile, [&](Vec2 p) { return skyAt(p.y / wallTop); }, 0, 0, u, u);
    auto inTile = [&](Vec2 p, float d) { return std::max(d, tile(p)); };
    Rgb dark = kStoneDark;
    auto stone = [&](Vec2 p) {
        // Mortar courses every quarter of the wall's height, joints staggered per course.
        float course = (u - wallTop) / 3;
        float row = std::floor((p.y - wallTop) / course);
        float joint = std::fmod(p.x + (int(row) % 2) * u * 0.19f + u, u * 0.38f);
        bool mortar = std::fmod(p.y - wallTop, course) < u / 32 + 0.02f || joint < u / 32;
        if (p.y < wallTop + u / 16) return kStoneLit;
        return mortar && row >= 1 ? dark : kStone;
    };
    c.fill([&](Vec2 p) { return inTile(p, wallTop - p.y); }, stone, 0, wallTop - 1, u, u);
    for (float x0 : {0.f, u - merlonWidth}) {
        c.fill(
            [&](Vec2 p) {
                return inTile(p, std::max({merlonTop - p.y, p.y - wallTop - 1, x0 - p.x,
                                           p.x - (x0 + merlonWidth)}));
            },
            [&](Vec2 p) { return p.y < merlonTop + u / 16 ? kStoneLit : kStone; }, x0 - 1,
            merlonTop - 1, x0 + merlonWidth + 1, wallTop + 1);
    }
}

// The game's defender, lifting the ball over his helmet, feet on the walkway.
void paintGameFigureIcon(Canvas& c, int size) {
    const float u = 64, zoom = size / u;
    c.setView(zoom, {0, 0});
    paintScene(c, u, 53, 42, 10, 9);
    SidePose pose;
    pose.hip = {45, 37};
    pose.nearFoot = {41.5f, 59.5f};
    pose.farFoot = {49, 59.5f};
    pose.lean = -2;
    pose.headTilt = -8;
    pose.hold = Hold::Ball;
    pose.nearReach = pose.farReach = true;
    pose.nearHand = pose.hip + Vec2{-7, -32};
    pose.farHand = pose.hip + Vec2{-4, -33};
    // The figure is painted on its own canvas first: its shading only goes where it has
    // painted, and on the sky every pixel is painted already.
    Canvas figure(size, size);
    const float s = 0.75f * zoom;
    // Between the feet (45, 64 of a sheet cell) goes to the walkway's middle.
    figure.setView(s, {33.f * zoom - 45 * s, 54.f * zoom - 64 * s});
    drawSideFigure(figure, pose, defenderLook());
    c.draw(figure, 0, 0);
}

// Sixteen drawing units across; every edge lies on a pixel edge at 16 and 32 px.
void paintBoldIcon(Canvas& c, int size) {
    const float u = 16, zoom = size / u;
    c.setView(zoom, {0, 0});
    paintScene(c, u, 12, 9, 3, 2.5f);
    const Look look = defenderLook();
    const bool outline = size >= 32;
    struct Part {
        float x0, y0, x1, y1;
        Rgb colour;
    };
    const Part parts[] = {
        {6, 10, 7, 12, look.legs}, {9, 10, 10, 12, look.legs}, {6, 7, 10, 10, look.tunic},
        {6, 9, 10, 10, look.belt}, {5, 4, 6, 8, look.sleeve},  {10, 4, 11, 8, look.sleeve},
        {7, 5, 9, 7, look.skin},   {7, 4, 9, 5, look.helmet},
    };
    // Every part's outline goes down before any part's colour, so an outline never cuts
    // into the neighbouring part.
    for (float grow : {0.5f, 0.f}) {
        if (grow > 0 && !outline) continue;
        for (const Part& q : parts) {
            Vec2 centre{(q.x0 + q.x1) / 2, (q.y0 + q.y1) / 2};
            Vec2 half{(q.x1 - q.x0) / 2 + grow, (q.y1 - q.y0) / 2 + grow};
            c.fill([&](Vec2 p) { return sdBox(p, centre, half, 0, 0); },
                   [&](Vec2) { return grow > 0 ? kOutline : q.colour; }, q.x0 - 1, q.y0 - 1,
                   q.x1 + 1, q.y1 + 1);
        }
    }
    // The ball, held between both hands over the helmet.
    float r = 1.9f;
    Vec2 ball{8, 2.3f};
    if (outline)
        c.fill([&](Vec2 p) { return length(p - ball) - r - 0.5f; }, [&](Vec2) { return kOutline; },
               5, 0, 11, 5);
    c.fill([&](Vec2 p) { return length(p - ball) - r; },
           [&](Vec2 p) {
               return length(p - (ball + Vec2{-0.7f, -0.7f})) < 0.8f ? rgb(230, 232, 244)
                                                                     : rgb(70, 72, 88);
           },
           5, 0, 11, 5);
}

}  // namespace

std::vector<uint8_t> makeIconRgba(int size, bool boldShapes) {
    Canvas c(size, size);
    if (boldShapes)
        paintBoldIcon(c, size);
    else
        paintGameFigureIcon(c, size);
    std::vector<uint8_t> out(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &out[(size_t(y) * size + x) * 4];
            float a = c.alpha(x, y);
            Rgb col = a > 0 ? clampRgb(c.colour(x, y)) : Rgb{};
            p[0] = uint8_t(col.r + 0.5f);
            p[1] = uint8_t(col.g + 0.5f);
            p[2] = uint8_t(col.b + 0.5f);
            p[3] = uint8_t(std::clamp(a, 0.f, 1.f) * 255 + 0.5f);
        }
    return out;
}

bool writeIcons(const std::string& dir) {
    for (int size : kIconSizes) {
        std::vector<uint8_t> rgba = makeIconRgba(size, size < 48);
        std::vector<uint8_t> png = encodePngRgba(rgba.data(), size, size);
        std::string name = std::to_string(size) + "x" + std::to_string(size) + ".png";
        if (!writeBytes(dir + "/" + name, png.data(), png.size())) return false;
    }
    return true;
}

bool writeWindowIcon(const std::string& outDir) {
    // Window managers shrink the one picture SDL hands on to title-bar size themselves, so
    // the window gets the bold shapes that survive that.
    std::vector<uint8_t> rgba = makeIconRgba(kWindowIconSize, true);
    return writeBytes(outDir + "/" + slashPath(windowIconFile.file), rgba.data(), rgba.size());
}
