#pragma once
// What the game shows of each sheet is the game's own table of animation rows: the
// generator draws exactly the cells its rows and the wall's splats name, the previews lay
// the rows out as the game places them, and the tests check that no named cell is empty.
#include <string>

#include "catalog/animation_rows.h"

// Every row is drawn the same way round in all its frames.
inline bool mirroredRow(const AnimationRowData& row) { return (row.mirror[0] & 1) != 0; }

// True if a row or the splats name the cell of the sheet.
inline bool listedCell(int sheet, int cell) {
    for (const AnimationRowData& row : animationRows)
        if (row.sheet == sheet)
            for (int f = 0; f < row.frameCount; ++f)
                if (row.cells[f] == cell) return true;
    if (sheet == weaponSheet)
        for (int i = 0; i < 3; ++i)
            if (largeSplatCells[i] == cell || smallSplatCells[i] == cell) return true;
    return false;
}
