#include "platform/sdl/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/sdl/key_table.h"
#include "platform/sdl/letterbox.h"

namespace {

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;

SDL_Texture* createScreenTexture(SDL_Renderer* renderer) {
    SDL_Texture* texture = SDL_CreateTexture(
        renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, screenWidth, screenHeight);
    if (texture != nullptr) SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    return texture;
}

// How dark the line between two pixel rows is drawn (of 255).
constexpr Uint8 scanlineShade = 100;

// A window that does not fit the desktop would put part of the game off screen.
int fittingScale(int scale) {
    scale = std::max(scale, 1);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        while (scale > 1 && (screenWidth * scale > usable.w || screenHeight * scale > usable.h)) {
            --scale;
        }
    }
    return scale;
}

// Whether the machine has a graphics device to draw with. Without one (a virtual display, a
// remote desktop) OpenGL is drawn by the processor too, after loading a shader compiler: a
// fifth of a second or more before the first frame, for what SDL's own software renderer and
// the window system's shared memory do as well.
bool hasGraphicsDevice() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/dri", error) &&
           !std::filesystem::is_empty("/dev/dri", error);
}

std::string reason(const char* what) {
    std::string text = what;
    text += ": ";
    text += SDL_GetError();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::create(const SdlSettings& settings, SdlLibraryShare library,
                                               std::shared_ptr<KeyHoldBack> holdBack,
                                               std::string& error) {
    // Hard pixel edges at every scale; and the game paces itself, so no waiting for vsync.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // The player's own SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION still win.
    if (!hasGraphicsDevice()) {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }

    int scale = fittingScale(settings.scale);
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    SDL_Window* window = SDL_CreateWindow("Parapet", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          screenWidth * scale, screenHeight * scale, flags);
    if (window == nullptr) {
        error = reason("cannot open a window");
        return nullptr;
    }
    SDL_SetWindowMinimumSize(window, screenWidth / 2, screenHeight / 2);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer == nullptr) {
        error = reason("cannot draw in the window");
        SDL_DestroyWindow(window);
        return nullptr;
    }
    SDL_Texture* texture = createScreenTexture(renderer);
    if (texture == nullptr) {
        error = reason("cannot create the screen texture");
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(window);
        return nullptr;
    }
    SDL_ShowCursor(SDL_DISABLE);
    std::unique_ptr<SdlDisplay> display(new SdlDisplay(std::move(library), window, renderer,
                                                       texture, false, screenWidth * scale,
                                                       screenHeight * scale));
    display->holdBack_ = std::move(holdBack);
    display->fitMode_ = settings.fitMode;
    display->scanlines_ = settings.scanlines;
    // Made a window first and full screen once the window system has shown it, so the
    // window manager knows the size to return to on Alt+Enter.
    display->fullscreenPending_ = settings.fullscreen;
    for (int wait = 0; wait < 50 && display->fullscreenPending_; ++wait) {
        display->pumpEvents();
        if (display->fullscreenPending_) SDL_Delay(2);
    }
    if (display->fullscreenPending_) {
        display->fullscreenPending_ = false;
        display->setFullscreen(true);
    }
    return display;
}

SdlDisplay::SdlDisplay(SdlLibraryShare library, SDL_Window* window, SDL_Renderer* renderer,
                       SDL_Texture* texture, bool fullscreen, int windowedWidth, int windowedHeight)
    : Display(screenWidth, screenHeight),
      library_(std::move(library)),
      window_(window),
      renderer_(renderer),
      texture_(texture),
      fullscreen_(fullscreen),
      windowedWidth_(windowedWidth),
      windowedHeight_(windowedHeight) {}

SdlDisplay::~SdlDisplay() {
    if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

bool SdlDisplay::recreateTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = createScreenTexture(renderer_);
    // A reset device took the render target's contents with it too.
    if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
    sharp_ = nullptr;
    sharpScale_ = 0;
    return texture_ != nullptr;
}

SDL_Texture* SdlDisplay::sharpTexture(int scale) {
    if (sharp_ != nullptr && sharpScale_ == scale) return sharp_;
    if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
    sharp_ = nullptr;
    sharpScale_ = 0;
    if (!SDL_RenderTargetSupported(renderer_)) return nullptr;
    sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                               screenWidth * scale, screenHeight * scale);
    if (sharp_ == nullptr) return nullptr;
    SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
    sharpScale_ = scale;
    return sharp_;
}

