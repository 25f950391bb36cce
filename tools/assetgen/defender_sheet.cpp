// The defender: standing, running, carrying and dropping balls, the chainsaw and its three
// strokes, dying, and the herald who opens the first level. Feet stand at cell row 64 and
// the body's centre line at column 45, except where a row's hot spot moves the drawing
// (the strokes and two running frames), so the figure stays put on screen.
#include <cmath>

#include "figure.h"
#include "sheets.h"

namespace {
constexpr float kGround = 59.5f;  // ankle height when a foot is planted

SidePose stand(float x = 45) {
    SidePose p;
    p.hip = {x, 37.0f};
    p.nearFoot = {x - 3.5f, kGround};
    p.farFoot = {x + 4.0f, kGround};
    p.nearArm[0] = 8;
    p.nearArm[1] = 14;
    p.farArm[0] = -6;
    p.farArm[1] = 14;
    return p;
}

// A stride: s = +1 near leg forward, -1 far leg forward, 0 legs passing.
void stride(SidePose& p, float s, float reach, float x) {
    float hipDrop = 1.5f * std::fabs(s);
    p.hip = {x, 37.2f + hipDrop};
    auto leg = [&](float f, Vec2& foot, float& toe) {
        foot.x = x - reach * f + (f < 0 ? 1.5f : 0);
        float lift = f >= 0 ? 5.5f * (1 - f) : 1.5f * -f;
        if (f >= 0 && f < 0.1f) lift = 5.5f;
        foot.y = kGround - lift;
        toe = f >= 0 ? -12 * f : 35 * -f;
    };
    leg(s, p.nearFoot, p.nearToe);
    leg(-s * 0.9f, p.farFoot, p.farToe);
    if (s == 0) {
        // Passing: the far leg carries the weight under the body.
        p.farFoot = {x + 1.5f, kGround};
        p.farToe = 0;
    }
}

SidePose run(float s, float x = 45) {
    SidePose p;
    stride(p, s, 11, x);
    p.lean = 14;
    p.nearArm[0] = -55 * s;
    p.nearArm[1] = 85;
    p.farArm[0] = 55 * s;
    p.farArm[1] = 85;
    return p;
}

SidePose withBall(SidePose p, Vec2 handFromHip) {
    p.hold = Hold::Ball;
    p.nearReach = p.farReach = true;
    p.nearHand = p.hip + handFromHip;
    p.farHand = p.hip + handFromHip + Vec2{2.5f, -1.0f};
    return p;
}

SidePose withSaw(SidePose p, Vec2 gripFromHip, float angle, bool blur = false) {
    p.hold = Hold::Chainsaw;
    p.nearReach = true;
    p.nearHand = p.hip + gripFromHip;
    p.holdAngle = angle;
    p.sawBlur = blur;
    return p;
}

SidePose lunge(float x, float depth) {
    SidePose p;
    p.hip = {x - depth * 3, 38.0f + depth * 2.5f};
    p.nearFoot = {x - 7 - depth * 9, kGround};
    p.nearToe = -8;
    p.farFoot = {x + 8 + depth * 2, kGround};
    p.farToe = 25;
    p.lean = 10 + depth * 14;
    return p;
}

void motionLines(Canvas& c, Vec2 from, Vec2 to, int count) {
    for (int i = 0; i < count; ++i) {
        Vec2 off{0, (i - (count - 1) * 0.5f) * 4.f};
        paintFlatLimb(c, from + off, to + off, 0.6f, 0.6f, rgb(240, 240, 255), 0.7f);
    }
}

SidePose defenderPose(int cell) {
    switch (cell) {
        case 0: return stand();
        case 1: { SidePose p = run(0.35f); p.lean = 8; return p; }
        case 2: { SidePose p = run(-0.6f); p.lean = 12; return p; }
        case 3: return run(0);
        case 4: return run(0.35f);
        case 5: return run(0.7f);
        case 6: return run(1.0f);
        case 7: return run(-0.35f);
        case 8: return run(-0.7f);
        case 9: return run(-1.0f);
        case 10: case 11: case 12: case 13: case 14: case 15: case 16: {
            static const float s[] = {0, 0.35f, 0.7f, 1.0f, -0.35f, -0.7f, -1.0f};
            float x = (cell == 15 || cell == 16) ? 62.f : 45.f;
            SidePose p;
            stride(p, s[cell - 10], 8, x);
            p.lean = 8;
            return withBall(p, {-9.5f, -8.5f});
        }
        case 17: return withBall(stand(), {-9.0f, -9.5f});
        case 18: {
            SidePose p = withBall(stand(), {-7, -19});
            p.lean = -4;
            return p;
        }
        case 19: {
            SidePose p = withBall(stand(), {-3, -26});
            p.lean = -10;
            p.headTilt = -15;
            p.hip.y += 0.5f;
            return p;
        }
        case 20: {
            SidePose p = stand();
            p.lean = 18;
            p.headTilt = 15;
            p.nearReach = p.farReach = true;
            p.nearHand = p.hip + Vec2{-11, -8};
            p.farHand = p.hip + Vec2{-8, -10};
            return p;
        }
        case 21: {
            SidePose p = stand();
            p.lean = 28;
            p.headTilt = 25;
            p.hip.y += 1;
            p.nearReach = p.farReach = true;
            p.nearHand = p.hip + Vec2{-14, 2};
            p.farHand = p.hip + Vec2{-11, 1};
            return p;
        }
        case 22: {
            SidePose p = stand();
            p.lean = -6;
            p.headTilt = -30;
            p.nearReach = p.farReach = true;
            p.nearHand = p.hip + Vec2{-5, -35};
            p.farHand = p.hip + Vec2{3, -35};
            return p;
        }
        case 23: { SidePose p = stand(); p.lean = 6; p.nearFoot.x -= 3; return withSaw(p, {-8, -4}, 8); }
        case 24: return withSaw(run(0.35f), {-8, -5}, 8);
        case 25: return withSaw(run(0.7f), {-8, -5}, 8);
        case 26: return withSaw(run(1.0f), {-8, -5}, 8);
        case 27: return withSaw(run(-0.5f), {-8, -5}, 8);
        case 28: return withSaw(run(-1.0f), {-8, -5}, 8);
        // Stroke A: a rising slash from low in front.
        case 29: { SidePose p = lunge(65, 0.2f); return withSaw(p, {-5, 1}, -28); }
        case 30: { SidePose p = lunge(65, 0.8f); return withSaw(p, {-14, -5}, 0, true); }
        case 31: { SidePose p = lunge(65, 0.9f); return withSaw(p, {-13, -10}, 35, true); }
        case 32: { SidePose p = lunge(65, 0.6f); p.lean = 4; return withSaw(p, {-9, -16}, 48); }
        // Stroke B: the saw revs, then a straight thrust.
        case 33: { SidePose p = lunge(75, 0.3f); return withSaw(p, {-10, -5}, 0); }
        case 48: {
            SidePose p = lunge(75, 0.3f);
            p.hip.y -= 0.5f;
            return withSaw(p, {-10, -6}, 2, true);
        }
        case 34: { SidePose p = lunge(75, 0.8f); return withSaw(p, {-15, -6}, -2, true); }
        case 35: { SidePose p = lunge(75, 1.0f); p.lean = 30; return withSaw(p, {-18, -6}, -4, true); }
        // Stroke C: a high sweep at head height.
        case 36: {
            SidePose p = stand(90);
            p.farFoot.x = 95;
            p.lean = -8;
            return withSaw(p, {-6, -16}, 58);
        }
        case 37: {
            SidePose p = stand(90);
            p.farFoot.x = 95;
            return withSaw(p, {-11, -20}, 30, true);
        }
        case 38: {
            SidePose p = lunge(90, 0.5f);
            p.farFoot.x = 95;
            return withSaw(p, {-15, -22}, 6, true);
        }
        case 39: {
            SidePose p = lunge(90, 0.8f);
            p.farFoot.x = 94;
            p.lean = 24;
            return withSaw(p, {-17, -19}, -8, true);
        }
        case 40: {
            // Drawn facing right by the game, so the body sits where a mirrored figure
            // standing at column 45 would be.
            SidePose p = stand(57);
            p.headTilt = -25;
            p.lean = -4;
            SidePose q = withSaw(p, {-4, -32}, 0);
            return q;
        }
        case 41: {
            SidePose p = stand();
            p.lean = -24;
            p.headTilt = -20;
            p.hip = {47, 38.5f};
            p.nearFoot = {42, kGround - 2};
            p.nearToe = -20;
            p.nearArm[0] = 140;
            p.nearArm[1] = 20;
            p.farArm[0] = 110;
            p.farArm[1] = 30;
            return p;
        }
        case 42: {
            SidePose p;
            p.hip = {50, 50.f};
            p.lean = -62;
            p.headTilt = -10;
            p.nearFoot = {36, kGround};
            p.farFoot = {40, kGround - 1};
            p.nearToe = -30;
            p.farToe = -10;
            p.nearArm[0] = 150;
            p.nearArm[1] = 10;
            p.farArm[0] = 170;
            p.farArm[1] = 10;
            return p;
        }
        case 43: {
            SidePose p = stand();
            p.lean = -4;
            p.hold = Hold::Trumpet;
            p.nearReach = true;
            p.nearHand = p.hip + Vec2{-12, -23};
            p.farArm[0] = -5;
            p.farArm[1] = 60;
            return p;
        }
        default: return stand();
    }
}
}  // namespace

