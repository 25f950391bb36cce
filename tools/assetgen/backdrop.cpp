// The wall at dusk: sky, far hills, the walkway the defenders run on, the stone face the
// climbers scale (light enough for blood to show) and the strip of ground at its foot.
// The title picture is the same scene seen lower, with the game's name in the sky.
#include <algorithm>
#include <cmath>

#include "paint.h"
#include "sheets.h"

namespace {
Rgb skyAt(float y, float horizon) {
    float t = std::clamp(y / horizon, 0.f, 1.f);
    const Rgb top = rgb(34, 30, 84), mid = rgb(120, 64, 120), low = rgb(236, 128, 84),
              glow = rgb(252, 196, 120);
    if (t < 0.5f) return mix(top, mid, t / 0.5f);
    if (t < 0.85f) return mix(mid, low, (t - 0.5f) / 0.35f);
    return mix(low, glow, (t - 0.85f) / 0.15f);
}

void paintSky(Canvas& c, int horizon) {
    float sunX = 455, sunY = horizon - 18.f;
    c.fill([&](Vec2 p) { return p.y < horizon ? -1.f : 1.f; },
           [&](Vec2 p) {
               Rgb col = skyAt(p.y, float(horizon));
               float d = length(p - Vec2{sunX, sunY});
               float glow = std::exp(-d / 90.f) * 0.55f;
               col = col + rgb(255, 190, 110) * glow * 0.6f;
               // Soft bands of cloud lit from below.
               float n = valueNoise(p.x * 0.35f, p.y * 2.4f, 22.f, 7);
               float band = std::clamp((n - 0.58f) * 3.f, 0.f, 1.f) * (p.y / horizon);
               return mix(col, rgb(250, 160, 130), band * 0.45f);
           },
           0, 0, float(c.width()), float(horizon));
    Noise rnd(99);
    for (int i = 0; i < 60; ++i) {
        float x = rnd.range(0, float(c.width())), y = rnd.range(0, horizon * 0.45f);
        float b = rnd.range(0.4f, 1.f) * (1 - y / (horizon * 0.45f));
        paintFlatBlob(c, {x, y}, 0.6f, 0.6f, rgb(255, 250, 230), b);
    }
    paintFlatBlob(c, {sunX, sunY}, 22, 22, rgb(255, 226, 150), 1.f);
    paintFlatBlob(c, {sunX, sunY}, 18, 18, rgb(255, 242, 196), 1.f);
}

void paintHills(Canvas& c, int horizon) {
    struct Layer {
        float base, height, scale;
        Rgb colour;
        uint32_t seed;
    };
    const Layer layers[2] = {{horizon - 12.f, 34.f, 60.f, rgb(112, 70, 116), 3},
                             {horizon - 2.f, 22.f, 34.f, rgb(78, 52, 92), 5}};
    for (const auto& l : layers) {
        c.fill(
            [&](Vec2 p) {
                float ridge = l.base - l.height * valueNoise(p.x, 0, l.scale, l.seed) -
                              l.height * 0.4f * valueNoise(p.x, 5, l.scale * 0.3f, l.seed + 1);
                return ridge - p.y;
            },
            [&](Vec2 p) {
                float t = std::clamp((p.y - (l.base - l.height)) / (l.height + 10), 0.f, 1.f);
                return mix(l.colour * 1.15f, l.colour * 0.8f, t);
            },
            0, l.base - 1.5f * l.height, float(c.width()), float(horizon + 2));
    }
}

// Stone face between top and bottom, blocks in running bond.
void paintStones(Canvas& c, float x0, float x1, float top, float bottom, float light,
                 uint32_t seed) {
    const float rowH = 22.f;
    Noise rnd(seed);
    int rows = int(std::ceil((bottom - top) / rowH));
    for (int r = 0; r < rows; ++r) {
        float y0 = top + r * rowH, y1 = std::min(bottom, y0 + rowH);
        float x = x0 - rnd.range(0, 40);
        while (x < x1) {
            float w = rnd.range(38, 66);
            float tone = rnd.range(0.88f, 1.06f);
            float depth = (y0 - top) / std::max(1.f, bottom - top);
            // Warm dusk light on the upper courses, cooler shade near the ground.
            Rgb base = mix(rgb(196, 170, 138), rgb(160, 146, 130), depth) * (tone * light);
            float bx0 = x + 1.f, bx1 = x + w - 1.f, by0 = y0 + 1.f, by1 = y1 - 1.f;
            uint32_t s = rnd.next();
            c.fill([&](Vec2 p) { return sdBox(p, {(bx0 + bx1) / 2, (by0 + by1) / 2},
                                              {(bx1 - bx0) / 2, (by1 - by0) / 2}, 0, 2.f); },
                   [&](Vec2 p) {
                       float n = valueNoise(p.x, p.y, 5.f, s) * 0.6f +
                                 valueNoise(p.x, p.y, 1.7f, s + 1) * 0.4f;
                       float k = 0.9f + 0.2f * n;
                       // Bevel: lit top-left edges, shaded bottom-right ones.
                       float dl = p.x - bx0, dt = p.y - by0, dr = bx1 - p.x, db = by1 - p.y;
                       if (dt < 2.5f || dl < 2.f) k += 0.12f;
                       if (db < 2.5f || dr < 2.f) k -= 0.16f;
                       return base * k;
                   },
                   bx0 - 1, by0 - 1, bx1 + 1, by1 + 1);
            x += w;
        }
    }
}

void paintWallTop(Canvas& c, float y) {
    // Walkway coping: a lit upper surface and its shaded front edge.
    c.fill([&](Vec2 p) { return std::max(y - p.y, p.y - (y + 9)); },
           [&](Vec2 p) {
               float t = (p.y - y) / 9.f;
               float n = valueNoise(p.x, p.y, 3.f, 41);
               Rgb col = t < 0.45f ? rgb(222, 196, 160) : rgb(150, 124, 100);
               return col * (0.92f + 0.12f * n);
           },
           0, y, float(c.width()), y + 9);
    c.fill([&](Vec2 p) { return std::fabs(p.y - (y + 4.3f)) - 0.5f; },
           [&](Vec2) { return rgb(120, 92, 72); }, 0, y + 3, float(c.width()), y + 6);
}

void paintGround(Canvas& c, float top) {
    c.fill([&](Vec2 p) { return top - p.y; },
           [&](Vec2 p) {
               float n = valueNoise(p.x, p.y, 4.f, 77);
               Rgb col = mix(rgb(104, 112, 52), rgb(92, 74, 48), std::clamp((p.y - top) / 10.f, 0.f, 1.f));
               return col * (0.85f + 0.3f * n);
           },
           0, top, float(c.width()), float(c.height()));
    Noise rnd(31);
    for (int i = 0; i < 140; ++i) {
        float x = rnd.range(0, float(c.width()));
        float h = rnd.range(3, 8);
        float lean = rnd.range(-2, 2);
        paintFlatLimb(c, {x, top + 2}, {x + lean, top + 2 - h}, 0.9f, 0.3f,
                      rgb(86, 120, 44) * rnd.range(0.8f, 1.2f));
    }
}

void paintTower(Canvas& c, float platform, float wallTop) {
    const float x0 = 505, x1 = 640;
    paintStones(c, x0, x1, platform + 6, wallTop, 0.82f, 515);
    // Platform slab and the merlons behind it.
    for (int i = 0; i < 4; ++i) {
        float mx = x0 + 6 + i * 36.f;
        c.fill([&](Vec2 p) { return sdBox(p, {mx + 11, platform - 8}, {11, 9}, 0, 1.5f); },
               [&](Vec2 p) { return rgb(150, 128, 112) * (0.9f + 0.15f * valueNoise(p.x, p.y, 3, 9)); },
               mx - 1, platform - 18, mx + 23, platform + 1);
    }
    c.fill([&](Vec2 p) { return sdBox(p, {(x0 + x1) / 2, platform + 3}, {(x1 - x0) / 2 + 4, 3.5f}, 0, 1); },
           [&](Vec2 p) { return p.y < platform + 2 ? rgb(214, 186, 150) : rgb(146, 118, 96); },
           x0 - 6, platform - 1, x1 + 6, platform + 8);
    // A pennant on a pole.
    paintLimb(c, {x1 - 22, platform - 18}, {x1 - 22, platform - 52}, 1.2f, 1.0f,
              Ink{rgb(120, 90, 60), rgb(40, 30, 36), 0.8f});
    paintPolygon(c, {{x1 - 21, platform - 52}, {x1 - 44, platform - 46}, {x1 - 21, platform - 40}},
                 Ink{rgb(200, 40, 48), rgb(60, 20, 26), 0.8f}, 1.f);
}

void paintMoss(Canvas& c, float bottom) {
    Noise rnd(12);
    for (int i = 0; i < 24; ++i) {
        float x = rnd.range(0, float(c.width())), y = bottom - rnd.range(2, 40);
        // One draw per statement: each compiler picks its own order for a call's arguments.
        // The height comes first, as it did in the gcc builds when both were arguments.
        float ry = rnd.range(2, 6);
        float rx = rnd.range(4, 12);
        paintFlatBlob(c, {x, y}, rx, ry, rgb(98, 120, 64), 0.5f);
    }
}
}  // namespace

