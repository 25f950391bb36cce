#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/surface.h"

namespace {

// Random sprite-like pictures: runs of transparency and of colour, so that rows have
// several opaque runs, rows that are fully clear and rows that are fully opaque.
void paintRandomSprites(Surface& s, std::mt19937& rng) {
    uint16_t* p = s.lock();
    auto colour = [&] { return static_cast<uint16_t>(1 + rng() % 0xFFFF); };
    for (int y = 0; y < s.height(); ++y) {
        uint16_t* row = p + y * s.width();
        const unsigned kind = rng() % 4;
        switch (kind) {
            case 0:  // clear, or solid
            case 1:
                for (int x = 0; x < s.width(); ++x) row[x] = kind ? colour() : 0;
                break;
            case 2:  // runs of every length, clear gaps between
                for (int x = 0; x < s.width();) {
                    int gap = static_cast<int>(rng() % 4), run = 1 + static_cast<int>(rng() % 40);
                    for (int i = 0; i < gap && x < s.width(); ++i) row[x++] = 0;
                    for (int i = 0; i < run && x < s.width(); ++i) row[x++] = colour();
                }
                break;
            default:  // speckled
                for (int x = 0; x < s.width(); ++x) row[x] = rng() % 3 == 0 ? 0 : colour();
        }
    }
    s.unlock();
}

std::vector<uint16_t> pixelsOf(const Surface& s) {
    return std::vector<uint16_t>(s.pixels(), s.pixels() + s.width() * s.height());
}

uint16_t at(const Surface& s, int x, int y) { return s.pixels()[y * s.width() + x]; }

}  // namespace

// The precomputed runs are only a shortcut: whatever a keyed cell blit draws with them must
// be exactly what the pixel-by-pixel blit draws, at every edge and in every orientation.
TEST(SurfaceBlit, OpaqueRunsDrawExactlyWhatThePlainKeyedBlitDraws) {
    std::mt19937 rng(1234);
    // Wide enough for runs of every length class the copier distinguishes.
    const int cw = 37, ch = 11;
    Surface withRuns(cw * 3, ch * 2);
    paintRandomSprites(withRuns, rng);
    Surface plain(withRuns.width(), withRuns.height());
    plain.copyFrom(withRuns);
    withRuns.buildOpaqueRuns(cw, ch);

    const int tw = 80, th = 30;
    Surface background(tw, th);
    paintRandomSprites(background, rng);
    const Rect clips[] = {{0, 0, tw, th}, {-100, -100, tw + 100, th + 100}, {7, 5, 61, 22}};
    const int xs[] = {-cw - 3, -cw, -cw + 1, -20, -5, -1, 0, 3, 20,
                      tw - cw - 1, tw - cw, tw - cw + 1, tw - 5, tw - 1, tw, tw + 4};
    const int ys[] = {-ch - 2, -ch, -ch + 1, -3, -1, 0, 5, th - ch - 1, th - ch, th - ch + 1,
                      th - 1, th, th + 3};

    int drawn = 0;
    for (const Rect& clip : clips)
        for (int cell = 0; cell < 6; ++cell)
            for (int mirror = 0; mirror < 4; ++mirror)
                for (int x : xs)
                    for (int y : ys) {
                        Surface a(tw, th), b(tw, th);
                        a.copyFrom(background);
                        b.copyFrom(background);
                        const int sx = (cell % 3) * cw, sy = (cell / 3) * ch;
                        const bool mx = mirror & 1, my = mirror & 2;
                        a.blit(withRuns, sx, sy, cw, ch, x, y, mx, my, true, clip);
                        b.blit(plain, sx, sy, cw, ch, x, y, mx, my, true, clip);
                        ASSERT_EQ(pixelsOf(a), pixelsOf(b))
                            << "cell " << cell << " mirror " << mirror << " at " << x << ","
                            << y << " clip " << clip.left << "," << clip.top;
                        if (pixelsOf(a) != pixelsOf(background)) ++drawn;
                    }
    // Most placements must have drawn something, or the comparison proved nothing.
    EXPECT_GT(drawn, 2000);
}

TEST(SurfaceBlit, ColourKeySkipsOnlyBlackSourcePixels) {
    Surface src(2, 1);
    src.lock()[1] = 0x0001;  // the darkest colour that is not the key
    src.unlock();
    Surface dst(2, 1);
    dst.fill(0xABCD);
    dst.blit(src, 0, 0, 2, 1, 0, 0, false, false, true, Rect{0, 0, 2, 1});
    EXPECT_EQ(at(dst, 0, 0), 0xABCD);
    EXPECT_EQ(at(dst, 1, 0), 0x0001);
    dst.blit(src, 0, 0, 2, 1, 0, 0, false, false, false, Rect{0, 0, 2, 1});
    EXPECT_EQ(at(dst, 0, 0), 0);
}

TEST(SurfaceBlit, ASourceRectangleOutsideTheSourceDrawsNothing) {
    Surface src(4, 4);
    src.fill(7);
    Surface dst(8, 8);
    dst.blit(src, 2, 2, 4, 4, 0, 0, false, false, false, Rect{0, 0, 8, 8});
    dst.blit(src, -1, 0, 4, 4, 0, 0, false, false, false, Rect{0, 0, 8, 8});
    EXPECT_EQ(pixelsOf(dst), std::vector<uint16_t>(64, 0));
}

