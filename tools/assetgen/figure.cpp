#include "figure.h"

#include <algorithm>
#include <vector>

Look defenderLook() {
    Look l;
    l.skin = rgb(238, 184, 146);
    l.tunic = rgb(52, 96, 196);
    l.belt = rgb(132, 88, 44);
    l.legs = rgb(96, 98, 118);
    l.boots = rgb(112, 70, 38);
    l.hands = rgb(150, 100, 56);
    l.helmet = rgb(184, 190, 206);
    l.sleeve = rgb(66, 112, 212);
    return l;
}

Look climberLook() {
    Look l;
    l.skin = rgb(204, 140, 100);
    l.tunic = rgb(120, 84, 46);
    l.belt = rgb(70, 50, 36);
    l.legs = rgb(70, 104, 60);
    l.boots = rgb(88, 60, 40);
    l.hands = rgb(204, 140, 100);
    l.helmet = rgb(150, 150, 162);
    l.sleeve = rgb(204, 140, 100);
    l.beard = rgb(140, 70, 36);
    l.horns = true;
    l.beardOn = true;
    l.bulk = 1.12f;
    return l;
}

Look heraldLook() {
    Look l = defenderLook();
    l.tunic = rgb(200, 40, 48);
    l.sleeve = rgb(230, 190, 60);
    l.legs = rgb(230, 190, 60);
    l.helmet = rgb(200, 40, 48);
    l.plume = true;
    return l;
}

