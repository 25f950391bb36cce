// The climber: walking along the foot of the wall (feet at cell row 130), climbing seen from
// behind (drawn 43 rows lower by the game, feet at row 87), hauling himself over the top
// (drawn 25 rows lower), and on the wall top (feet at row 125): walking, striking with his
// club, and the three ways a chainsaw stroke ends him.
#include <cmath>

#include "figure.h"
#include "sheets.h"

namespace {
constexpr float kFootGround = 125.7f;  // ankle height below the wall, soles at row 130
constexpr float kTopGround = 120.7f;   // ankle height on the wall top, soles at row 125

SidePose standAt(float x, float ankle) {
    SidePose p;
    p.hip = {x, ankle - 22.5f};
    p.nearFoot = {x - 4.f, ankle};
    p.farFoot = {x + 4.5f, ankle};
    p.nearArm[0] = 12;
    p.nearArm[1] = 25;
    p.farArm[0] = -8;
    p.farArm[1] = 25;
    return p;
}

SidePose walkAt(float s, float x, float ankle) {
    SidePose p;
    p.hip = {x, ankle - 22.3f + 1.2f * std::fabs(s)};
    auto leg = [&](float f, Vec2& foot, float& toe) {
        foot.x = x - 10 * f;
        float lift = f >= 0 ? 4.5f * (1 - f) : 1.2f * -f;
        foot.y = ankle - lift;
        toe = f >= 0 ? -10 * f : 30 * -f;
    };
    leg(s, p.nearFoot, p.nearToe);
    leg(-s, p.farFoot, p.farToe);
    if (s == 0) {
        p.farFoot = {x + 1.5f, ankle};
        p.farToe = 0;
    }
    p.lean = 7;
    p.nearArm[0] = -40 * s;
    p.nearArm[1] = 45;
    p.farArm[0] = 40 * s;
    p.farArm[1] = 45;
    return p;
}

SidePose club(SidePose p, Vec2 handFromHip, float angle) {
    p.hold = Hold::Club;
    p.nearReach = true;
    p.nearHand = p.hip + handFromHip;
    p.holdAngle = angle;
    return p;
}

BackPose climbPose(int k) {
    float phi = 2 * kPi * k / 9.f;
    float c = std::cos(phi);
    BackPose p;
    p.hip = {51, 58.5f - 1.0f * std::sin(phi)};
    p.neck = {51, 37.5f - 1.0f * std::sin(phi)};
    // Opposite hand and foot reach together.
    p.leftHand = {41.5f, 17.f + 14.f * (0.5f - 0.5f * c)};
    p.rightHand = {60.5f, 17.f + 14.f * (0.5f + 0.5f * c)};
    p.leftFoot = {43.5f - 2.f * (0.5f + 0.5f * c), 82.f - 9.f * (0.5f + 0.5f * c)};
    p.rightFoot = {58.5f + 2.f * (0.5f - 0.5f * c), 82.f - 9.f * (0.5f - 0.5f * c)};
    return p;
}

void pool(Canvas& c, float x, float w) {
    paintFlatBlob(c, {x, 123.6f}, w, 2.0f, kBloodDark);
    paintFlatBlob(c, {x - w * 0.2f, 123.4f}, w * 0.55f, 1.1f, kBlood);
}

// A fountain of blood rising from a wound; height varies per frame.
void spurt(Canvas& c, Vec2 from, Vec2 dir, float height, uint32_t seed) {
    Noise rnd(seed);
    for (int i = 0; i < 10; ++i) {
        float t = (i + 1) / 10.f;
        Vec2 p = from + dir * (height * t) + Vec2{rnd.range(-1.5f, 1.5f) * t * 3, t * t * 4};
        float r = 2.3f - 1.3f * t + rnd.range(0, 0.6f);
        paintFlatBlob(c, p, r, r, i % 2 ? kBlood : rgb(200, 24, 28));
    }
    paintBlood(c, from + dir * (height * 0.9f), 7, seed + 7, 1.1f);
}

// Lying flat on the wall top, face down, head forward.
SidePose lying(float x) {
    SidePose p;
    p.hip = {x, 118.5f};
    p.lean = 88;
    p.headTilt = -10;
    p.nearFoot = {x + 23, 121.5f};
    p.farFoot = {x + 22, 120.5f};
    p.nearToe = 80;
    p.farToe = 80;
    p.nearArm[0] = 160;
    p.nearArm[1] = 5;
    p.farArm[0] = 150;
    p.farArm[1] = 10;
    return p;
}

SidePose falling(float x, float lean, float hipY) {
    SidePose p = standAt(x, kTopGround);
    p.hip.y = hipY;
    p.lean = lean;
    p.nearFoot = {x + 4, kTopGround};
    p.farFoot = {x + 8, kTopGround};
    p.nearToe = 20;
    p.farToe = 30;
    p.nearArm[0] = 60 + lean;
    p.nearArm[1] = 20;
    p.farArm[0] = 40 + lean;
    p.farArm[1] = 30;
    return p;
}

void drawSplit(Canvas& c, const SidePose& lowerPose, const SidePose& upperPose,
               const Look& look, uint32_t seed, bool bleed) {
    SidePose lo = lowerPose;
    lo.upper = false;
    drawSideFigure(c, lo, look);
    if (bleed) paintBlood(c, lo.hip + Vec2{0, -3}, 6, seed, 0.8f);
    SidePose up = upperPose;
    up.lower = false;
    SideJoints j = drawSideFigure(c, up, look);
    if (bleed) paintBlood(c, j.hip, 6, seed + 1, 0.8f);
}
}  // namespace