void paintBackdrop(Canvas& c, int wallTop, int groundTop, bool withTower) {
    paintSky(c, wallTop);
    paintHills(c, wallTop);
    if (withTower) paintTower(c, 57.f, float(wallTop));
    paintStones(c, 0, float(c.width()), wallTop + 9.f, float(groundTop), 1.f, 2024);
    paintMoss(c, float(groundTop));
    // Cracks: thin dark strokes that wander down a few blocks.
    Noise rnd(77);
    for (int i = 0; i < 7; ++i) {
        Vec2 p{rnd.range(20, 620), rnd.range(wallTop + 30.f, groundTop - 60.f)};
        for (int k = 0; k < 5; ++k) {
            Vec2 q = p + Vec2{rnd.range(-5, 5), rnd.range(5, 11)};
            paintFlatLimb(c, p, q, 0.7f, 0.5f, rgb(104, 88, 76), 0.8f);
            p = q;
        }
    }
    paintWallTop(c, float(wallTop));
    paintGround(c, float(groundTop));
}

std::vector<uint8_t> makeWall() {
    Canvas c(640, 480);
    paintBackdrop(c, 104, 462, true);
    std::vector<uint8_t> out(640 * 480 * 3);
    c.toRgbOpaque(out.data());
    return out;
}

namespace {
// Paints a sheet's cell afresh at another size, anti-aliased against the scene itself.
void placeCell(Canvas& c, void (*painter)(int, Canvas&), int cell, int cellW, int cellH,
               float x, float y, float scale, bool mirror) {
    Canvas drawing(int(std::ceil(cellW * scale)), int(std::ceil(cellH * scale)));
    drawing.setView(scale, {0, 0});
    painter(cell, drawing);
    c.draw(drawing, int(x), int(y), mirror);
}
}  // namespace

