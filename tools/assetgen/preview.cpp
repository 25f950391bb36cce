// Contact sheets, one strip per animation row laid out with the row's hot spots, and the
// wall with everything placed where the game puts it: the quickest way to see whether the
// drawings fit together.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "animation_listing.h"
#include "assetgen.h"
#include "png.h"

namespace {
struct Image {
    int w, h;
    std::vector<uint8_t> px;
    Image(int width, int height, uint8_t r, uint8_t g, uint8_t b)
        : w(width), h(height), px(size_t(width) * height * 3) {
        for (size_t i = 0; i < px.size(); i += 3) {
            px[i] = r;
            px[i + 1] = g;
            px[i + 2] = b;
        }
    }
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint8_t* p = &px[(size_t(y) * w + x) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    void rect(int x, int y, int rw, int rh, uint8_t r, uint8_t g, uint8_t b) {
        for (int j = 0; j < rh; ++j)
            for (int i = 0; i < rw; ++i) set(x + i, y + j, r, g, b);
    }
    void frame(int x, int y, int rw, int rh, uint8_t r, uint8_t g, uint8_t b) {
        for (int i = 0; i < rw; ++i) set(x + i, y, r, g, b), set(x + i, y + rh - 1, r, g, b);
        for (int j = 0; j < rh; ++j) set(x, y + j, r, g, b), set(x + rw - 1, y + j, r, g, b);
    }
    // Checkerboard so that transparent pixels are told apart from dark ones.
    void checker(int x, int y, int rw, int rh) {
        for (int j = 0; j < rh; ++j)
            for (int i = 0; i < rw; ++i) {
                uint8_t v = ((i / 8 + j / 8) & 1) ? 92 : 76;
                set(x + i, y + j, v, v, uint8_t(v + 10));
            }
    }
};

const char* kDigits[11] = {"111101101101111", "010110010010111", "111001111100111",
                           "111001111001111", "101101111001001", "111100111001111",
                           "111100111101111", "111001001001001", "111101111101111",
                           "111101111001111", "000000111000000"};

void number(Image& img, int x, int y, int value, int scale = 2) {
    std::string s = std::to_string(value);
    for (char ch : s) {
        const char* g = kDigits[ch == '-' ? 10 : ch - '0'];
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 3; ++i)
                if (g[j * 3 + i] == '1')
                    img.rect(x + i * scale, y + j * scale, scale, scale, 255, 230, 60);
        x += 4 * scale;
    }
}

bool readFile(const std::string& path, std::vector<uint8_t>& out, size_t size) {
    std::ifstream in(path, std::ios::binary);
    out.assign(size, 0);
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(size));
    if (!in) {
        std::fprintf(stderr, "assetgen: cannot read %s for the preview\n", path.c_str());
        return false;
    }
    return true;
}

bool transparent(const uint8_t* p) { return p[0] < 8 && p[1] < 4 && p[2] < 8; }

struct Sheet {
    std::vector<uint8_t> rgb;
    int width, height, cw, ch;
    int columns() const { return width / cw; }
    int cells() const { return columns() * (height / ch); }
    // Blits a cell as the game draws it: mirrored if asked, transparent pixels skipped.
    void blit(Image& img, int cell, int dx, int dy, bool mirror, int scale = 1) const {
        if (cell < 0) return;
        int sx = (cell % columns()) * cw, sy = (cell / columns()) * ch;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* p = &rgb[(size_t(sy + y) * width + sx + (mirror ? cw - 1 - x : x)) * 3];
                if (transparent(p)) continue;
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i)
                        img.set(dx + x * scale + i, dy + y * scale + j, p[0], p[1], p[2]);
            }
    }
};

bool contactSheet(const Sheet& s, const std::string& path, int scale, int perRow, int count) {
    int slotW = s.cw * scale + 8, slotH = s.ch * scale + 22;
    int rows = (count + perRow - 1) / perRow;
    Image img(slotW * perRow + 8, slotH * rows + 8, 40, 36, 48);
    for (int c = 0; c < count; ++c) {
        int x = 8 + (c % perRow) * slotW, y = 8 + (c / perRow) * slotH;
        number(img, x, y, c);
        img.checker(x, y + 14, s.cw * scale, s.ch * scale);
        s.blit(img, c, x, y + 14, false, scale);
    }
    return writePng(path, img.px.data(), img.w, img.h);
}