namespace {
Vec2 rotF(Vec2 v, float deg) {
    // Positive turns the face (pointing left) downwards.
    float c = std::cos(rad(deg)), s = std::sin(rad(deg));
    return {v.x * c + v.y * s, -v.x * s + v.y * c};
}

Ink ink(Rgb c, float dim = 1.f) { return Ink{c * dim}; }

void drawLeg(Canvas& c, Vec2 hip, Vec2 foot, float toe, const Look& look, float dim) {
    float b = look.bulk;
    Vec2 knee = solveJoint(hip, foot, kThigh, kShin, +1);
    paintLimb(c, hip, knee, 3.7f * b, 3.0f * b, ink(look.legs, dim));
    paintLimb(c, knee, foot, 3.0f * b, 2.5f * b, ink(look.legs, dim));
    Vec2 cuff = lerp(knee, foot, 0.45f);
    paintLimb(c, cuff, foot, 2.9f * b, 2.6f * b, ink(look.boots, dim));
    Vec2 heel = foot + rotF(Vec2{1.6f, 0.6f}, toe);
    Vec2 tip = foot + rotF(Vec2{-5.2f, 1.2f}, toe);
    paintLimb(c, heel, tip, 2.5f * b, 2.0f * b, ink(look.boots, dim));
}

void drawArm(Canvas& c, Vec2 shoulder, Vec2 elbow, Vec2 hand, const Look& look, float dim) {
    float b = look.bulk;
    paintLimb(c, shoulder, elbow, 2.9f * b, 2.5f * b, ink(look.sleeve, dim));
    paintLimb(c, elbow, hand, 2.5f * b, 2.0f * b, ink(look.sleeve, dim));
    if (look.horns) {
        // Leather bracer on the climber's bare forearm.
        paintFlatLimb(c, lerp(elbow, hand, 0.35f), lerp(elbow, hand, 0.85f), 2.4f * b, 2.1f * b,
                      look.belt * (0.9f * dim), 1.f, true);
    } else {
        paintFlatLimb(c, lerp(elbow, hand, 0.7f), hand, 2.3f * b, 2.0f * b, look.hands * dim,
                      1.f, true);
    }
    paintBlob(c, hand, 2.4f * b, 2.3f * b, 0, ink(look.hands, dim));
}

void drawHead(Canvas& c, Vec2 head, float angle, const Look& look) {
    auto at = [&](float x, float y) { return head + rotF(Vec2{x, y}, angle); };
    const float base = -1.6f;  // brim line
    if (look.horns) {
        Ink horn{rgb(236, 226, 196)};
        paintLimb(c, at(3.5f, -4.5f), at(7.5f, -9.5f), 1.7f, 0.6f, horn);
    }
    paintBlob(c, head, 5.6f, 5.9f, 0, ink(look.skin));
    // Dome of the helmet or cap above the brim line.
    std::vector<Vec2> dome;
    float rx = 6.4f, ry = 5.0f;
    for (int i = 0; i <= 14; ++i) {
        float a = kPi + kPi * i / 14.f;
        dome.push_back(at(0.5f + std::cos(a) * rx, base + std::sin(a) * ry));
    }
    paintPolygon(c, dome, Ink{look.helmet}, 1.f);
    paintFlatLimb(c, at(-2.5f, -4.8f), at(1.5f, -5.6f), 0.9f, 0.7f, rgb(245, 245, 255), 0.6f,
                  true);
    if (look.horns) {
        Ink horn{rgb(236, 226, 196)};
        paintLimb(c, at(-3.5f, -4.5f), at(-7.0f, -10.0f), 1.7f, 0.6f, horn);
        paintLimb(c, at(-6.8f, base), at(7.2f, base), 0.9f, 0.9f, Ink{look.helmet * 0.8f, rgb(40, 30, 46), 0.8f});
    } else if (look.plume) {
        Ink feather{rgb(250, 245, 235)};
        paintLimb(c, at(1.5f, -5.0f), at(7.5f, -9.0f), 1.6f, 2.4f, feather);
        paintLimb(c, at(7.5f, -9.0f), at(11.0f, -7.0f), 2.4f, 0.8f, feather);
    } else {
        paintLimb(c, at(-8.6f, base), at(7.8f, base), 1.0f, 1.0f,
                  Ink{look.helmet * 0.92f, rgb(40, 30, 46), 0.8f});
    }
    // The face below the brim: brow shadow, eye, nose, mouth or beard.
    paintFlatLimb(c, at(-5.2f, base + 1.6f), at(-1.2f, base + 1.6f), 0.6f, 0.6f,
                  look.skin * 0.7f, 0.8f, true);
    paintFlatBlob(c, at(-3.2f, 1.3f), 0.9f, 1.1f, rgb(250, 250, 250), 1.f, true);
    paintFlatBlob(c, at(-3.6f, 1.4f), 0.6f, 0.8f, rgb(36, 28, 44), 1.f, true);
    paintBlob(c, at(-5.5f, 2.6f), 1.5f, 1.3f, 0, Ink{look.skin, look.skin * 0.55f, 0.6f});
    if (look.beardOn) {
        paintBlob(c, at(-1.8f, 5.0f), 4.2f, 2.6f, rad(-angle), Ink{look.beard, rgb(60, 30, 20), 0.8f});
        paintFlatLimb(c, at(-5.0f, 3.6f), at(-2.0f, 3.9f), 0.8f, 0.6f, look.beard, 1.f, true);
    } else {
        paintFlatLimb(c, at(-4.6f, 4.3f), at(-2.8f, 4.4f), 0.4f, 0.4f, look.skin * 0.55f, 1.f, true);
    }
}

void drawItem(Canvas& c, const SidePose& p, Vec2 hand, Vec2 head, float headAngle) {
    switch (p.hold) {
        case Hold::Ball: paintIronBall(c, hand + Vec2{-2.5f, -1.5f}, 6.5f); break;
        case Hold::Chainsaw: paintChainsaw(c, hand, p.holdAngle, 1.f, p.sawBlur); break;
        case Hold::Club: {
            float a = rad(p.holdAngle);
            Vec2 u{-std::cos(a), -std::sin(a)};
            Ink wood{rgb(150, 100, 54)};
            paintLimb(c, hand - u * 3.f, hand + u * 13.f, 1.5f, 2.3f, wood);
            paintBlob(c, hand + u * 15.5f, 3.9f, 3.6f, a, wood);
            Vec2 n{-u.y, u.x};
            for (int i = -1; i <= 1; i += 2)
                paintBlob(c, hand + u * 15.5f + n * (2.6f * i), 1.0f, 1.0f, 0,
                          Ink{rgb(190, 192, 204), rgb(44, 38, 52), 0.6f});
            paintBlob(c, hand + u * 19.2f, 1.0f, 1.0f, 0,
                      Ink{rgb(190, 192, 204), rgb(44, 38, 52), 0.6f});
            break;
        }
        case Hold::Trumpet: {
            auto at = [&](float x, float y) { return head + rotF(Vec2{x, y}, headAngle); };
            Ink brass{rgb(236, 190, 70), rgb(70, 44, 20), 0.9f};
            // The banner hangs from the tube.
            std::vector<Vec2> banner = {at(-9, -1), at(-21, -2), at(-21, 14), at(-15, 10),
                                        at(-9, 13)};
            paintPolygon(c, banner, Ink{rgb(200, 36, 44), rgb(70, 20, 24), 1.0f});
            paintFlatLimb(c, at(-16, 3), at(-14, 7), 2.0f, 2.0f, rgb(250, 214, 90), 1.f, true);
            paintLimb(c, at(-4.5f, 1.5f), at(-20, -2), 0.9f, 1.2f, brass);
            std::vector<Vec2> bell = {at(-19, -2.5f), at(-26, -7), at(-26, 4), at(-19, 0)};
            paintPolygon(c, bell, brass, 1.f);
            break;
        }
        case Hold::None: break;
    }
}
}  // namespace

