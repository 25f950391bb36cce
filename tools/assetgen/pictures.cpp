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
    const ListedSheetSize& s = kListedSheets[sheet];
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
    std::vector<uint8_t> sheets[5];
    for (int i = 0; i < 5; ++i) {
        sheets[i] = makeSheet(i);
        if (!writeBytes(outDir + "/g/" + kListedSheets[i].file, sheets[i].data(),
                        sheets[i].size()))
            return false;
    }
    std::vector<uint8_t> dust = makeDustSheet();
    if (!writeBytes(outDir + "/g/" + kDustSheetFile, dust.data(), dust.size())) return false;
    std::vector<uint8_t> gameFont = makeGameFont();
    std::vector<uint8_t> scrollerFont = makeScrollerFont();
    std::vector<uint8_t> wall = makeWall();
    std::vector<uint8_t> title = makeTitle();
    return writeBytes(outDir + "/g/Gamefont.raw", gameFont.data(), gameFont.size()) &&
           writeBytes(outDir + "/g/Scrollerfont_640_32_12x16.raw", scrollerFont.data(),
                      scrollerFont.size()) &&
           writeBytes(outDir + "/g/Wall640.raw", wall.data(), wall.size()) &&
           writeBytes(outDir + "/g/Title.raw", title.data(), title.size());
}
