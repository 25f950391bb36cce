#pragma once
#include "platform/surface.h"

// Where a picture of pictureWidth x pictureHeight goes in an output of outputWidth x
// outputHeight: centred, aspect kept, at the largest whole-number scale that fits so every
// game pixel becomes an equal square block; only an output smaller than the picture gets a
// fractional (shrinking) scale. The rest of the output is border.
Rect letterbox(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);