std::vector<uint8_t> makeTitle() {
    Canvas c(640, 480);
    const int wallTop = 300;
    paintBackdrop(c, wallTop, 462, false);
    // Blood on the stones from the fight so far.
    placeCell(c, drawWeaponCell, 21, 64, 64, 120, 360, 1.5f, false);
    placeCell(c, drawWeaponCell, 23, 64, 64, 430, 330, 1.3f, false);
    placeCell(c, drawWeaponCell, 25, 64, 64, 300, 410, 1.5f, false);
    const float s = 1.5f;
    // Defenders on the walkway (feet at row 64 of their cells).
    placeCell(c, drawDefenderCell, 19, 102, 67, 70, wallTop - 64 * s, s, false);
    placeCell(c, drawDefenderCell, 23, 102, 67, 250, wallTop - 64 * s, s, true);
    placeCell(c, drawDefenderCell, 17, 102, 67, 420, wallTop - 64 * s, s, false);
    // Climbers on the face, one hauling himself over, one still walking in.
    placeCell(c, drawClimberCell, 8, 102, 134, 110, 440 - 87 * s, s, false);
    placeCell(c, drawClimberCell, 11, 102, 134, 330, 390 - 87 * s, s, false);
    placeCell(c, drawClimberCell, 15, 102, 134, 480, wallTop - 52 * s, s, false);
    placeCell(c, drawClimberCell, 2, 102, 134, 190, 480 - 130 * s, s, false);
    placeCell(c, drawBallCell, 0, 16, 16, 112 + 37 * s, 330, s, false);

    const char* name = "PARAPET";
    TextStyle big{rgb(255, 244, 170), rgb(226, 96, 22), rgb(58, 20, 30), 4.f, 5.f};
    float size = 112;
    float w = measureText(name, size, true);
    paintText(c, name, 320 - w / 2, 42, size, big, true);
    TextStyle small{rgb(255, 255, 255), rgb(190, 210, 255), rgb(40, 30, 70), 2.f, 2.f};
    const char* line = "hold the wall";
    float w2 = measureText(line, 26);
    paintText(c, line, 320 - w2 / 2, 170, 26, small);

    std::vector<uint8_t> out(640 * 480 * 3);
    c.toRgbOpaque(out.data());
    return out;
}
