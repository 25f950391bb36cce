#pragma once
#include "platform/surface.h"

// How the 640 x 480 picture fills a larger screen. Whole-number scales keep every game pixel
// an equal square; `sharp` fills the height with a picture first blown up by the largest whole
// number (hard edges) and then smoothly to the final size, so only the pixels' edges blur.
enum class FitMode { automatic, whole, sharp };

// The screen: a front surface (what is shown) and a back buffer (the frame being composed).
// A backend only has to show the front surface in present().
class Display {
public:
    Display(int width, int height);
    virtual ~Display();

    Surface& frontSurface() { return *front_; }
    Surface& backBuffer() { return *back_; }

    // Swaps front surface and back buffer (the page flip).
    void flip();
    // Shows the front surface (SDL: upload and present; headless: nothing).
    virtual void present() = 0;
    // Handles pending window events (close, full-screen toggle, resize, device changes).
    virtual void pumpEvents() = 0;
    // True once the player closed the window (or a headless run reached its last frame).
    virtual bool closeRequested() const = 0;
    // True once after the window lost the keyboard focus (the player switched away).
    virtual bool takeFocusLost() { return false; }
    // What the player last chose for the window: full screen, and the window's whole-number
    // scale of 640 x 480. A display without a window keeps what it was made with.
    virtual bool isFullscreen() const { return false; }
    virtual int windowScale() const { return 0; }
    // Gives the window the game's own picture: width x height pixels of 8-bit RGBA,
    // straight alpha, rows top to bottom. A backend without a window ignores it.
    virtual void setIcon(const uint8_t* /*rgba*/, int /*width*/, int /*height*/) {}
    // The player's choices from the options screen, applied at once. A display without a
    // window ignores them.
    virtual void setFullscreen(bool /*fullscreen*/) {}
    virtual void setWindowScale(int /*scale*/) {}
    virtual void setFitMode(FitMode /*mode*/) {}
    virtual void setScanlines(bool /*on*/) {}

private:
    std::unique_ptr<Surface> front_;
    std::unique_ptr<Surface> back_;
};
