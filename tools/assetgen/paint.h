#pragma once
// Shaded, outlined primitives shared by every sheet.
#include <vector>

#include "canvas.h"

struct Ink {
    Rgb fill;
    Rgb line = rgb(40, 30, 46);
    float lineWidth = 1.1f;
};

// A limb from a (radius ra) to b (radius rb), shaded like a cylinder.
void paintLimb(Canvas& c, Vec2 a, Vec2 b, float ra, float rb, const Ink& ink);
// A shaded sphere-like ellipse.
void paintBlob(Canvas& c, Vec2 centre, float rx, float ry, float angle, const Ink& ink);
// A polygon with a soft top-to-bottom light ramp.
void paintPolygon(Canvas& c, const std::vector<Vec2>& pts, const Ink& ink, float gloss = 0.f);
// Flat detail without outline (stripes, eyes, highlights), optionally only onto paint.
void paintFlatLimb(Canvas& c, Vec2 a, Vec2 b, float ra, float rb, Rgb colour, float opacity = 1,
                   bool onto = false);
void paintFlatPolygon(Canvas& c, const std::vector<Vec2>& pts, Rgb colour, float opacity = 1,
                      bool onto = false);
void paintFlatBlob(Canvas& c, Vec2 centre, float rx, float ry, Rgb colour, float opacity = 1,
                   bool onto = false);

// Iron ball of radius r centred at c.
void paintIronBall(Canvas& c, Vec2 centre, float r);
// A chainsaw held at grip, blade pointing along angle (degrees, 0 = forward/left, 90 = up).
void paintChainsaw(Canvas& c, Vec2 grip, float angleDeg, float scale = 1.f, bool blur = false);
// A splash of blood: blobs and droplets around centre, reproducible by seed.
void paintBlood(Canvas& c, Vec2 centre, float size, uint32_t seed, float spread = 1.f,
                Vec2 direction = {0, 0});

// Two-bone reach: the middle joint for limbs of lengths l1, l2 from root to target; bend
// picks the side the joint points to (+1 or -1).
Vec2 solveJoint(Vec2 root, Vec2 target, float l1, float l2, float bend);
// Unit vector for an angle measured from straight down, positive towards the left.
Vec2 downDir(float deg);

const Rgb kBlood = rgb(178, 16, 18);
const Rgb kBloodDark = rgb(110, 10, 14);
