#pragma once
#include "platform/display.h"
#include "platform/surface.h"

// Where a picture of pictureWidth x pictureHeight goes in an output of outputWidth x
// outputHeight: centred, aspect kept, at the largest whole-number scale that fits so every
// game pixel becomes an equal square block; only an output smaller than the picture gets a
// fractional (shrinking) scale. The rest of the output is border.
Rect letterbox(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// Where the picture goes and how it gets there. With `smooth` the picture is first blown up
// by `wholeScale` with hard pixel edges and that is then smoothly scaled to `target`; without
// it the picture goes straight to `target` with hard edges.
struct PicturePlacement {
    Rect target;
    int wholeScale = 1;
    bool smooth = false;
};

// The whole-number scale is kept where it uses at least this share of the height (in
// percent) when the mode is `automatic` on a full screen.
constexpr int wholeScaleEnoughPercent = 80;

// The placement for a fit mode. `automatic` is a whole-number scale in a window, and on a
// full screen too unless that leaves more than a fifth of the height unused; then `sharp`.
// `sharp` fills the height (or the width, on an output narrower than 4:3) and falls back to
// a whole scale when that already fills it.
PicturePlacement placePicture(int outputWidth, int outputHeight, int pictureWidth,
                              int pictureHeight, FitMode mode, bool fullscreen);
