// Every picture file of g/: the five sprite sheets, the two fonts, the title and the wall.
#include <cstdio>
#include <string>
#include <vector>

#include "animation_listing.h"
#include "assetgen.h"
#include "sheets.h"

namespace {
using CellPainter = void (*)(int, Canvas&);
const CellPainter kPainters[5] = {drawDefenderCell, drawMagazineCell, drawBallCell,
                                  drawClimberCell, drawWeaponCell};
}  // namespace

std::vector<uint8_t> makeSheet(int sheet) {
    const PictureFile& s = spriteSheetFiles[sheet];
    std::vector<uint8_t> rgb(size_t(s.width) * s.height * 3, 0);
    int columns = s.width / s.cellWidth, rows = s.height / s.cellHeight;
    for (int cell = 0; cell < columns * rows; ++cell) {
        if (!listedCell(sheet, cell)) continue;
        Canvas c(s.cellWidth, s.cellHeight);
        kPainters[sheet](cell, c);
        c.toRgb(rgb.data(), s.width * 3, (cell % columns) * s.cellWidth,
                (cell / columns) * s.cellHeight);
    }
    return rgb;
}

bool generatePictures(const std::string& outDir) {
    // Blank fonts would leave the game without a readable word: better to stop here.
    if (!fontsAvailable()) return false;
    std::vector<uint8_t> sheets[spriteSheetCount];
    for (int i = 0; i < spriteSheetCount; ++i) {
        sheets[i] = makeSheet(i);
        if (!writeBytes(outDir + "/" + slashPath(spriteSheetFiles[i].file), sheets[i].data(),
                        sheets[i].size()))
            return false;
    }
    std::vector<uint8_t> gameFont = makeGameFont();
    std::vector<uint8_t> scrollerFont = makeScrollerFont();
    std::vector<uint8_t> wall = makeWall();
    std::vector<uint8_t> title = makeTitle();
    auto write = [&](const PictureFile& f, const std::vector<uint8_t>& rgb) {
        return writeBytes(outDir + "/" + slashPath(f.file), rgb.data(), rgb.size());
    };
    return write(gameFontFile, gameFont) && write(scrollerFontFile, scrollerFont) &&
           write(wallFile, wall) && write(titleFile, title);
}
