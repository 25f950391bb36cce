#pragma once
#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/sdl/key_hold_back.h"
#include "platform/sdl/sdl_library.h"
#include "platform/sdl/sdl_platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Rect;

// Shows the 640 x 480 front surface in a window or a desktop-size full-screen window,
// scaled by whole numbers with black borders, or filling the height sharply (letterbox.h).
// Alt+Enter switches between window and full screen.
class SdlDisplay : public Display {
public:
    // Null with a one-line reason when no window can be opened.
    // The keys of the full-screen switch are held back from the game through `holdBack`.
    static std::unique_ptr<SdlDisplay> create(const SdlSettings& settings, SdlLibraryShare library,
                                              std::shared_ptr<KeyHoldBack> holdBack,
                                              std::string& error);
    ~SdlDisplay() override;

    void present() override;
    void pumpEvents() override;
    bool closeRequested() const override { return closeRequested_; }
    void setIcon(const uint8_t* rgba, int width, int height) override;

    bool takeFocusLost() override;
    bool isFullscreen() const override { return fullscreen_; }
    int windowScale() const override;
    void setFullscreen(bool fullscreen) override;
    void setWindowScale(int scale) override;
    void setFitMode(FitMode mode) override { fitMode_ = mode; }
    void setScanlines(bool on) override { scanlines_ = on; }

private:
    SdlDisplay(SdlLibraryShare library, SDL_Window* window, SDL_Renderer* renderer,
               SDL_Texture* texture, bool fullscreen, int windowedWidth, int windowedHeight);
    // After a lost graphics device the old texture is gone; make a fresh one.
    bool recreateTexture();
    // The picture blown up by a whole number with hard edges, for the smooth last step of the
    // sharp fit; null when the renderer cannot draw into textures.
    SDL_Texture* sharpTexture(int scale);
    void drawScanlines(const SDL_Rect& target);

    SdlLibraryShare library_;
    std::shared_ptr<KeyHoldBack> holdBack_;
    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_;
    bool fullscreen_;
    // The window's size when not full screen, restored on leaving full screen.
    int windowedWidth_;
    int windowedHeight_;
    bool fullscreenPending_ = false;
    bool closeRequested_ = false;
    bool focusLost_ = false;
    FitMode fitMode_ = FitMode::automatic;
    bool scanlines_ = false;
    SDL_Texture* sharp_ = nullptr;
    int sharpScale_ = 0;
};
