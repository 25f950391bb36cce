#include "paint.h"

#include <algorithm>

namespace {
void bounds(const std::vector<Vec2>& v, float pad, float& x0, float& y0, float& x1, float& y1) {
    x0 = y0 = 1e9f;
    x1 = y1 = -1e9f;
    for (auto p : v) {
        x0 = std::min(x0, p.x - pad);
        y0 = std::min(y0, p.y - pad);
        x1 = std::max(x1, p.x + pad);
        y1 = std::max(y1, p.y + pad);
    }
}
}  // namespace

Vec2 downDir(float deg) { return {-std::sin(rad(deg)), std::cos(rad(deg))}; }

Vec2 solveJoint(Vec2 root, Vec2 target, float l1, float l2, float bend) {
    Vec2 d = target - root;
    float dist = std::clamp(length(d), 0.001f, l1 + l2 - 0.001f);
    float a = (l1 * l1 - l2 * l2 + dist * dist) / (2 * dist);
    float h = std::sqrt(std::max(0.f, l1 * l1 - a * a));
    Vec2 u = d * (1.f / length(d));
    Vec2 n{-u.y * bend, u.x * bend};
    return root + u * a + n * h;
}

void paintLimb(Canvas& c, Vec2 a, Vec2 b, float ra, float rb, const Ink& ink) {
    float pad = std::max(ra, rb) + ink.lineWidth + 1;
    float x0 = std::min(a.x, b.x) - pad, x1 = std::max(a.x, b.x) + pad;
    float y0 = std::min(a.y, b.y) - pad, y1 = std::max(a.y, b.y) + pad;
    if (ink.lineWidth > 0)
        c.fill([&](Vec2 p) { return sdTaper(p, a, b, ra + ink.lineWidth, rb + ink.lineWidth); },
               [&](Vec2) { return ink.line; }, x0, y0, x1, y1);
    Vec2 ab = b - a;
    float len = std::max(length(ab), 1e-3f);
    Vec2 u = ab * (1 / len);
    Vec2 n{-u.y, u.x};
    c.fill([&](Vec2 p) { return sdTaper(p, a, b, ra, rb); },
           [&](Vec2 p) {
               float t = std::clamp(dot(p - a, u) / len, 0.f, 1.f);
               float r = ra + (rb - ra) * t;
               float off = std::clamp(dot(p - a, n) / std::max(r, 0.5f), -1.f, 1.f);
               // Rounded ends: lean the normal along the limb near its caps.
               float along = dot(p - a, u);
               float cap = 0;
               if (along < 0) cap = std::clamp(along / ra, -1.f, 0.f);
               if (along > len) cap = std::clamp((along - len) / rb, 0.f, 1.f);
               float nx = n.x * off + u.x * cap, ny = n.y * off + u.y * cap;
               float m = std::sqrt(nx * nx + ny * ny);
               if (m > 0.98f) {
                   nx *= 0.98f / m;
                   ny *= 0.98f / m;
               }
               return ink.fill * shade(nx, ny);
           },
           x0, y0, x1, y1);
}

void paintBlob(Canvas& c, Vec2 centre, float rx, float ry, float angle, const Ink& ink) {
    float pad = std::max(rx, ry) + ink.lineWidth + 1;
    float x0 = centre.x - pad, x1 = centre.x + pad, y0 = centre.y - pad, y1 = centre.y + pad;
    if (ink.lineWidth > 0)
        c.fill([&](Vec2 p) {
                   return sdEllipse(p, centre, rx + ink.lineWidth, ry + ink.lineWidth, angle);
               },
               [&](Vec2) { return ink.line; }, x0, y0, x1, y1);
    float ca = std::cos(angle), sa = std::sin(angle);
    c.fill([&](Vec2 p) { return sdEllipse(p, centre, rx, ry, angle); },
           [&](Vec2 p) {
               Vec2 d = p - centre;
               float qx = (d.x * ca + d.y * sa) / rx, qy = (-d.x * sa + d.y * ca) / ry;
               float nx = qx * ca - qy * sa, ny = qx * sa + qy * ca;
               float m = std::sqrt(nx * nx + ny * ny);
               if (m > 0.98f) {
                   nx *= 0.98f / m;
                   ny *= 0.98f / m;
               }
               return ink.fill * shade(nx, ny);
           },
           x0, y0, x1, y1);
}

void paintPolygon(Canvas& c, const std::vector<Vec2>& pts, const Ink& ink, float gloss) {
    float x0, y0, x1, y1;
    bounds(pts, ink.lineWidth + 1, x0, y0, x1, y1);
    if (ink.lineWidth > 0)
        c.fill([&](Vec2 p) { return sdPolygon(p, pts) - ink.lineWidth; },
               [&](Vec2) { return ink.line; }, x0, y0, x1, y1);
    float h = std::max(y1 - y0, 1.f);
    c.fill([&](Vec2 p) { return sdPolygon(p, pts); },
           [&](Vec2 p) {
               float t = (p.y - y0) / h;
               float edge = std::clamp(-sdPolygon(p, pts) / 2.5f, 0.f, 1.f);
               float k = 1.12f - 0.35f * t + gloss * (1 - edge) * 0.25f;
               return ink.fill * k;
           },
           x0, y0, x1, y1);
}

