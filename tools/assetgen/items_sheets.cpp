// The small sheets: the falling chainsaw, flying body parts, blood splats, bonus labels,
// player markers and smart-bomb icons; the ball magazine opening; the ball itself.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "catalog/picture_files.h"
#include "figure.h"
#include "sheets.h"

namespace {
const Rgb kPlayerColour[3] = {rgb(250, 204, 40), rgb(70, 200, 250), rgb(236, 96, 220)};

Vec2 rotate(Vec2 v, float deg) {
    float c = std::cos(rad(deg)), s = std::sin(rad(deg));
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

// An arm cut off at the shoulder, turned by angle around the cell centre.
void flyingArm(Canvas& c, float angle, float blood) {
    Look look = climberLook();
    Vec2 centre{32, 32};
    auto at = [&](float x, float y) { return centre + rotate(Vec2{x, y}, angle); };
    Vec2 shoulder = at(-10, 0), elbow = at(1, 2), hand = at(10, -4);
    paintLimb(c, shoulder, elbow, 3.2f, 2.8f, Ink{look.skin});
    paintLimb(c, elbow, hand, 2.8f, 2.3f, Ink{look.skin});
    paintFlatLimb(c, lerp(elbow, hand, 0.35f), lerp(elbow, hand, 0.85f), 2.6f, 2.3f,
                  look.belt * 0.9f, 1, true);
    paintBlob(c, hand, 2.8f, 2.6f, 0, Ink{look.skin});
    paintFlatBlob(c, shoulder, 2.6f, 2.6f, kBlood, 1, true);
    paintBlood(c, shoulder + rotate(Vec2{-2, 0}, angle), 4 + blood, 100 + int(angle), 0.7f);
}

void flyingHead(Canvas& c, float angle, float blood) {
    Look look = climberLook();
    Vec2 centre{32, 34};
    Vec2 neck = centre + rotate(Vec2{0, 6.5f}, -angle);
    paintLimb(c, centre, neck, 2.5f, 2.6f, Ink{look.skin * 0.9f});
    drawHeadAt(c, centre, angle, look);
    paintFlatBlob(c, neck, 2.4f, 2.4f, kBlood, 1);
    paintBlood(c, neck + rotate(Vec2{0, 2}, -angle), 4 + blood, 200 + int(angle), 0.7f);
}

void splat(Canvas& c, float size, uint32_t seed) {
    paintBlood(c, {32, 32}, size, seed, 1.f);
    // Runs: a few drips below the splash.
    Noise rnd(seed * 7 + 1);
    int drips = size > 20 ? 4 : 2;
    for (int i = 0; i < drips; ++i) {
        float x = 32 + rnd.range(-size * 0.4f, size * 0.4f);
        float y0 = 32 + rnd.range(0, size * 0.2f);
        float len = rnd.range(size * 0.15f, size * 0.45f);
        paintFlatLimb(c, {x, y0}, {x, std::min(62.f, y0 + len)}, 1.3f, 1.0f, kBlood);
    }
}

void label(Canvas& c, const char* text) {
    TextStyle st{rgb(255, 250, 190), rgb(250, 150, 30), rgb(70, 26, 20), 2.0f, 1.5f};
    float w = measureText(text, 24);
    paintText(c, text, 32 - w / 2, 18, 24, st);
}

void marker(Canvas& c, int player) {
    Rgb col = kPlayerColour[player];
    Ink ink{col, rgb(44, 32, 50), 1.2f};
    paintPolygon(c, {{19, 1}, {35, 1}, {35, 13}, {27, 20}, {19, 13}}, ink, 1.f);
    char digit[2] = {char('1' + player), 0};
    TextStyle st{rgb(255, 255, 255), rgb(230, 230, 240), rgb(44, 32, 50), 1.2f, 0};
    float w = measureText(digit, 13);
    paintText(c, digit, 27 - w / 2, 0.5f, 13, st);
}

void bombIcon(Canvas& c, int player) {
    Rgb col = kPlayerColour[player];
    Vec2 centre{29.5f, 19.5f};
    paintLimb(c, centre + Vec2{2.5f, -3.5f}, centre + Vec2{4.5f, -6.5f}, 1.0f, 0.8f,
              Ink{rgb(170, 140, 100), rgb(40, 30, 30), 0.8f});
    paintIronBall(c, centre, 4.6f);
    paintFlatLimb(c, centre + Vec2{-4.2f, 0.8f}, centre + Vec2{4.2f, 0.8f}, 1.1f, 1.1f, col, 1,
                  true);
    paintFlatBlob(c, centre + Vec2{5.2f, -7.5f}, 1.6f, 1.6f, rgb(255, 230, 120), 1.f);
    paintFlatBlob(c, centre + Vec2{5.2f, -7.5f}, 0.8f, 0.8f, rgb(255, 255, 230), 1.f);
}
}  // namespace

void drawWeaponCell(int cell, Canvas& c) {
    if (cell == 0) {
        // Falls flat so the caller's hands meet its handle.
        paintChainsaw(c, {51, 54}, 0, 1.f, false);
        return;
    }
    // The arm turns a quarter per frame; 13 to 16 are the eighths between.
    switch (cell) {
        case 1: flyingArm(c, 0, 6); return;
        case 2: flyingArm(c, 90, 2); return;
        case 3: flyingArm(c, 180, 2); return;
        case 4: flyingArm(c, 270, 2); return;
        case 13: flyingArm(c, 45, 2); return;
        case 14: flyingArm(c, 135, 2); return;
        case 15: flyingArm(c, 225, 2); return;
        case 16: flyingArm(c, 315, 2); return;
        case 17: flyingArm(c, 0, 2); return;
        default: break;
    }
    if (cell >= 5 && cell <= 12) {
        flyingHead(c, (cell - 5) * 360.f / 7.f, cell == 5 ? 6.f : 2.f);
        return;
    }
    if (cell >= 21 && cell <= 23) {
        splat(c, 30 + (cell - 21) * 2.5f, 2100 + cell);
        return;
    }
    if (cell >= 24 && cell <= 26) {
        splat(c, 11 + (cell - 24) * 1.5f, 2400 + cell);
        return;
    }
    if (cell >= 27 && cell <= 29) {
        static const char* texts[] = {"200", "400", "800"};
        label(c, texts[cell - 27]);
        return;
    }
    if (cell >= 30 && cell <= 32) {
        marker(c, cell - 30);
        return;
    }
    if (cell >= 33 && cell <= 35) bombIcon(c, cell - 33);
}

std::vector<uint8_t> makeDustSheet() {
    // The six splats of the weapons sheet in the same shapes, as dust knocked off the stone:
    // each pixel keeps its brightness but takes a dry grey-brown.
    constexpr int cell = dustFile.cellWidth, count = dustFile.width / cell;
    std::vector<uint8_t> rgb(size_t(dustFile.width) * dustFile.height * 3, 0);
    for (int i = 0; i < count; ++i) {
        Canvas c(cell, cell);
        drawWeaponCell(i < 3 ? largeSplatCells[i] : smallSplatCells[i - 3], c);
        c.toRgb(rgb.data(), dustFile.width * 3, i * cell, 0);
    }
    for (size_t p = 0; p + 2 < rgb.size(); p += 3) {
        int r = rgb[p], g = rgb[p + 1], b = rgb[p + 2];
        if (r == 0 && g == 0 && b == 0) continue;  // transparent stays transparent
        int light = std::max({r, g, b});
        float shade = 0.45f + 0.55f * light / 255.f;
        rgb[p] = uint8_t(std::max(8.f, 178 * shade));
        rgb[p + 1] = uint8_t(std::max(8.f, 160 * shade));
        rgb[p + 2] = uint8_t(std::max(8.f, 132 * shade));
    }
    return rgb;
}

void drawMagazineCell(int cell, Canvas& c) {
    // A crate of balls on the wall top whose front flap drops open towards the walkway;
    // cell 5 is shut, cell 0 wide open. Balls roll out at the crate's inner (right) side.
    const Rgb wood = rgb(150, 98, 52), woodDark = rgb(112, 70, 38);
    Ink woodInk{wood};
    // Back wall and interior.
    paintPolygon(c, {{3, 14}, {47, 14}, {47, 60}, {3, 60}}, Ink{rgb(86, 56, 34)}, 0.f);
    // Balls stacked inside.
    const Vec2 balls[] = {{11, 53}, {24, 53}, {37, 53}, {17.5f, 41}, {30.5f, 41}, {24, 29}};
    for (Vec2 b : balls) paintIronBall(c, b, 6.2f);
    // Side posts and lid.
    paintLimb(c, {4, 12}, {4, 60}, 2.6f, 2.6f, Ink{woodDark});
    paintLimb(c, {46, 12}, {46, 60}, 2.6f, 2.6f, Ink{woodDark});
    paintPolygon(c, {{0, 8}, {50, 8}, {50, 14}, {0, 14}}, woodInk, 1.f);
    // Ramp that leads the balls out to the walkway.
    paintPolygon(c, {{44, 57}, {63, 59}, {63, 62}, {44, 62}}, Ink{woodDark}, 0.f);
    // The flap: hinged at the bottom, its visible height shrinks as it falls open.
    float open = (5 - cell) / 5.f;
    float h = 46.f * std::cos(open * kPi * 0.5f);
    float top = 60 - h;
    if (h > 1.5f) {
        paintPolygon(c, {{2, top}, {48, top}, {48, 60}, {2, 60}}, woodInk, 1.f);
        int planks = std::max(1, int(h / 9));
        for (int i = 1; i < planks; ++i) {
            float y = top + h * i / planks;
            paintFlatLimb(c, {3, y}, {47, y}, 0.6f, 0.6f, woodDark * 0.8f, 1, true);
        }
        // Iron bands and a hasp.
        paintFlatLimb(c, {9, top + 1}, {9, 59}, 1.2f, 1.2f, rgb(120, 120, 132), 1, true);
        paintFlatLimb(c, {41, top + 1}, {41, 59}, 1.2f, 1.2f, rgb(120, 120, 132), 1, true);
        if (cell == 5) paintBlob(c, {25, 20}, 2.6f, 3.2f, 0, Ink{rgb(200, 170, 80)});
    } else {
        paintPolygon(c, {{0, 59}, {50, 59}, {50, 62.5f}, {0, 62.5f}}, woodInk, 0.f);
    }
    // Stencil on the lid so the crate reads as the ball store.
    paintIronBall(c, {25, 4.5f}, 3.6f);
}

void drawBallCell(int cell, Canvas& c) {
    if (cell == 0) paintIronBall(c, {8, 8}, 6.8f);
}
