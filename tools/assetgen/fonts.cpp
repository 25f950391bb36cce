// Both bitmap fonts and all painted text. Glyph outlines come from the DejaVu fonts through
// FreeType; the outline, drop shadow and colour ramp that make the text read on any
// background are painted here.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sheets.h"

#ifdef ASSETGEN_HAVE_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace {
// Glyph order of both font sheets: letters, digits, then codes 33-47 and 58-64.
std::string glyphOrder() {
    std::string s;
    for (char c = 'A'; c <= 'Z'; ++c) s += c;
    for (char c = 'a'; c <= 'z'; ++c) s += c;
    for (char c = '0'; c <= '9'; ++c) s += c;
    for (int c = 33; c <= 47; ++c) s += char(c);
    for (int c = 58; c <= 64; ++c) s += char(c);
    return s;
}

struct Coverage {
    int w = 0, h = 0;
    std::vector<float> v;
    float at(int x, int y) const {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.f : v[size_t(y) * w + x];
    }
};

struct GlyphBitmap {
    int left = 0, top = 0, width = 0, rows = 0;
    float advance = 0;
    std::vector<uint8_t> pixels;
};

enum class Face { Sans, Serif, Mono };

#ifdef ASSETGEN_HAVE_FREETYPE
class FontLibrary {
public:
    FontLibrary() {
        if (FT_Init_FreeType(&lib_) != 0) lib_ = nullptr;
    }
    ~FontLibrary() {
        for (auto& f : faces_)
            if (f) FT_Done_Face(f);
        if (lib_) FT_Done_FreeType(lib_);
    }
    FT_Face face(Face which) {
        int i = int(which);
        if (!tried_[i] && lib_) {
            tried_[i] = true;
            static const char* names[3] = {"DejaVuSans-Bold.ttf", "DejaVuSerif-Bold.ttf",
                                           "DejaVuSansMono-Bold.ttf"};
            static const char* dirs[] = {"/usr/share/fonts/truetype/dejavu/",
                                         "/usr/share/fonts/dejavu/",
                                         "/usr/local/share/fonts/dejavu/",
                                         "/usr/share/fonts/TTF/"};
            for (const char* d : dirs) {
                std::string path = std::string(d) + names[i];
                if (FT_New_Face(lib_, path.c_str(), 0, &faces_[i]) == 0) break;
                faces_[i] = nullptr;
            }
            if (!faces_[i])
                std::fprintf(stderr, "assetgen: font %s not found (install fonts-dejavu-core)\n",
                             names[i]);
        }
        return faces_[i];
    }

private:
    FT_Library lib_ = nullptr;
    FT_Face faces_[3] = {nullptr, nullptr, nullptr};
    bool tried_[3] = {false, false, false};
};

FontLibrary& fonts() {
    static FontLibrary lib;
    return lib;
}

bool renderGlyph(Face which, char ch, float pixelSize, GlyphBitmap& out, float stretch = 1.f) {
    FT_Face f = fonts().face(which);
    if (!f) return false;
    FT_Set_Char_Size(f, 0, FT_F26Dot6(pixelSize * 64), 72, 72);
    FT_Matrix m{FT_Fixed(stretch * 0x10000), 0, 0, 0x10000};
    FT_Set_Transform(f, &m, nullptr);
    if (FT_Load_Char(f, FT_ULong(static_cast<unsigned char>(ch)), FT_LOAD_RENDER) != 0)
        return false;
    FT_GlyphSlot g = f->glyph;
    out.left = g->bitmap_left;
    out.top = g->bitmap_top;
    out.width = int(g->bitmap.width);
    out.rows = int(g->bitmap.rows);
    out.advance = g->advance.x / 64.f;
    out.pixels.assign(size_t(out.width) * out.rows, 0);
    for (int y = 0; y < out.rows; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels[size_t(y) * out.width + x] = g->bitmap.buffer[y * g->bitmap.pitch + x];
    return true;
}
#else
bool renderGlyph(Face, char, float, GlyphBitmap&, float = 1.f) { return false; }
#endif

// Coverage of a whole line of text with its baseline at `baseline`, starting at x 0.
Coverage rasterLine(const char* text, Face face, float size, int width, int height,
                    float baseline, float x0, float* advanceOut = nullptr) {
    Coverage cov;
    cov.w = width;
    cov.h = height;
    cov.v.assign(size_t(width) * height, 0.f);
    float pen = x0;
    for (const char* p = text; *p; ++p) {
        GlyphBitmap g;
        if (!renderGlyph(face, *p, size, g)) {
            pen += size * 0.6f;
            continue;
        }
        int ox = int(std::lround(pen)) + g.left, oy = int(std::lround(baseline)) - g.top;
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x) {
                int tx = ox + x, ty = oy + y;
                if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
                float& d = cov.v[size_t(ty) * width + tx];
                d = std::max(d, g.pixels[size_t(y) * g.width + x] / 255.f);
            }
        pen += g.advance;
    }
    if (advanceOut) *advanceOut = pen - x0;
    return cov;
}