void SdlDisplay::drawScanlines(const SDL_Rect& target) {
    // The lower part of every game row is darkened; below two output lines per row there is
    // no room for a line between rows, and the picture is left as it is.
    if (target.h < 2 * screenHeight) return;
    SDL_Rect lines[screenHeight];
    for (int row = 0; row < screenHeight; ++row) {
        int top = target.y + row * target.h / screenHeight;
        int bottom = target.y + (row + 1) * target.h / screenHeight;
        int dark = std::max(1, (bottom - top) / 3);
        lines[row] = SDL_Rect{target.x, bottom - dark, target.w, dark};
    }
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, scanlineShade);
    SDL_RenderFillRects(renderer_, lines, screenHeight);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
}

void SdlDisplay::present() {
    if (texture_ == nullptr && !recreateTexture()) return;
    const Surface& front = frontSurface();
    SDL_UpdateTexture(texture_, nullptr, front.pixels(),
                      front.width() * static_cast<int>(sizeof(uint16_t)));
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    // The renderer only follows size changes the window system reports; without a window
    // manager some never come, so the whole output is made the viewport every time.
    SDL_RenderSetViewport(renderer_, nullptr);
    PicturePlacement placement = placePicture(outputWidth, outputHeight, front.width(),
                                              front.height(), fitMode_, fullscreen_);
    const Rect& place = placement.target;
    SDL_Rect target{place.left, place.top, place.right - place.left, place.bottom - place.top};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    // Scanlines need two lines per game row: the sharp step's picture is then made at least
    // twice the size, lined there, and smoothed down with them.
    int wholeScale = placement.wholeScale;
    if (placement.smooth && scanlines_) wholeScale = std::max(wholeScale, 2);
    SDL_Texture* sharp = placement.smooth ? sharpTexture(wholeScale) : nullptr;
    if (sharp != nullptr && SDL_SetRenderTarget(renderer_, sharp) == 0) {
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        if (scanlines_)
            drawScanlines(SDL_Rect{0, 0, screenWidth * wholeScale, screenHeight * wholeScale});
        SDL_SetRenderTarget(renderer_, nullptr);
        SDL_RenderSetViewport(renderer_, nullptr);
        SDL_RenderCopy(renderer_, sharp, nullptr, &target);
    } else {
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        if (scanlines_) drawScanlines(target);
    }
    SDL_RenderPresent(renderer_);
}

void SdlDisplay::setIcon(const uint8_t* rgba, int width, int height) {
    // SDL copies the pixels into the window system's own icon; the surface only lends them.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(rgba), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
}

void SdlDisplay::setFullscreen(bool fullscreen) {
    if (SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return;
    }
    fullscreen_ = fullscreen;
    if (!fullscreen) {
        // Not every window manager (or none at all) gives the old size back by itself.
        SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
}

void SdlDisplay::pumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                closeRequested_ = true;
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) closeRequested_ = true;
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) focusLost_ = true;
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED && fullscreenPending_) {
                    fullscreenPending_ = false;
                    setFullscreen(true);
                }
                // The player's own resizing of the window is kept for the next return to it.
                if (event.window.event == SDL_WINDOWEVENT_RESIZED && !fullscreen_ &&
                    (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
                    windowedWidth_ = event.window.data1;
                    windowedHeight_ = event.window.data2;
                }
                break;
            case SDL_KEYDOWN: {
                const SDL_Keysym& key = event.key.keysym;
                bool enter =
                    key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
                if (enter && (key.mod & KMOD_ALT) != 0 && event.key.repeat == 0) {
                    setFullscreen(!fullscreen_);
                    if (holdBack_) {
                        for (SDL_Scancode held :
                             {key.scancode, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}) {
                            holdBack_->holdBack(dikFromScancode(held));
                        }
                    }
                }
                break;
            }
            case SDL_RENDER_DEVICE_RESET:
                recreateTexture();
                break;
            default:
                // Key state and controller hot-plugging are read from SDL's own state, which
                // this loop keeps current; their events need nothing more.
                break;
        }
    }
}

bool SdlDisplay::takeFocusLost() {
    bool lost = focusLost_;
    focusLost_ = false;
    return lost;
}

void SdlDisplay::setWindowScale(int scale) {
    scale = fittingScale(std::clamp(scale, 1, 8));
    windowedWidth_ = screenWidth * scale;
    windowedHeight_ = screenHeight * scale;
    if (fullscreen_) return;  // the window takes the size on leaving full screen
    SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

int SdlDisplay::windowScale() const {
    // A window the player dragged to any size is remembered as the nearest whole scale.
    double fit =
        std::min(windowedWidth_ / double(screenWidth), windowedHeight_ / double(screenHeight));
    return std::clamp(static_cast<int>(fit + 0.5), 1, 8);
}
