#pragma once
// A small floating-point painter: every shape is a signed distance function, so edges get
// exact anti-aliasing without supersampling, and colours are premultiplied so shapes blend
// only against what was painted before them, never against the transparent background.
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2& operator+=(Vec2& a, Vec2 b) { a.x += b.x; a.y += b.y; return a; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }
inline Vec2 lerp(Vec2 a, Vec2 b, float t) { return a + (b - a) * t; }

struct Rgb {
    float r = 0, g = 0, b = 0;  // 0..255
};
inline Rgb operator*(Rgb c, float s) { return {c.r * s, c.g * s, c.b * s}; }
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline Rgb rgb(int r, int g, int b) { return {float(r), float(g), float(b)}; }
inline Rgb clampRgb(Rgb c) {
    auto cl = [](float v) { return v < 0 ? 0.f : (v > 255 ? 255.f : v); };
    return {cl(c.r), cl(c.g), cl(c.b)};
}

// Signed distances (negative inside).
float sdSegment(Vec2 p, Vec2 a, Vec2 b, float* along = nullptr);
float sdTaper(Vec2 p, Vec2 a, Vec2 b, float ra, float rb);
float sdEllipse(Vec2 p, Vec2 c, float rx, float ry, float angle);
float sdPolygon(Vec2 p, const std::vector<Vec2>& v);
float sdBox(Vec2 p, Vec2 centre, Vec2 half, float angle, float round);

// How a shape is coloured: called per covered pixel with the pixel centre.
using Shader = std::function<Rgb(Vec2)>;
using Distance = std::function<float(Vec2)>;

class Canvas {
public:
    Canvas(int width, int height);
    int width() const { return w_; }
    int height() const { return h_; }

    // Shapes are given in drawing units; a view maps them to pixels as offset + zoom * unit,
    // so one drawing can be painted crisply at another size (the title's figures).
    void setView(float zoom, Vec2 offset) {
        zoom_ = zoom;
        offset_ = offset;
    }
    // Paints the shape over what is there, within the box [x0,x1)x[y0,y1) (clamped).
    void fill(const Distance& d, const Shader& s, float x0, float y0, float x1, float y1,
              float opacity = 1.0f);
    // Paints only where something is already painted (shading on top of a figure).
    void fillOnto(const Distance& d, const Shader& s, float x0, float y0, float x1, float y1,
                  float opacity);
    void fillAll(const Shader& s);

    // Blends one pixel (coverage 0..1); outside the canvas nothing happens.
    void blendPixel(int x, int y, Rgb c, float cover) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_ && cover > 0) blend(x, y, clampRgb(c), cover);
    }
    float alpha(int x, int y) const { return a_[idx(x, y)]; }
    Rgb colour(int x, int y) const;  // un-premultiplied

    // To 24-bit RGB. Pixels that are mostly transparent become black (the game's
    // transparent colour); the rest keep their own un-premultiplied colour, lifted out of
    // the range the game would read as transparent.
    void toRgb(uint8_t* out, int stride, int dx, int dy) const;
    // The opaque variant for full-screen pictures: composites over black.
    void toRgbOpaque(uint8_t* out) const;

    // Paints src shrunk or grown by scale so that src point `from` lands on `to`; each
    // target pixel averages a 4x4 grid of samples, so shrinking stays smooth.
    void drawScaled(const Canvas& src, float scale, Vec2 from, Vec2 to);
    // Paints another canvas over this one at (dx, dy).
    void draw(const Canvas& src, int dx, int dy, bool mirror = false);

private:
    size_t idx(int x, int y) const { return size_t(y) * w_ + x; }
    void blend(int x, int y, Rgb c, float cover);
    int w_, h_;
    float zoom_ = 1.f;
    Vec2 offset_{};
    std::vector<float> r_, g_, b_, a_;
};

// Deterministic small random generator for texture noise.
class Noise {
public:
    explicit Noise(uint32_t seed) : s_(seed ? seed : 1) {}
    uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    float unit() { return (next() & 0xFFFFFF) / float(0x1000000); }
    float range(float a, float b) { return a + (b - a) * unit(); }

private:
    uint32_t s_;
};

// Smooth value noise in 0..1 at (x, y) with the given cell size.
float valueNoise(float x, float y, float cell, uint32_t seed);

// Lambert-style shade factor for a surface whose normal leans by (nx, ny) in the picture
// plane (each -1..1); light comes from the upper left and the front.
float shade(float nx, float ny);

constexpr float kPi = 3.14159265f;
inline float rad(float deg) { return deg * kPi / 180.f; }