// Grows the shape by radius r with a soft edge, for outlines.
Coverage dilate(const Coverage& c, float r) {
    Coverage out = c;
    int ir = int(std::ceil(r));
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float best = 0;
            for (int dy = -ir; dy <= ir; ++dy)
                for (int dx = -ir; dx <= ir; ++dx) {
                    float a = c.at(x + dx, y + dy);
                    if (a <= best) continue;
                    float d = std::sqrt(float(dx * dx + dy * dy));
                    float k = std::clamp(r + 0.5f - d, 0.f, 1.f);
                    best = std::max(best, a * k);
                }
            out.v[size_t(y) * c.w + x] = best;
        }
    return out;
}

// Shadow, outline, then the fill with a vertical colour ramp and a bevel highlight.
void composite(Canvas& c, const Coverage& fill, const TextStyle& st, float dx, float dy,
               float rampTop, float rampBottom) {
    Coverage outline = st.outlineWidth > 0 ? dilate(fill, st.outlineWidth) : fill;
    int ox = int(std::lround(dx)), oy = int(std::lround(dy));
    int sh = int(std::lround(st.shadow));
    if (sh > 0) {
        Rgb shadowColour = st.outline * 0.6f + rgb(16, 10, 30);
        for (int y = 0; y < fill.h; ++y)
            for (int x = 0; x < fill.w; ++x)
                c.blendPixel(ox + x + sh, oy + y + sh, shadowColour, outline.at(x, y) * 0.9f);
    }
    if (st.outlineWidth > 0)
        for (int y = 0; y < fill.h; ++y)
            for (int x = 0; x < fill.w; ++x)
                c.blendPixel(ox + x, oy + y, st.outline, outline.at(x, y));
    float span = std::max(1.f, rampBottom - rampTop);
    for (int y = 0; y < fill.h; ++y)
        for (int x = 0; x < fill.w; ++x) {
            float a = fill.at(x, y);
            if (a <= 0) continue;
            float t = std::clamp((y - rampTop) / span, 0.f, 1.f);
            Rgb col = mix(st.top, st.bottom, t);
            float lit = std::clamp(a - fill.at(x - 1, y - 1), 0.f, 1.f);
            float dark = std::clamp(a - fill.at(x + 1, y + 1), 0.f, 1.f);
            col = col * (1 - 0.25f * dark) + rgb(255, 255, 255) * (0.35f * lit);
            c.blendPixel(ox + x, oy + y, col, a);
        }
}

float ascentOf(Face face, float size) {
    GlyphBitmap g;
    return renderGlyph(face, 'H', size, g) ? float(g.top) : size * 0.73f;
}
}  // namespace

bool fontsAvailable() {
#ifndef ASSETGEN_HAVE_FREETYPE
    std::fprintf(stderr,
                 "assetgen: built without FreeType, so the fonts cannot be drawn; install "
                 "libfreetype-dev and fonts-dejavu-core and build again\n");
    return false;
#else
    GlyphBitmap g;
    return renderGlyph(Face::Sans, 'A', 20, g) && renderGlyph(Face::Mono, 'A', 14, g) &&
           renderGlyph(Face::Serif, 'A', 20, g);
#endif
}

float measureText(const char* text, float pixelSize, bool serif) {
    float w = 0;
    GlyphBitmap g;
    for (const char* p = text; *p; ++p)
        w += renderGlyph(serif ? Face::Serif : Face::Sans, *p, pixelSize, g) ? g.advance
                                                                            : pixelSize * 0.6f;
    return w;
}