void drawHeadAt(Canvas& c, Vec2 centre, float angle, const Look& look) {
    drawHead(c, centre, angle, look);
}

SideJoints drawSideFigure(Canvas& c, const SidePose& p, const Look& look) {
    SideJoints j;
    Vec2 up{-std::sin(rad(p.lean)), -std::cos(rad(p.lean))};
    j.hip = p.hip;
    j.neck = p.hip + up * kTorso;
    j.shoulder = p.hip + up * (kTorso - 2.8f);
    float headAngle = p.lean * 0.5f + p.headTilt;
    Vec2 headUp{-std::sin(rad(headAngle)), -std::cos(rad(headAngle))};
    j.head = j.neck + headUp * 6.2f;

    auto armJoints = [&](bool reach, Vec2 target, const float ang[2], Vec2& elbow, Vec2& hand) {
        if (reach) {
            hand = target;
            Vec2 d = target - j.shoulder;
            float len = length(d);
            if (len > kUpperArm + kForearm - 0.2f)
                hand = j.shoulder + d * ((kUpperArm + kForearm - 0.2f) / len);
            elbow = solveJoint(j.shoulder, hand, kUpperArm, kForearm, -1);
        } else {
            elbow = j.shoulder + downDir(ang[0]) * kUpperArm;
            hand = elbow + downDir(ang[0] + ang[1]) * kForearm;
        }
    };
    armJoints(p.nearReach, p.nearHand, p.nearArm, j.nearElbow, j.nearHand);
    if (p.hold == Hold::Chainsaw && !p.farReach) {
        float a = rad(p.holdAngle);
        Vec2 u{-std::cos(a), -std::sin(a)};
        Vec2 n{u.y, -u.x};
        armJoints(true, j.nearHand + n * -8.5f + u * 1.f, p.farArm, j.farElbow, j.farHand);
    } else {
        armJoints(p.farReach, p.farHand, p.farArm, j.farElbow, j.farHand);
    }

    const float far = 0.72f;
    float b = look.bulk;
    if (p.upper) drawArm(c, j.shoulder, j.farElbow, j.farHand, look, far);
    if (p.lower) {
        drawLeg(c, p.hip + Vec2{1.f, 0}, p.farFoot, p.farToe, look, far);
        paintBlob(c, p.hip + Vec2{0, 0.5f}, 5.0f * b, 4.4f * b, 0, ink(look.legs));
    }
    if (p.upper) {
        Vec2 chest = p.hip + up * (kTorso - 5.5f);
        paintLimb(c, p.hip + up * 1.5f, chest, 5.6f * b, 7.0f * b, ink(look.tunic));
        Vec2 side{-up.y, up.x};
        Vec2 beltC = p.hip + up * 2.2f;
        paintFlatLimb(c, beltC + side * (-6.5f * b), beltC + side * (6.5f * b), 1.4f, 1.4f,
                      look.belt, 1.f, true);
        paintFlatBlob(c, beltC + side * -0.5f + up * 0.f, 1.3f, 1.3f, rgb(230, 200, 90), 1.f,
                      true);
    }
    if (p.lower) drawLeg(c, p.hip + Vec2{-1.f, 0}, p.nearFoot, p.nearToe, look, 1.f);
    if (p.upper && !p.headless) {
        paintLimb(c, j.neck + up * -1.f, j.neck + headUp * 2.f, 2.4f * b, 2.3f * b,
                  ink(look.skin, 0.9f));
        drawHead(c, j.head, headAngle, look);
    }
    if (p.upper) {
        drawItem(c, p, j.nearHand, j.head, headAngle);
        if (!p.nearArmless) {
            drawArm(c, j.shoulder, j.nearElbow, j.nearHand, look, 1.f);
        }
    }
    return j;
}