void drawDefenderCell(int cell, Canvas& c) {
    SidePose pose = defenderPose(cell);
    if (cell == 43) {
        // The herald stands on the tower with his feet at screen row 56 and the game puts
        // the cell's top at row -10: drawn a little smaller so his plume stays on screen.
        Canvas full(c.width(), c.height());
        drawSideFigure(full, pose, heraldLook());
        c.drawScaled(full, 0.86f, {45, 64}, {46, 66.5f});
        return;
    }
    Look look = cell == 43 ? heraldLook() : defenderLook();
    SideJoints j = drawSideFigure(c, pose, look);
    switch (cell) {
        case 30: motionLines(c, j.nearHand + Vec2{-4, -14}, j.nearHand + Vec2{-30, -14}, 2); break;
        case 31: motionLines(c, j.nearHand + Vec2{-10, -22}, j.nearHand + Vec2{-28, -10}, 2); break;
        case 34: motionLines(c, j.hip + Vec2{14, -16}, j.hip + Vec2{26, -16}, 3); break;
        case 35: motionLines(c, j.hip + Vec2{12, -16}, j.hip + Vec2{27, -16}, 3); break;
        case 38: motionLines(c, j.nearHand + Vec2{-2, -22}, j.nearHand + Vec2{12, -36}, 2); break;
        case 39: motionLines(c, j.nearHand + Vec2{-6, -18}, j.nearHand + Vec2{-30, -12}, 2); break;
        case 41: paintBlood(c, j.head + Vec2{-3, -2}, 12, 4101, 1.f, {-0.5f, -0.4f}); break;
        case 42:
            paintBlood(c, j.head + Vec2{-2, 0}, 14, 4201, 1.2f, {0.2f, -0.6f});
            paintBlood(c, j.hip + Vec2{-4, -10}, 8, 4202);
            break;
        default: break;
    }
}
