#include "canvas.h"

#include <algorithm>

float sdSegment(Vec2 p, Vec2 a, Vec2 b, float* along) {
    Vec2 pa = p - a, ba = b - a;
    float len2 = dot(ba, ba);
    float h = len2 > 0 ? std::clamp(dot(pa, ba) / len2, 0.f, 1.f) : 0.f;
    if (along) *along = h;
    return length(pa - ba * h);
}

// A capsule whose two end circles differ in size: limbs that thin towards wrist and ankle.
float sdTaper(Vec2 p, Vec2 a, Vec2 b, float ra, float rb) {
    Vec2 ba = b - a;
    float h = dot(ba, ba);
    if (h < 1e-6f) return length(p - a) - std::max(ra, rb);
    Vec2 pa = p - a;
    Vec2 q{std::fabs(dot(pa, Vec2{ba.y, -ba.x})) / h, dot(pa, ba) / h};
    float bdiff = ra - rb;
    float c2 = h - bdiff * bdiff;
    if (c2 <= 0) return std::min(length(p - a) - ra, length(p - b) - rb);
    Vec2 c{std::sqrt(c2), bdiff};
    float k = c.x * q.y - c.y * q.x;
    float m = dot(c, q);
    float n = dot(q, q);
    if (k < 0.0f) return std::sqrt(h * n) - ra;
    if (k > c.x) return std::sqrt(h * (n + 1.0f - 2.0f * q.y)) - rb;
    return m - ra;
}

// Not an exact ellipse distance, but close enough near the edge for anti-aliasing.
float sdEllipse(Vec2 p, Vec2 c, float rx, float ry, float angle) {
    float ca = std::cos(angle), sa = std::sin(angle);
    Vec2 d = p - c;
    Vec2 q{d.x * ca + d.y * sa, -d.x * sa + d.y * ca};
    float k0 = length(Vec2{q.x / rx, q.y / ry});
    float k1 = length(Vec2{q.x / (rx * rx), q.y / (ry * ry)});
    if (k1 < 1e-6f) return -std::min(rx, ry);
    return k0 * (k0 - 1.0f) / k1;
}

float sdPolygon(Vec2 p, const std::vector<Vec2>& v) {
    size_t n = v.size();
    float d = dot(p - v[0], p - v[0]);
    float s = 1.0f;
    for (size_t i = 0, j = n - 1; i < n; j = i, i++) {
        Vec2 e = v[j] - v[i];
        Vec2 w = p - v[i];
        float t = std::clamp(dot(w, e) / std::max(dot(e, e), 1e-9f), 0.f, 1.f);
        Vec2 b = w - e * t;
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

float sdBox(Vec2 p, Vec2 centre, Vec2 half, float angle, float round) {
    float ca = std::cos(angle), sa = std::sin(angle);
    Vec2 d = p - centre;
    Vec2 q{std::fabs(d.x * ca + d.y * sa) - half.x + round,
           std::fabs(-d.x * sa + d.y * ca) - half.y + round};
    Vec2 qm{std::max(q.x, 0.f), std::max(q.y, 0.f)};
    return length(qm) + std::min(std::max(q.x, q.y), 0.f) - round;
}

Canvas::Canvas(int width, int height)
    : w_(width), h_(height), r_(size_t(width) * height), g_(r_.size()), b_(r_.size()),
      a_(r_.size()) {}

void Canvas::blend(int x, int y, Rgb c, float cover) {
    size_t i = idx(x, y);
    float k = 1 - cover;
    r_[i] = c.r * cover + r_[i] * k;
    g_[i] = c.g * cover + g_[i] * k;
    b_[i] = c.b * cover + b_[i] * k;
    a_[i] = cover + a_[i] * k;
}

void Canvas::fill(const Distance& d, const Shader& s, float x0, float y0, float x1, float y1,
                  float opacity) {
    x0 = x0 * zoom_ + offset_.x, x1 = x1 * zoom_ + offset_.x;
    y0 = y0 * zoom_ + offset_.y, y1 = y1 * zoom_ + offset_.y;
    int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    int ix1 = std::min(w_, int(std::ceil(x1)) + 1), iy1 = std::min(h_, int(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x) {
            Vec2 p = (Vec2{x + 0.5f, y + 0.5f} - offset_) * (1 / zoom_);
            float cover = std::clamp(0.5f - d(p) * zoom_, 0.f, 1.f) * opacity;
            if (cover <= 0) continue;
            blend(x, y, clampRgb(s(p)), cover);
        }
}

void Canvas::fillOnto(const Distance& d, const Shader& s, float x0, float y0, float x1,
                      float y1, float opacity) {
    x0 = x0 * zoom_ + offset_.x, x1 = x1 * zoom_ + offset_.x;
    y0 = y0 * zoom_ + offset_.y, y1 = y1 * zoom_ + offset_.y;
    int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    int ix1 = std::min(w_, int(std::ceil(x1)) + 1), iy1 = std::min(h_, int(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x) {
            size_t i = idx(x, y);
            if (a_[i] <= 0) continue;
            Vec2 p = (Vec2{x + 0.5f, y + 0.5f} - offset_) * (1 / zoom_);
            float cover = std::clamp(0.5f - d(p) * zoom_, 0.f, 1.f) * opacity;
            if (cover <= 0) continue;
            Rgb c = clampRgb(s(p));
            // Mix in the figure's own colour space so the coverage stays as it was.
            r_[i] = r_[i] * (1 - cover) + c.r * a_[i] * cover;
            g_[i] = g_[i] * (1 - cover) + c.g * a_[i] * cover;
            b_[i] = b_[i] * (1 - cover) + c.b * a_[i] * cover;
        }
}

void Canvas::fillAll(const Shader& s) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) blend(x, y, clampRgb(s(Vec2{x + 0.5f, y + 0.5f})), 1.f);
}

Rgb Canvas::colour(int x, int y) const {
    size_t i = idx(x, y);
    if (a_[i] <= 0) return {};
    return {r_[i] / a_[i], g_[i] / a_[i], b_[i] / a_[i]};
}

void Canvas::toRgb(uint8_t* out, int stride, int dx, int dy) const {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            uint8_t* p = out + size_t(dy + y) * stride + size_t(dx + x) * 3;
            if (a_[idx(x, y)] < 0.5f) {
                p[0] = p[1] = p[2] = 0;
                continue;
            }
            Rgb c = clampRgb(colour(x, y));
            int r = int(c.r + 0.5f), g = int(c.g + 0.5f), b = int(c.b + 0.5f);
            if (r < 8 && g < 4 && b < 8) r = g = b = 8;
            p[0] = uint8_t(r);
            p[1] = uint8_t(g);
            p[2] = uint8_t(b);
        }
}

void Canvas::toRgbOpaque(uint8_t* out) const {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            size_t i = idx(x, y);
            Rgb c = clampRgb(Rgb{r_[i], g_[i], b_[i]});
            uint8_t* p = out + i * 3;
            p[0] = uint8_t(c.r + 0.5f);
            p[1] = uint8_t(c.g + 0.5f);
            p[2] = uint8_t(c.b + 0.5f);
        }
}

