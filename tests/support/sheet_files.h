#pragma once
#include "catalog/picture_files.h"

// The picture files the game reads, named as inside g/: title and wall, then the seven
// sheets in the order the animation table numbers them.
struct NamedPicture {
    const char* name;
    int width, height, cellWidth, cellHeight;
};
inline NamedPicture namedPicture(const PictureFile& f) {
    return {f.file + 2, f.width, f.height, f.cellWidth, f.cellHeight};  // past "g\\"
}
inline const NamedPicture kPictureFiles[9] = {
    namedPicture(titleFile),          namedPicture(wallFile),
    namedPicture(spriteSheetFiles[0]), namedPicture(spriteSheetFiles[1]),
    namedPicture(spriteSheetFiles[2]), namedPicture(spriteSheetFiles[3]),
    namedPicture(spriteSheetFiles[4]), namedPicture(gameFontFile),
    namedPicture(scrollerFontFile),
};
// Indexed by sheet number.
inline const NamedPicture* const kSheetFiles = kPictureFiles + 2;
