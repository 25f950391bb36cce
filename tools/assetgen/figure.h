#pragma once
// The figure rig: one skeleton for defenders and climbers, posed per cell. Side views face
// left (the game mirrors them); the climbing back view has its own small rig.
#include "canvas.h"
#include "paint.h"

struct Look {
    Rgb skin, tunic, belt, legs, boots, hands, helmet, sleeve;
    Rgb beard{};
    bool horns = false;
    bool beardOn = false;
    bool plume = false;
    float bulk = 1.f;  // torso and limb thickness
};
Look defenderLook();
Look climberLook();
Look heraldLook();

enum class Hold { None, Ball, Chainsaw, Club, Trumpet };

struct SidePose {
    Vec2 hip{45, 38.5f};
    float lean = 0;      // torso, degrees from upright, positive leaning forward
    float headTilt = 0;  // degrees, positive looking down
    Vec2 nearFoot{43, 62}, farFoot{48, 62};  // ankle positions
    float nearToe = 0, farToe = 0;           // foot pitch, degrees, positive toe down
    // Arms by angle (upper from straight down, positive forward; elbow bend) unless a hand
    // target is given.
    float nearArm[2] = {10, 20}, farArm[2] = {-10, 20};
    bool nearReach = false, farReach = false;
    Vec2 nearHand{}, farHand{};
    Hold hold = Hold::None;
    float holdAngle = 0;  // chainsaw blade / club direction
    bool sawBlur = false;
    // Damage for the death cells.
    bool headless = false, nearArmless = false;
    bool upper = true, lower = true;  // cut in half: draw only one part
    float bloodAmount = 0;
};

// Joint positions after solving the pose; the cells use them to place blood and items.
struct SideJoints {
    Vec2 hip, neck, shoulder, head, nearHand, farHand, nearElbow, farElbow;
};

// A head turned by angle degrees (positive face down), for heads that fly off.
void drawHeadAt(Canvas& c, Vec2 centre, float angle, const Look& look);

SideJoints drawSideFigure(Canvas& c, const SidePose& pose, const Look& look);

struct BackPose {
    Vec2 hip{51, 58};
    Vec2 neck{51, 37};
    Vec2 leftHand{40, 14}, rightHand{62, 20};
    Vec2 leftFoot{44, 85}, rightFoot{58, 82};
    float headTurn = 0;  // -1..1, shows a bit of face on one side
};
void drawBackFigure(Canvas& c, const BackPose& pose, const Look& look);

// Body sizes shared by the poses.
constexpr float kThigh = 12.f, kShin = 12.f, kUpperArm = 10.f, kForearm = 9.5f;
constexpr float kTorso = 17.f;