void drawClimberCell(int cell, Canvas& c) {
    Look look = climberLook();
    if (cell <= 4) {
        static const float s[] = {0, 0.5f, 1.0f, -0.5f, -1.0f};
        drawSideFigure(c, walkAt(s[cell], 45, kFootGround), look);
        return;
    }
    if (cell <= 13) {
        drawBackFigure(c, climbPose(cell - 5), look);
        return;
    }
    switch (cell) {
        // Over the top; the wall's edge is at row 52 of these cells.
        case 14: {
            BackPose p;
            p.leftHand = {44, 51};
            p.rightHand = {58, 51};
            p.neck = {51, 69};
            p.hip = {51, 90};
            p.leftFoot = {48, 113};
            p.rightFoot = {55, 111};
            drawBackFigure(c, p, look);
            return;
        }
        case 15: {
            BackPose p;
            p.leftHand = {42, 51};
            p.rightHand = {60, 51};
            p.neck = {51, 60};
            p.hip = {51, 81};
            p.leftFoot = {46, 104};
            p.rightFoot = {57, 98};
            drawBackFigure(c, p, look);
            return;
        }
        case 16: {
            BackPose p;
            p.leftHand = {38, 52};
            p.rightHand = {64, 52};
            p.neck = {51, 45};
            p.hip = {52, 66};
            p.leftFoot = {47, 88};
            p.rightFoot = {63, 58};
            drawBackFigure(c, p, look);
            return;
        }
        case 17: {
            SidePose p;
            p.hip = {54, 45};
            p.lean = 55;
            p.headTilt = -25;
            p.nearFoot = {60, 47};
            p.nearToe = 70;
            p.farFoot = {56, 64};
            p.nearReach = p.farReach = true;
            p.nearHand = {36, 49};
            p.farHand = {40, 49};
            drawSideFigure(c, p, look);
            return;
        }
        case 18: {
            SidePose p;
            p.hip = {50, 38};
            p.lean = 22;
            p.headTilt = -10;
            p.nearFoot = {41, 48.5f};
            p.farFoot = {61, 46.5f};
            p.farToe = 75;
            p.nearReach = true;
            p.nearHand = {40, 36};
            p.farArm[0] = 20;
            p.farArm[1] = 30;
            drawSideFigure(c, p, look);
            return;
        }
        case 19: {
            SidePose p = standAt(47, 48.5f);
            p.hip = {48, 34};
            p.lean = 22;
            p.headTilt = 5;
            p.nearFoot = {41, 48.5f};
            p.farFoot = {55, 48.5f};
            p.farToe = 20;
            p.nearArm[0] = 35;
            p.nearArm[1] = 40;
            drawSideFigure(c, p, look);
            return;
        }
        case 20: {
            SidePose p = standAt(45, 48.5f);
            p.hip.y = 30.5f;
            p.lean = 12;
            p.headTilt = 8;
            p.nearArm[0] = 25;
            p.nearArm[1] = 50;
            p.farArm[0] = 10;
            p.farArm[1] = 50;
            drawSideFigure(c, p, look);
            return;
        }
        // On the wall top, club in hand.
        case 21: {
            SidePose p = standAt(46, kTopGround);
            p.nearFoot.x -= 4;
            p.lean = -8;
            drawSideFigure(c, club(p, {3, -29}, 105), look);
            return;
        }
        case 22: drawSideFigure(c, club(walkAt(0.7f, 45, kTopGround), {-5, -13}, 115), look); return;
        case 23: {
            SidePose p = standAt(45, kTopGround);
            p.nearFoot.x -= 5;
            drawSideFigure(c, club(p, {-4, -31}, 80), look);
            return;
        }
        case 24: {
            SidePose p = standAt(45, kTopGround);
            p.nearFoot.x -= 7;
            p.lean = 10;
            drawSideFigure(c, club(p, {-12, -24}, 30), look);
            return;
        }
        case 25: {
            SidePose p = walkAt(1.0f, 45, kTopGround);
            p.lean = 22;
            p.headTilt = 5;
            p.farArm[0] = -30;
            drawSideFigure(c, club(p, {-16, -14}, -12), look);
            return;
        }
        // Stroke A takes his arm.
        case 26: case 27: {
            SidePose p = standAt(cell == 26 ? 46.f : 49.f, kTopGround);
            p.lean = cell == 26 ? -12 : -20;
            p.nearArmless = true;
            p.farArm[0] = 70;
            p.farArm[1] = 60;
            if (cell == 27) {
                p.nearFoot.x -= 5;
                p.farFoot.x += 3;
            }
            SideJoints j = drawSideFigure(c, p, look);
            spurt(c, j.shoulder, Vec2{-0.6f, -0.8f}, cell == 26 ? 16.f : 11.f, 2600 + cell);
            return;
        }
        case 28: {
            SidePose p;
            p.hip = {49, 106};
            p.lean = 20;
            p.nearFoot = {40, kTopGround};
            p.farFoot = {60, kTopGround - 1};
            p.farToe = 80;
            p.nearArmless = true;
            p.farArm[0] = 30;
            p.farArm[1] = 40;
            SideJoints j = drawSideFigure(c, p, look);
            pool(c, 46, 8);
            spurt(c, j.shoulder, Vec2{-0.3f, -0.9f}, 8, 2801);
            return;
        }
        case 29: case 30: case 31: case 32: {
            SidePose p = cell == 29 ? falling(47, 45, 108) : cell == 30 ? falling(47, 70, 113) : lying(50);
            p.nearArmless = true;
            if (cell == 32) p.hip.y += 0.5f;
            pool(c, 40, cell >= 31 ? 16.f : 9.f);
            SideJoints j = drawSideFigure(c, p, look);
            paintBlood(c, j.shoulder, 5, 2900 + cell, 0.6f);
            return;
        }
        // Stroke C takes his head.
        case 33: case 34: case 35: case 36: case 37: case 38: {
            SidePose p = standAt(45, kTopGround);
            p.headless = true;
            static const float sway[] = {0, -4, 3, -2, 4, 0};
            p.lean = sway[cell - 33];
            p.nearArm[0] = 20 + sway[cell - 33] * 3;
            p.farArm[0] = -15 - sway[cell - 33] * 3;
            if (cell == 38) {
                p.hip.y += 9;
                p.lean = 25;
            }
            SideJoints j = drawSideFigure(c, p, look);
            static const float h[] = {20, 14, 22, 12, 18, 8};
            spurt(c, j.neck, Vec2{-0.2f, -1.f}, h[cell - 33], 3300 + cell);
            if (cell >= 35) pool(c, 44, 6 + (cell - 35) * 2.f);
            return;
        }
        case 39: case 40: case 41: {
            SidePose p = cell == 39 ? falling(47, 45, 110) : cell == 40 ? falling(47, 72, 114) : lying(50);
            p.headless = true;
            pool(c, 38, cell == 41 ? 18.f : 10.f);
            SideJoints j = drawSideFigure(c, p, look);
            paintBlood(c, j.neck, 6, 3900 + cell, 0.7f);
            return;
        }
        // Stroke B cuts him in two at the waist.
        case 45: {
            SidePose lo = standAt(45, kTopGround);
            SidePose up = lo;
            up.hip += Vec2{-2.5f, -0.5f};
            up.lean = 5;
            up.farArm[0] = 30;
            up.nearArm[0] = 50;
            drawSplit(c, lo, up, look, 4500, true);
            paintFlatLimb(c, lo.hip + Vec2{-7, -1}, lo.hip + Vec2{7, -1}, 1.2f, 1.2f, kBlood, 1, true);
            return;
        }
        case 46: case 47: case 48: case 49: case 50: {
            int k = cell - 46;
            SidePose lo = standAt(45, kTopGround);
            if (k >= 1) {
                lo.hip.y += 4.f * k;
                lo.nearFoot.x -= 2.f * k;
                lo.farFoot.x += 2.f * k;
            }
            if (k >= 3) lo = lying(42), lo.hip = {40, 119}, lo.lean = 90;
            SidePose up = standAt(45, kTopGround);
            static const Vec2 shift[] = {{4, 2}, {10, 9}, {15, 16}, {17, 18}, {17, 18.5f}};
            static const float lean[] = {-22, -50, -80, -90, -90};
            up.hip += shift[k];
            up.lean = lean[k];
            up.nearArm[0] = 80 + k * 20.f;
            up.farArm[0] = 60 + k * 20.f;
            pool(c, 52, 6 + 3.f * k);
            if (k >= 3) {
                // The legs lie as they fell: draw them without a torso.
                lo.upper = false;
            }
            drawSplit(c, lo, up, look, 4600 + k, true);
            return;
        }
        default: drawSideFigure(c, standAt(45, kTopGround), look); return;
    }
}
