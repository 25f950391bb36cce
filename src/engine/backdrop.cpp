#include "engine/backdrop.h"

#include <cstring>

void Backdrop::beginStep() {
    if (firstLive > 0) {
        std::memmove(stamps, stamps + firstLive,
                     static_cast<size_t>(stampCount - firstLive) * sizeof(Stamp));
        std::memset(stamps + stampCount - firstLive, 0,
                    static_cast<size_t>(firstLive) * sizeof(Stamp));
        stampCount -= firstLive;
        firstLive = 0;
    }
    basePicture = picture;
    base = Base::background;
    baseStamps = stampCount;
}

void showPicture(Picture picture) {
    Backdrop& b = theBackdrop;
    b.picture = picture;
    b.firstLive = b.stampCount;
    b.basePicture = picture;
    b.base = Backdrop::Base::pictureOnly;
}

void restoreBackground() { theBackdrop.firstLive = theBackdrop.stampCount; }

void stampSplat(int splat, int x, int y) {
    Backdrop& b = theBackdrop;
    if (b.stampCount >= Backdrop::maxStamps) return;
    b.stamps[b.stampCount++] = Stamp{static_cast<int16_t>(x), static_cast<int16_t>(y),
                                     static_cast<uint8_t>(splat), 0};
}