void Canvas::draw(const Canvas& src, int dx, int dy, bool mirror) {
    for (int y = 0; y < src.h_; ++y)
        for (int x = 0; x < src.w_; ++x) {
            int tx = dx + (mirror ? src.w_ - 1 - x : x), ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_) continue;
            size_t si = src.idx(x, y), di = idx(tx, ty);
            float k = 1 - src.a_[si];
            r_[di] = src.r_[si] + r_[di] * k;
            g_[di] = src.g_[si] + g_[di] * k;
            b_[di] = src.b_[si] + b_[di] * k;
            a_[di] = src.a_[si] + a_[di] * k;
        }
}

void Canvas::drawScaled(const Canvas& src, float scale, Vec2 from, Vec2 to) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    float sx = from.x + (x + (i + 0.5f) / 4 - to.x) / scale;
                    float sy = from.y + (y + (j + 0.5f) / 4 - to.y) / scale;
                    int ix = int(std::floor(sx)), iy = int(std::floor(sy));
                    if (ix < 0 || iy < 0 || ix >= src.w_ || iy >= src.h_) continue;
                    size_t si = src.idx(ix, iy);
                    r += src.r_[si];
                    g += src.g_[si];
                    b += src.b_[si];
                    a += src.a_[si];
                }
            if (a <= 0) continue;
            size_t di = idx(x, y);
            float k = 1 - a / 16;
            r_[di] = r / 16 + r_[di] * k;
            g_[di] = g / 16 + g_[di] * k;
            b_[di] = b / 16 + b_[di] * k;
            a_[di] = a / 16 + a_[di] * k;
        }
}

namespace {
float hash2(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / float(0x1000000);
}
}  // namespace

float valueNoise(float x, float y, float cell, uint32_t seed) {
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = hash2(ix, iy, seed), b = hash2(ix + 1, iy, seed);
    float c = hash2(ix, iy + 1, seed), d = hash2(ix + 1, iy + 1, seed);
    return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
}

float shade(float nx, float ny) {
    float nz2 = 1 - nx * nx - ny * ny;
    float nz = nz2 > 0 ? std::sqrt(nz2) : 0;
    // Light from the upper left, a little in front.
    const float lx = -0.45f, ly = -0.55f, lz = 0.70f;
    float lambert = std::max(0.f, nx * lx + ny * ly + nz * lz);
    float gloss = std::pow(std::max(0.f, lambert), 12.f) * 0.35f;
    return 0.50f + 0.62f * lambert + gloss;
}
