// The picture generator's painter, rig helpers and PNG encoder, tested on tiny pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "paint.h"
#include "png.h"


namespace {
std::vector<uint8_t> toRgb(const Canvas& c) {
    std::vector<uint8_t> out(size_t(c.width()) * c.height() * 3);
    c.toRgb(out.data(), c.width() * 3, 0, 0);
    return out;
}

void paintCircle(Canvas& c, Vec2 centre, float r, Rgb colour) {
    c.fill([&](Vec2 p) { return length(p - centre) - r; }, [&](Vec2) { return colour; },
           centre.x - r, centre.y - r, centre.x + r, centre.y + r);
}
}  // namespace

TEST(AssetPainter, DistanceFunctionsAreNegativeInsideAndZeroOnTheEdge) {
    struct Case {
        const char* what;
        float inside, edge, outside;
    };
    const std::vector<Vec2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Case cases[] = {
        {"capsule", sdSegment({5, 0}, {0, 0}, {10, 0}) - 3, sdSegment({5, 3}, {0, 0}, {10, 0}) - 3,
         sdSegment({14, 0}, {0, 0}, {10, 0}) - 3},
        {"taper", sdTaper({0, 1}, {0, 0}, {20, 0}, 4, 2), sdTaper({0, 4}, {0, 0}, {20, 0}, 4, 2),
         sdTaper({23, 0}, {0, 0}, {20, 0}, 4, 2)},
        {"ellipse", sdEllipse({1, 1}, {0, 0}, 8, 4, 0), sdEllipse({8, 0}, {0, 0}, 8, 4, 0),
         sdEllipse({0, 6}, {0, 0}, 8, 4, 0)},
        {"polygon", sdPolygon({5, 5}, square), sdPolygon({10, 5}, square),
         sdPolygon({12, 5}, square)},
        {"box", sdBox({0, 0}, {0, 0}, {5, 3}, 0, 0), sdBox({5, 0}, {0, 0}, {5, 3}, 0, 0),
         sdBox({0, 5}, {0, 0}, {5, 3}, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LT(c.inside, 0.f);
        EXPECT_NEAR(c.edge, 0.f, 0.05f);
        EXPECT_GT(c.outside, 0.f);
    }
    // Exact distances where they matter for anti-aliasing.
    EXPECT_NEAR(sdPolygon({12, 5}, square), 2.f, 1e-4f);
    EXPECT_NEAR(sdTaper({-3, 0}, {0, 0}, {20, 0}, 4, 2), -1.f, 1e-3f);
    EXPECT_NEAR(sdTaper({20, 5}, {0, 0}, {20, 0}, 4, 2), 3.f, 0.15f);
    // A rotated box: its long side now runs vertically.
    EXPECT_LT(sdBox({0, 4}, {0, 0}, {5, 1}, kPi / 2, 0), 0.f);
    EXPECT_GT(sdBox({4, 0}, {0, 0}, {5, 1}, kPi / 2, 0), 0.f);
}

// Sprites must not blend their edges towards the black background: on screen that would
// show as a dark fringe on every figure, and a blend darker than the key would punch holes.
TEST(AssetPainter, EdgesKeepTheirOwnColourAndFaintPixelsBecomeTransparent) {
    Canvas c(32, 32);
    paintCircle(c, {16, 16}, 9.3f, rgb(250, 240, 230));
    auto rgbOut = toRgb(c);
    int visible = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint8_t* p = &rgbOut[(size_t(y) * 32 + x) * 3];
            if ((p[0] | p[1] | p[2]) == 0) {
                EXPECT_LT(c.alpha(x, y), 0.5f) << x << "," << y;
                continue;
            }
            ++visible;
            EXPECT_GE(c.alpha(x, y), 0.5f);
            EXPECT_LE(std::abs(p[0] - 250) + std::abs(p[1] - 240) + std::abs(p[2] - 230), 2) << x << "," << y;
        }
    // About the circle's area: the threshold keeps the shape's size.
    EXPECT_NEAR(visible, kPi * 9.3f * 9.3f, 12);
}

TEST(AssetPainter, OverlappingShapesBlendWithEachOtherOnly) {
    Canvas c(40, 20);
    paintCircle(c, {14, 10}, 8, rgb(20, 40, 240));
    paintCircle(c, {24, 10}, 8, rgb(240, 30, 20));
    auto out = toRgb(c);
    bool mixed = false;
    for (int x = 0; x < 40; ++x) {
        // Every pixel along the middle is red, blue or a mix: their sum stays bright.
        const uint8_t* p = &out[(size_t(10) * 40 + x) * 3];
        EXPECT_TRUE((p[0] | p[1] | p[2]) == 0 || p[0] + p[2] >= 240) << "column " << x;
        // Higher up the seam between them is anti-aliased: some pixel is a true mix.
        const uint8_t* q = &out[(size_t(4) * 40 + x) * 3];
        mixed |= q[0] > 60 && q[2] > 60;
    }
    EXPECT_TRUE(mixed);
}

TEST(AssetPainter, DarkColoursAreLiftedOutOfTheTransparentKey) {
    struct Case {
        Rgb colour;
        bool lifted;
    };
    const Case cases[] = {{rgb(0, 0, 0), true},     {rgb(7, 3, 7), true},  {rgb(8, 0, 0), false},
                          {rgb(0, 4, 0), false},    {rgb(0, 0, 8), false}, {rgb(5, 2, 6), true}};
    for (const auto& k : cases) {
        Canvas c(4, 4);
        c.fill([](Vec2) { return -5.f; }, [&](Vec2) { return k.colour; }, 0, 0, 4, 4);
        auto out = toRgb(c);
        bool keyed = out[0] < 8 && out[1] < 4 && out[2] < 8;
        EXPECT_FALSE(keyed) << k.colour.r << "," << k.colour.g << "," << k.colour.b;
        EXPECT_EQ(out[0] == 8 && out[1] == 8 && out[2] == 8, k.lifted);
    }
}

TEST(AssetPainter, PaintingOntoAFigureLeavesItsOutlineAlone) {
    Canvas c(20, 20);
    paintCircle(c, {10, 10}, 6, rgb(100, 100, 100));
    float before = c.alpha(10, 3);
    c.fillOnto([](Vec2) { return -10.f; }, [](Vec2) { return rgb(200, 0, 0); }, 0, 0, 20, 20,
               1.f);
    EXPECT_FLOAT_EQ(c.alpha(10, 3), before);
    EXPECT_FLOAT_EQ(c.alpha(1, 1), 0.f);  // nothing appears where nothing was
    EXPECT_NEAR(c.colour(10, 10).r, 200, 0.5f);
}

TEST(AssetPainter, ScaledDrawingKeepsTheAnchorAndShrinksTheShape) {
    Canvas src(40, 40), dst(40, 40);
    src.fill([](Vec2 p) { return sdBox(p, {20, 20}, {10, 10}, 0, 0); },
             [](Vec2) { return rgb(200, 200, 200); }, 0, 0, 40, 40);
    dst.drawScaled(src, 0.5f, {20, 30}, {20, 30});
    int minX = 40, maxX = -1, minY = 40, maxY = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (dst.alpha(x, y) >= 0.5f)
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = y;
    // The 20-pixel square becomes 10 pixels, its bottom edge staying on the anchor row 30.
    EXPECT_EQ((std::vector<int>{minX, maxX, minY, maxY}), (std::vector<int>{15, 24, 20, 29}));
}

TEST(AssetRig, JointsKeepTheLimbLengthsAndBendToTheAskedSide) {
    struct Case {
        Vec2 root, target;
        float bend;
    };
    const Case cases[] = {{{0, 0}, {0, 20}, +1}, {{0, 0}, {0, 20}, -1}, {{5, 5}, {20, 9}, +1},
                          {{5, 5}, {-8, -9}, -1}};
    for (const auto& k : cases) {
        Vec2 j = solveJoint(k.root, k.target, 12, 12, k.bend);
        EXPECT_NEAR(length(j - k.root), 12, 1e-3f);
        EXPECT_NEAR(length(j - k.target), 12, 1e-3f);
        Vec2 d = k.target - k.root, e = j - k.root;
        float side = d.x * e.y - d.y * e.x;
        EXPECT_GT(side * k.bend, 0) << "bend " << k.bend;
    }
    // Out of reach: the limb straightens towards the target instead of failing.
    Vec2 j = solveJoint({0, 0}, {0, 100}, 12, 12, 1);
    EXPECT_NEAR(j.x, 0, 0.2f);
    EXPECT_NEAR(j.y, 12, 0.2f);
    // Knees of a standing figure point forward, which is to the left.
    EXPECT_LT(solveJoint({45, 37}, {45, 59}, 12, 12, +1).x, 45);
}

namespace {
uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Bit-by-bit CRC, written independently of the encoder's table.
uint32_t slowCrc(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}
}  // namespace

// A PNG viewer rejects a file with one wrong checksum or length, so each is checked and the
// stored pixel rows are read back.
TEST(AssetPng, ChunksChecksumsAndStoredRowsAreValid) {
    for (auto [w, h] : {std::pair{3, 2}, std::pair{300, 250}}) {
        std::vector<uint8_t> rgb(size_t(w) * h * 3);
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 31 + i / 7);
        std::vector<uint8_t> png = encodePng(rgb.data(), w, h);
        const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_TRUE(std::equal(sig, sig + 8, png.begin()));
        size_t at = 8;
        std::vector<uint8_t> idat;
        std::vector<std::string> types;
        while (at < png.size()) {
            uint32_t len = be32(png, at);
            std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
            types.push_back(type);
            ASSERT_LE(at + 12 + len, png.size());
            EXPECT_EQ(be32(png, at + 8 + len), slowCrc(&png[at + 4], len + 4)) << type;
            if (type == "IHDR") {
                EXPECT_EQ(be32(png, at + 8), uint32_t(w));
                EXPECT_EQ(be32(png, at + 12), uint32_t(h));
                EXPECT_EQ(png[at + 16], 8);  // bit depth
                EXPECT_EQ(png[at + 17], 2);  // truecolour
            }
            if (type == "IDAT") idat.insert(idat.end(), &png[at + 8], &png[at + 8 + len]);
            at += 12 + len;
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        // zlib header, then stored blocks whose lengths and complements agree.
        ASSERT_GE(idat.size(), 6u);
        EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0);
        std::vector<uint8_t> raw;
        size_t p = 2;
        bool last = false;
        while (!last) {
            ASSERT_LT(p + 5, idat.size());
            last = idat[p] & 1;
            EXPECT_EQ(idat[p] & 6, 0);  // stored
            uint16_t n = uint16_t(idat[p + 1] | idat[p + 2] << 8);
            uint16_t nn = uint16_t(idat[p + 3] | idat[p + 4] << 8);
            EXPECT_EQ(uint16_t(~nn), n);
            raw.insert(raw.end(), &idat[p + 5], &idat[p + 5] + n);
            p += 5 + n;
        }
        uint32_t a = 1, b = 0;
        for (uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
        EXPECT_EQ(be32(idat, p), (b << 16) | a);
        ASSERT_EQ(raw.size(), size_t(h) * (w * 3 + 1));
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(raw[size_t(y) * (w * 3 + 1)], 0);
            EXPECT_TRUE(std::equal(rgb.begin() + long(y) * w * 3, rgb.begin() + long(y + 1) * w * 3,
                                   raw.begin() + long(y) * (w * 3 + 1) + 1))
                << "row " << y;
        }
    }
}

// The title paints sheet drawings again at 1.5 times their size: a zoomed view must give
// the same shape, larger, with equally sharp edges.
TEST(AssetPainter, ZoomedViewPaintsTheSameShapeLarger) {
    auto coveredWidth = [](float zoom) {
        Canvas c(64, 64);
        c.setView(zoom, {2, 2});
        paintCircle(c, {10, 10}, 8, rgb(200, 180, 160));
        int n = 0, partial = 0;
        for (int x = 0; x < 64; ++x) {
            float a = c.alpha(x, int(2 + 10 * zoom));
            n += a >= 0.5f;
            partial += a > 0.02f && a < 0.98f;
        }
        return std::pair{n, partial};
    };
    auto [w1, soft1] = coveredWidth(1.f);
    auto [w2, soft2] = coveredWidth(2.5f);
    EXPECT_EQ(w1, 16);
    EXPECT_EQ(w2, 40);
    EXPECT_LE(soft2, soft1 + 1);  // edges stay about one pixel wide
}