bool rowStrip(const Sheet& s, const AnimationRowData& row, int index, const std::string& path) {
    const int scale = 2, margin = 24;
    int slotW = s.cw + 2 * margin, slotH = s.ch + 2 * margin;
    Image img(slotW * row.frameCount * scale + 8, slotH * scale + 20, 40, 36, 48);
    number(img, 4, 4, index);
    for (int f = 0; f < row.frameCount; ++f) {
        int x0 = 4 + f * slotW * scale, y0 = 18;
        img.checker(x0, y0, slotW * scale, slotH * scale);
        // The actor's position is the same point in every slot; the hot spot moves the cell.
        int ax = x0 + margin * scale, ay = y0 + margin * scale;
        s.blit(img, row.cells[f], ax - row.hotX[f] * scale, ay - row.hotY[f] * scale,
               mirroredRow(row), scale);
        img.rect(ax - 3, ay, 7, 1, 255, 60, 60);
        img.rect(ax, ay - 3, 1, 7, 255, 60, 60);
        number(img, x0 + 4, y0 + slotH * scale - 14, row.cells[f]);
    }
    return writePng(path, img.px.data(), img.w, img.h);
}
}  // namespace

bool previewPictures(const std::string& outDir, const std::string& previewDir) {
    Sheet sheets[5];
    for (int i = 0; i < 5; ++i) {
        const PictureFile& l = spriteSheetFiles[i];
        sheets[i].width = l.width;
        sheets[i].height = l.height;
        sheets[i].cw = l.cellWidth;
        sheets[i].ch = l.cellHeight;
        if (!readFile(outDir + "/" + slashPath(l.file), sheets[i].rgb, size_t(l.width) * l.height * 3))
            return false;
    }
    bool ok = contactSheet(sheets[0], previewDir + "/sheet_defender.png", 2, 8, 50) &&
              contactSheet(sheets[1], previewDir + "/sheet_magazine.png", 3, 6, 10) &&
              contactSheet(sheets[2], previewDir + "/sheet_ball.png", 4, 8, 8) &&
              contactSheet(sheets[3], previewDir + "/sheet_climber.png", 2, 8, 52) &&
              contactSheet(sheets[4], previewDir + "/sheet_weapons.png", 3, 8, 40);
    for (int r = 0; ok && r < animationRowCount; ++r) {
        char name[32];
        std::snprintf(name, sizeof name, "/row_%02d.png", r);
        ok = rowStrip(sheets[animationRows[r].sheet], animationRows[r], r, previewDir + name);
    }
    if (!ok) return false;

    // Fonts at double size on a grid.
    struct FontFile {
        const char* file;
        const char* out;
        int w, h, cw, ch, scale;
    };
    const PictureFile& gf = gameFontFile;
    const PictureFile& sf = scrollerFontFile;
    const FontFile fonts[2] = {
        {gf.file, "/font_game.png", gf.width, gf.height, gf.cellWidth, gf.cellHeight, 1},
        {sf.file, "/font_scroller.png", sf.width, sf.height, sf.cellWidth, sf.cellHeight, 2}};
    std::vector<Sheet> fontSheets;
    for (const auto& f : fonts) {
        Sheet s;
        s.width = f.w;
        s.height = f.h;
        s.cw = f.cw;
        s.ch = f.ch;
        if (!readFile(outDir + "/" + slashPath(f.file), s.rgb, size_t(f.w) * f.h * 3)) return false;
        int perRow = f.w / f.cw;
        Image img(perRow * (f.cw * f.scale + 2) + 2, (f.h / f.ch) * (f.ch * f.scale + 2) + 2, 70,
                  60, 90);
        for (int c = 0; c < s.cells(); ++c) {
            int x = 2 + (c % perRow) * (f.cw * f.scale + 2), y = 2 + (c / perRow) * (f.ch * f.scale + 2);
            img.rect(x, y, f.cw * f.scale, f.ch * f.scale, 20, 20, 28);
            s.blit(img, c, x, y, false, f.scale);
        }
        if (!writePng(previewDir + f.out, img.px.data(), img.w, img.h)) return false;
        fontSheets.push_back(std::move(s));
    }
    // The menu as the game lays it out: items 53 pixels per character, scrollers 12.
    {
        Image menu(640, 480, 0, 0, 0);
        auto write = [&](const Sheet& s, const char* text, int x, int y, int step) {
            for (const char* p = text; *p; ++p, x += step) {
                char ch = *p;
                int cell = ch >= 'A' && ch <= 'Z'   ? ch - 'A'
                           : ch >= 'a' && ch <= 'z' ? 26 + ch - 'a'
                           : ch >= '0' && ch <= '9' ? 52 + ch - '0'
                           : ch >= 33 && ch <= 47   ? 62 + ch - 33
                           : ch >= 58 && ch <= 64   ? 77 + ch - 58
                                                    : -1;
                if (cell < s.cells()) s.blit(menu, cell, x, y, false);
            }
        };
        write(fontSheets[1], "************** Highscores:   1-Player-Game: 12400  (Zorvik)", -12, 80, 12);
        write(fontSheets[0], "Start", 100, 120, 53);
        write(fontSheets[0], "Players", 100, 220, 53);
        write(fontSheets[0], "2", 500, 220, 53);
        write(fontSheets[0], "Quit", 100, 320, 53);
        write(fontSheets[1], "PARAPET (c) the wall keepers... press fire!", -12, 450, 12);
        sheets[2].blit(menu, 0, 45, 150 - 16, false);
        if (!writePng(previewDir + "/menu.png", menu.px.data(), 640, 480)) return false;
    }

    // The two full-screen pictures, and the wall with the play field set up on it.
    std::vector<uint8_t> wall, title;
    if (!readFile(outDir + "/" + slashPath(wallFile.file), wall, 640 * 480 * 3) ||
        !readFile(outDir + "/" + slashPath(titleFile.file), title, 640 * 480 * 3))
        return false;
    if (!writePng(previewDir + "/title.png", title.data(), 640, 480)) return false;
    Image scene(640, 480, 0, 0, 0);
    scene.px = wall;
    const Sheet& D = sheets[0];
    const Sheet& M = sheets[1];
    const Sheet& B = sheets[2];
    const Sheet& C = sheets[3];
    const Sheet& W = sheets[4];
    // Splats first: the game stamps them into the background.
    W.blit(scene, 21, 130, 300, false);
    W.blit(scene, 24, 400, 380, false);
    W.blit(scene, 22, 460, 200, false);
    M.blit(scene, 0, 0, 46, false);
    M.blit(scene, 0, 580, 46, true);
    B.blit(scene, 0, 45, 90, false);
    B.blit(scene, 0, 583, 90, false);
    // Three players at their start places with markers and bomb icons.
    const int px[3] = {160, 260, 360};
    const int cells[3] = {0, 17, 23};
    for (int p = 0; p < 3; ++p) {
        D.blit(scene, cells[p], px[p], 40, p == 2);
        W.blit(scene, 30 + p, px[p] + 18, 10, false);
        for (int i = 0; i < 2; ++i) W.blit(scene, 33 + p, px[p] + 15 * i, 20, false);
    }
    D.blit(scene, 43, 520, -10, false);                 // herald on the tower
    B.blit(scene, 0, 260 + 37, 60 + 120, false);        // a dropped ball on its way down
    C.blit(scene, 0, 40, 350, false);                   // walking in
    C.blit(scene, 3, 480, 350, true);
    C.blit(scene, 8, 220, 250 + 43, false);             // climbing
    C.blit(scene, 11, 330, 120 + 43, false);
    C.blit(scene, 17, 440, 28 + 25, false);             // over the top
    C.blit(scene, 22, 80, -20, false);                  // on the wall top
    W.blit(scene, 28, 220 + 25, 250 + 50, false);       // bonus label
    W.blit(scene, 0, 100 - 5, -12, false);              // the chainsaw falling
    if (!writePng(previewDir + "/wall_scene.png", scene.px.data(), 640, 480) ||
        !writePng(previewDir + "/wall.png", wall.data(), 640, 480))
        return false;

    // Moments where two drawings must meet, placed with the game's own numbers: the
    // chainsaw reaching raised hands, a ball leaving the thrower, a climber's club against
    // a defender's head, and each chainsaw stroke against a climber in reach.
    Image moments(640, 480, 0, 0, 0);
    moments.px = wall;
    auto actor = [&](const Sheet& s, const AnimationRowData& row, int frame, int x, int y) {
        s.blit(moments, row.cells[frame], x - row.hotX[frame], y - row.hotY[frame],
               mirroredRow(row));
    };
    const AnimationRowData* R = animationRows;
    actor(D, R[rowCallChainsaw], 0, 20, 40);                        // calling the chainsaw
    actor(W, R[rowChainsawDrop], 0, 20 - 5, -12);                   // ...which arrives after 18 frames
    actor(D, R[rowThrow], 2, 110, 40);                       // releasing a ball
    actor(B, R[rowBall], 0, 110 + 37, 60);
    actor(D, R[rowStand], 0, 200, 40);                        // struck from the right...
    actor(C, R[rowClimberStrikeLeft], 4, 200 + 44, -20);                 // ...by a climber 44 pixels away
    actor(D, R[rowStrokeALeft], 2, 400, 40);                       // stroke A, facing left
    actor(C, R[rowClimberWalkRight], 0, 400 - 45, -20);
    actor(D, R[rowStrokeCRight], 3, 480, 40);                       // stroke C, facing right
    actor(C, R[rowClimberWalkLeft], 0, 480 + 45, -20);
    actor(D, R[rowStrokeBLeft], 12, 150, 240);                     // stroke B at full lunge (on a
    actor(C, R[rowClimberWalkRight], 0, 150 - 48, 240 - 60);            // shelf of its own for clarity)
    actor(C, R[rowClimb1], 0, 300, 300);                      // climbing, then over the top
    actor(C, R[rowClimberOverTop], 0, 400, 28);
    actor(C, R[rowClimberOverTop], 6, 470, 28);
    actor(C, R[rowClimberWalkLeft], 0, 540, -20);
    return writePng(previewDir + "/moments.png", moments.px.data(), 640, 480);
}