void paintFlatLimb(Canvas& c, Vec2 a, Vec2 b, float ra, float rb, Rgb colour, float opacity,
                   bool onto) {
    float pad = std::max(ra, rb) + 1;
    float x0 = std::min(a.x, b.x) - pad, x1 = std::max(a.x, b.x) + pad;
    float y0 = std::min(a.y, b.y) - pad, y1 = std::max(a.y, b.y) + pad;
    auto d = [&](Vec2 p) { return sdTaper(p, a, b, ra, rb); };
    auto s = [&](Vec2) { return colour; };
    if (onto)
        c.fillOnto(d, s, x0, y0, x1, y1, opacity);
    else
        c.fill(d, s, x0, y0, x1, y1, opacity);
}

void paintFlatPolygon(Canvas& c, const std::vector<Vec2>& pts, Rgb colour, float opacity,
                      bool onto) {
    float x0, y0, x1, y1;
    bounds(pts, 1, x0, y0, x1, y1);
    auto d = [&](Vec2 p) { return sdPolygon(p, pts); };
    auto s = [&](Vec2) { return colour; };
    if (onto)
        c.fillOnto(d, s, x0, y0, x1, y1, opacity);
    else
        c.fill(d, s, x0, y0, x1, y1, opacity);
}

void paintFlatBlob(Canvas& c, Vec2 centre, float rx, float ry, Rgb colour, float opacity,
                   bool onto) {
    float pad = std::max(rx, ry) + 1;
    auto d = [&](Vec2 p) { return sdEllipse(p, centre, rx, ry, 0); };
    auto s = [&](Vec2) { return colour; };
    if (onto)
        c.fillOnto(d, s, centre.x - pad, centre.y - pad, centre.x + pad, centre.y + pad,
                   opacity);
    else
        c.fill(d, s, centre.x - pad, centre.y - pad, centre.x + pad, centre.y + pad, opacity);
}

void paintIronBall(Canvas& c, Vec2 centre, float r) {
    Ink ink{rgb(112, 116, 132), rgb(42, 36, 52), 1.0f};
    paintBlob(c, centre, r, r, 0, ink);
    paintFlatBlob(c, centre + Vec2{-r * 0.35f, -r * 0.38f}, r * 0.22f, r * 0.16f,
                  rgb(235, 238, 250), 0.85f, true);
}

void paintChainsaw(Canvas& c, Vec2 grip, float angleDeg, float s, bool blur) {
    // Blade axis: forward (left) at angle 0, rotating counter-clockwise on screen for +.
    float a = rad(angleDeg);
    Vec2 u{-std::cos(a), -std::sin(a)};
    Vec2 n{u.y, -u.x};  // negative side is the top of the saw
    auto at = [&](float along, float side) { return grip + u * (along * s) + n * (side * s); };
    Ink bar{rgb(176, 182, 196), rgb(44, 38, 52), 1.0f};
    // Guide bar with its chain.
    paintLimb(c, at(4, 0), at(26, 0), 3.2f * s, 2.4f * s, bar);
    for (int i = 0; i < 9; ++i) {
        float t = 5.f + i * 2.6f;
        Rgb tooth = blur ? rgb(150, 150, 160) : rgb(70, 70, 84);
        paintFlatBlob(c, at(t, -3.0f + (i % 2) * 0.4f), 0.9f * s, 0.9f * s, tooth, 0.9f, true);
        paintFlatBlob(c, at(t + 1.3f, 3.0f - (i % 2) * 0.4f), 0.9f * s, 0.9f * s, tooth, 0.9f,
                      true);
    }
    // Motor housing in safety orange with a handle loop.
    Ink body{rgb(232, 120, 28), rgb(40, 26, 20), 1.1f};
    std::vector<Vec2> housing = {at(-9, -5), at(5, -5.5f), at(6, 4.5f), at(-9, 5)};
    paintPolygon(c, housing, body, 1.f);
    paintFlatLimb(c, at(-7, -1), at(3, -1), 1.2f * s, 1.2f * s, rgb(250, 190, 90), 0.8f, true);
    Ink handle{rgb(60, 58, 70), rgb(30, 24, 34), 0.9f};
    paintLimb(c, at(-8, -5), at(-3, -9), 1.3f * s, 1.3f * s, handle);
    paintLimb(c, at(-3, -9), at(3, -7), 1.3f * s, 1.3f * s, handle);
}

void paintBlood(Canvas& c, Vec2 centre, float size, uint32_t seed, float spread,
                Vec2 direction) {
    Noise rnd(seed);
    int blobs = 3 + int(size / 3);
    for (int i = 0; i < blobs; ++i) {
        float ang = rnd.range(0, 2 * kPi);
        float dist = rnd.range(0, size * 0.45f) * spread;
        Vec2 p = centre + Vec2{std::cos(ang) * dist, std::sin(ang) * dist * 0.8f} +
                 direction * rnd.range(0, size * 0.6f);
        float r = rnd.range(size * 0.12f, size * 0.3f);
        paintFlatBlob(c, p, r, r * rnd.range(0.7f, 1.f), i % 3 ? kBlood : kBloodDark);
    }
    int drops = 4 + int(size / 2);
    for (int i = 0; i < drops; ++i) {
        float ang = rnd.range(0, 2 * kPi);
        float dist = rnd.range(size * 0.4f, size * 0.9f) * spread;
        Vec2 p = centre + Vec2{std::cos(ang) * dist, std::sin(ang) * dist} +
                 direction * rnd.range(0, size);
        float r = rnd.range(0.8f, std::max(1.f, size * 0.09f));
        paintFlatBlob(c, p, r, r, kBlood);
    }
    paintFlatBlob(c, centre + Vec2{-size * 0.1f, -size * 0.12f}, size * 0.08f, size * 0.05f,
                  rgb(235, 90, 90), 0.7f, true);
}
