#pragma once
#include <cstdint>

// The full-screen pictures behind the actors.
enum class Picture : uint8_t { black, title, wall };

// One splat stamped into the background: which of the six splat frames (0-2 small, 3-5
// large) with its top left corner where.
struct Stamp {
    int16_t x;
    int16_t y;
    uint8_t splat;
    uint8_t unused;
};

// What the world shows behind its actors: a full-screen picture and the blood stamped into it
// since the level began. The renderer makes its background surface from this, so a world
// copied or rolled back shows its own blood, pixel for pixel.
//
// The back buffer a frame is drawn on was refilled from the background at the end of the
// frame before, so blood stamped during a step shows from the next frame on, and a picture
// put up during a step shows at once; `base*` keep what the frame being stepped is drawn on.
struct Backdrop {
    static constexpr int maxStamps = 8192;
    enum class Base : uint8_t { background, pictureOnly };

    Picture picture;
    Picture basePicture;
    Base base;
    uint8_t unused;
    int32_t firstLive;   // stamps before it were wiped off by restoreBackground this step
    int32_t stampCount;
    int32_t baseStamps;  // the stamps under the frame being stepped (Base::background)
    Stamp stamps[maxStamps];

    // At a step's start: forget the wiped stamps, and draw on what the background is now.
    void beginStep();
};

inline int smallSplatFrame(int i) { return i; }
inline int largeSplatFrame(int i) { return 3 + i; }

// The backdrop of the world in play, and what the screens do to it.
extern Backdrop& theBackdrop;
// A new picture at once, on every surface: the background, and the screen itself.
void showPicture(Picture picture);
// The background back to its bare picture (from the next frame on).
void restoreBackground();
// A splat into the background (from the next frame on); a full list keeps its stamps.
void stampSplat(int splat, int x, int y);
