#include "platform/sdl/letterbox.h"

#include <algorithm>
#include <cstdint>

Rect letterbox(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return Rect{};
    }
    int scale = std::min(outputWidth / pictureWidth, outputHeight / pictureHeight);
    int width = pictureWidth * scale;
    int height = pictureHeight * scale;
    if (scale == 0) {
        // 64-bit products: a huge output times a huge picture side would overflow int.
        if (int64_t{outputWidth} * pictureHeight <= int64_t{outputHeight} * pictureWidth) {
            width = outputWidth;
            height = static_cast<int>(int64_t{outputWidth} * pictureHeight / pictureWidth);
        } else {
            height = outputHeight;
            width = static_cast<int>(int64_t{outputHeight} * pictureWidth / pictureHeight);
        }
        width = std::max(width, 1);
        height = std::max(height, 1);
    }
    int left = (outputWidth - width) / 2;
    int top = (outputHeight - height) / 2;
    return Rect{left, top, left + width, top + height};
}

PicturePlacement placePicture(int outputWidth, int outputHeight, int pictureWidth,
                              int pictureHeight, FitMode mode, bool fullscreen) {
    PicturePlacement placement;
    placement.target = letterbox(outputWidth, outputHeight, pictureWidth, pictureHeight);
    int wholeHeight = placement.target.bottom - placement.target.top;
    // An output smaller than the picture is already scaled smoothly by the shrink.
    if (wholeHeight < pictureHeight) return placement;
    placement.wholeScale = wholeHeight / pictureHeight;
    if (mode == FitMode::whole) return placement;
    if (mode == FitMode::automatic &&
        (!fullscreen ||
         int64_t{wholeHeight} * 100 >= int64_t{outputHeight} * wholeScaleEnoughPercent))
        return placement;
    int width = 0;
    int height = 0;
    if (int64_t{outputWidth} * pictureHeight >= int64_t{outputHeight} * pictureWidth) {
        height = outputHeight;
        width = static_cast<int>(int64_t{outputHeight} * pictureWidth / pictureHeight);
    } else {
        width = outputWidth;
        height = static_cast<int>(int64_t{outputWidth} * pictureHeight / pictureWidth);
    }
    if (height == wholeHeight) return placement;
    int left = (outputWidth - width) / 2;
    int top = (outputHeight - height) / 2;
    placement.target = Rect{left, top, left + width, top + height};
    placement.smooth = true;
    return placement;
}