float paintText(Canvas& c, const char* text, float x, float y, float pixelSize,
                const TextStyle& style, bool serif) {
    Face face = serif ? Face::Serif : Face::Sans;
    float asc = ascentOf(face, pixelSize);
    int pad = int(std::ceil(style.outlineWidth)) + 2;
    int width = int(measureText(text, pixelSize, serif)) + 2 * pad + 4;
    int height = int(pixelSize * 1.3f) + 2 * pad;
    float advance = 0;
    Coverage cov = rasterLine(text, face, pixelSize, width, height, pad + asc, float(pad), &advance);
    composite(c, cov, style, x - pad, y - pad, pad, pad + asc);
    return advance;
}

std::vector<uint8_t> makeGameFont() {
    const int sheetW = 512, sheetH = 357, cw = 48, ch = 51, perRow = 10;
    std::vector<uint8_t> out(size_t(sheetW) * sheetH * 3, 0);
    const std::string order = glyphOrder();
    const TextStyle st{rgb(255, 246, 170), rgb(236, 112, 24), rgb(60, 22, 26), 2.4f, 2.f};
    const float baseline = 39.f;
    for (int cell = 0; cell < 70; ++cell) {
        char chr = order[size_t(cell)];
        // A monospaced face stretched wide fills the fixed 48-pixel cells evenly, so words
        // keep together; glyphs that would still overflow are shrunk until they fit.
        const float stretch = 1.42f;
        float size = 44.f;
        GlyphBitmap g;
        for (; size > 20; size -= 1.f) {
            if (!renderGlyph(Face::Mono, chr, size, g, stretch)) break;
            if (g.width + 8 <= cw && baseline - g.top >= 3 && baseline - g.top + g.rows <= ch - 3)
                break;
        }
        Canvas c(cw, ch);
        if (renderGlyph(Face::Mono, chr, size, g, stretch)) {
            Coverage cov;
            cov.w = cw;
            cov.h = ch;
            cov.v.assign(size_t(cw) * ch, 0.f);
            int ox = (cw - g.width) / 2 - 1, oy = int(baseline) - g.top;
            for (int y = 0; y < g.rows; ++y)
                for (int x = 0; x < g.width; ++x) {
                    int tx = ox + x, ty = oy + y;
                    if (tx >= 0 && ty >= 0 && tx < cw && ty < ch)
                        cov.v[size_t(ty) * cw + tx] = g.pixels[size_t(y) * g.width + x] / 255.f;
                }
            composite(c, cov, st, 0, 0, baseline - 30, baseline);
        }
        c.toRgb(out.data(), sheetW * 3, (cell % perRow) * cw, (cell / perRow) * ch);
    }
    return out;
}

std::vector<uint8_t> makeScrollerFont() {
    const int sheetW = 640, sheetH = 32, cw = 12, ch = 16, perRow = 53;
    std::vector<uint8_t> out(size_t(sheetW) * sheetH * 3, 0);
    const std::string order = glyphOrder();
    // A one-pixel shadow keeps the thin glyphs readable over black and over the wall alike.
    const TextStyle st{rgb(255, 255, 255), rgb(150, 210, 255), rgb(34, 40, 110), 0.f, 1.f};
    const float baseline = 12.f;
    for (size_t i = 0; i < order.size(); ++i) {
        int cell = int(i);
        GlyphBitmap g;
        Canvas c(cw, ch);
        if (renderGlyph(Face::Mono, order[i], 14.f, g, 1.2f)) {
            Coverage cov;
            cov.w = cw;
            cov.h = ch;
            cov.v.assign(size_t(cw) * ch, 0.f);
            int ox = (cw - 1 - g.width) / 2, oy = int(baseline) - g.top;
            for (int y = 0; y < g.rows; ++y)
                for (int x = 0; x < g.width; ++x) {
                    int tx = ox + x, ty = oy + y;
                    if (tx >= 0 && ty >= 0 && tx < cw && ty < ch)
                        cov.v[size_t(ty) * cw + tx] = g.pixels[size_t(y) * g.width + x] / 255.f;
                }
            composite(c, cov, st, 0, 0, 2, baseline);
        }
        c.toRgb(out.data(), sheetW * 3, (cell % perRow) * cw, (cell / perRow) * ch);
    }
    return out;
}