void drawBackFigure(Canvas& c, const BackPose& p, const Look& look) {
    float b = look.bulk;
    Vec2 hipL = p.hip + Vec2{-4.5f * b, 0}, hipR = p.hip + Vec2{4.5f * b, 0};
    Vec2 shL = p.neck + Vec2{-7.f * b, 2.5f}, shR = p.neck + Vec2{7.f * b, 2.5f};
    auto leg = [&](Vec2 hip, Vec2 foot, float bend) {
        Vec2 knee = solveJoint(hip, foot, kThigh, kShin, bend);
        paintLimb(c, hip, knee, 3.8f * b, 3.1f * b, ink(look.legs));
        paintLimb(c, knee, foot, 3.1f * b, 2.6f * b, ink(look.legs));
        paintLimb(c, lerp(knee, foot, 0.45f), foot, 3.0f * b, 2.8f * b, ink(look.boots));
        // Seen from behind, the sole shows as a short dark bar.
        paintLimb(c, foot + Vec2{-2.f, 1.5f}, foot + Vec2{2.f, 1.5f}, 2.2f, 2.2f,
                  ink(look.boots, 0.8f));
    };
    // Knees and elbows point outwards, as on a ladder.
    leg(hipL, p.leftFoot, +1);
    leg(hipR, p.rightFoot, -1);
    // Torso from behind: a broad back tapering to the waist.
    std::vector<Vec2> back = {hipL + Vec2{-1.5f, 1.5f}, hipR + Vec2{1.5f, 1.5f},
                              shR + Vec2{2.0f, -1.0f}, p.neck + Vec2{3.f, -1.f},
                              p.neck + Vec2{-3.f, -1.f}, shL + Vec2{-2.0f, -1.0f}};
    paintPolygon(c, back, Ink{look.tunic}, 0.5f);
    paintFlatLimb(c, lerp(shL, hipL, 0.15f) + Vec2{3, 0}, lerp(shR, hipR, 0.15f) + Vec2{-3, 0},
                  1.0f, 1.0f, look.tunic * 0.75f, 0.8f, true);
    paintFlatLimb(c, hipL + Vec2{-1.f, -2.f}, hipR + Vec2{1.f, -2.f}, 1.5f, 1.5f, look.belt, 1.f,
                  true);
    // Arms raised towards the viewer's eye look longer than in the side view.
    auto arm = [&](Vec2 sh, Vec2 hand, float bend) {
        Vec2 elbow = solveJoint(sh, hand, kUpperArm * 1.15f, kForearm * 1.15f, bend);
        paintLimb(c, sh, elbow, 3.0f * b, 2.6f * b, ink(look.sleeve));
        paintLimb(c, elbow, hand, 2.6f * b, 2.1f * b, ink(look.sleeve));
        if (look.horns)
            paintFlatLimb(c, lerp(elbow, hand, 0.35f), lerp(elbow, hand, 0.85f), 2.5f * b,
                          2.2f * b, look.belt * 0.9f, 1.f, true);
        paintBlob(c, hand, 2.6f * b, 2.5f * b, 0, ink(look.hands));
    };
    arm(shL, p.leftHand, -1);
    arm(shR, p.rightHand, +1);
    Vec2 head = p.neck + Vec2{p.headTurn * 1.5f, -6.0f};
    paintLimb(c, p.neck + Vec2{0, 1}, head, 2.6f * b, 2.4f * b, ink(look.skin, 0.9f));
    paintBlob(c, head, 5.6f, 5.9f, 0, ink(look.skin));
    if (look.beardOn)
        paintFlatBlob(c, head + Vec2{0, 3.5f}, 4.0f, 2.0f, look.beard, 1.f, true);
    std::vector<Vec2> dome;
    for (int i = 0; i <= 14; ++i) {
        float a = kPi + kPi * i / 14.f;
        dome.push_back(head + Vec2{std::cos(a) * 6.5f, 0.5f + std::sin(a) * 6.2f});
    }
    if (look.horns) {
        Ink horn{rgb(236, 226, 196)};
        paintLimb(c, head + Vec2{-5, -3}, head + Vec2{-10, -8}, 1.8f, 0.6f, horn);
        paintLimb(c, head + Vec2{5, -3}, head + Vec2{10, -8}, 1.8f, 0.6f, horn);
    }
    paintPolygon(c, dome, Ink{look.helmet}, 1.f);
    paintLimb(c, head + Vec2{-7, 0.5f}, head + Vec2{7, 0.5f}, 1.1f, 1.1f,
              Ink{look.helmet * 0.8f});
}
