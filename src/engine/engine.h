#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/surface.h"

class Actor;
class Scroller;

// The one object through which the game reaches the screen and the input devices: the four
// full-screen surfaces, the sprite sheet table, the actor and overlay lists, the keyboard
// snapshot and the per-player controls.
class Engine {
public:
    static constexpr int maxSheets = 255;
    static constexpr int maxActors = 500;
    static constexpr int maxOverlays = 8;
    static constexpr int playerSlots = 8;
    static constexpr int maxJoystickIds = 8;

    // The display and the input devices belong to the platform; the engine only uses them.
    // joysticks may be null (no controller support).
    Engine(Display* display, KeyboardDevice* keyboard, JoystickSource* joysticks, int width,
           int height, int bitsPerPixel);
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- display (engine.cpp) ---
    void setClipRect(int left, int top, int right, int bottom);
    const Rect& clipRect() const { return clip_; }
    void clearAllSurfaces();
    int screenWidth() const { return width_; }
    int screenHeight() const { return height_; }
    Surface* frontSurface() { return &display_->frontSurface(); }
    Surface* backBuffer() { return &display_->backBuffer(); }
    Surface* pictureSurface() { return pictureSurface_.get(); }
    Surface* backgroundSurface() { return backgroundSurface_.get(); }
    Display* display() { return display_; }

    // --- sheets and pictures (raw_image.cpp) ---
    int addSheet(const char* fileName, int width, int height, int fileBitsPerPixel, int cellWidth,
                 int cellHeight, bool drawable);
    void loadPicture(const char* fileName, int fileBitsPerPixel, int unused1 = 0, int unused2 = 0);
    void restoreBackground();
    int loadRawInto(Surface* surface, const char* fileName, int fileBitsPerPixel, int unused1,
                    int unused2, int width, int height);
    int sheetCount() const { return sheetCount_; }
    Surface* sheetSurface(int sheet) { return sheetSurface_[sheet].get(); }
    int cellWidth(int sheet) const { return cellWidth_[sheet]; }
    int cellHeight(int sheet) const { return cellHeight_[sheet]; }
    int sheetWidth(int sheet) const { return sheetWidth_[sheet]; }
    int sheetHeight(int sheet) const { return sheetHeight_[sheet]; }
    bool sheetDrawable(int sheet) const { return sheetDrawable_[sheet] != 0; }

    // --- frame rendering (render.cpp) ---
    void runFrame();
    void addActor(Actor* actor);
    void removeActor(Actor* actor);
    void sortActors();
    void addOverlay(Scroller* scroller);
    void removeOverlay(Scroller* scroller);
    int actorCount() const { return actorCount_; }
    Actor* actorAt(int slot) const { return actorList_[slot]; }
    int overlayCount() const { return overlayCount_; }
    void drawCell(int sheet, int cell, int x, int y, bool mirrorX, bool mirrorY, Surface* target,
                  bool colourKey);
    // A frame step in which the game stands still (paused): the hooks run, the controls and
    // the keyboard are read, the picture on screen is shown again with drawOver's additions,
    // and the frame counts like any other, so input scripts keep their frame numbers.
    void runHeldFrame(const std::function<void(Surface& target)>& drawOver);
    // Engine frame steps completed so far; frame F of a run is the one that completes step F.
    int framesCompleted() const { return framesCompleted_; }

    // Hooks for the shell: called at the very start of each frame step (before the controls
    // are read) and right after its page flip, with the number of that frame (1, 2, ...).
    std::function<void(int frame)> onFrameStart;
    std::function<void(int frame)> onFrameFlipped;
    // Time spent in the last frame step's drawing and presentation, for --stats.
    int64_t lastDrawMicros() const { return lastDrawMicros_; }
    int64_t lastPresentMicros() const { return lastPresentMicros_; }

    // --- screenshots (screenshot.cpp) ---
    int saveScreenshot(const char* fileName);

    // --- input devices (src/input/) ---
    int setUpJoysticks(int maxCount);
    // Sets up controllers plugged in since start-up into the next free slots, up to
    // maxCount in all; returns joystickCount.
    int setUpNewJoysticks(int maxCount);
    void setUpKeyboard();
    void readKeyboard();
    bool isKeyDown(int keyCode) const { return (keyboardState_[keyCode & 0xFF] & 0x80) != 0; }
    int enumeratedJoysticks() const { return enumeratedJoysticks_; }
    int joystickCount() const { return joystickCount_; }
    // Set-up joysticks that could be read in the last frame step (the others are unplugged).
    int attachedJoysticks() const;

    // --- player controls (src/input/) ---
    void bindKeys(int slot, int up, int down, int left, int right, int buttonCount,
                  const int* buttonKeys);
    void readControls();
    uint32_t directions(int slot) const { return directions_[slot]; }
    uint32_t previousDirections(int slot) const { return previousDirections_[slot]; }
    bool isButtonDown(int slot, int button) const { return (buttons_[slot] >> button) & 1u; }
    bool wasButtonDown(int slot, int button) const {
        return (previousButtons_[slot] >> button) & 1u;
    }

private:
    void restoreBackBuffer();

    int sheetCount_ = 0;
    int actorCount_ = 0;
    Actor* actorList_[maxActors] = {};
    std::unique_ptr<Surface> backgroundSurface_;
    std::unique_ptr<Surface> pictureSurface_;
    Display* display_;
    KeyboardDevice* keyboardDevice_;
    JoystickSource* joystickSource_;
    int joystickIdentity_[maxJoystickIds] = {};
    int enumeratedJoysticks_ = 0;
    int upKey_[playerSlots] = {};
    int downKey_[playerSlots] = {};
    int leftKey_[playerSlots] = {};
    int rightKey_[playerSlots] = {};
    const int* buttonKeys_[playerSlots] = {};
    bool keyboardBound_[playerSlots] = {};
    int buttonCount_[playerSlots] = {};
    int joystickDevice_[playerSlots] = {};
    bool joystickReadable_[playerSlots] = {};
    std::unique_ptr<Surface> sheetSurface_[maxSheets];
    int cellWidth_[maxSheets] = {};
    int cellHeight_[maxSheets] = {};
    int sheetWidth_[maxSheets] = {};
    int sheetHeight_[maxSheets] = {};
    int joystickCount_ = 0;
    uint32_t directions_[playerSlots] = {};
    uint32_t previousDirections_[playerSlots] = {};
    uint32_t buttons_[playerSlots] = {};
    uint32_t previousButtons_[playerSlots] = {};
    uint8_t sheetDrawable_[maxSheets] = {};
    int bitsPerPixel_;
    int width_;
    int height_;
    int overlayCount_ = 0;
    Scroller* overlayList_[maxOverlays] = {};
    uint8_t keyboardState_[256] = {};
    Rect clip_;
    int framesCompleted_ = 0;
    int64_t lastDrawMicros_ = 0;
    int64_t lastPresentMicros_ = 0;
};

// The program-wide engine, set by start-up.
extern Engine* theEngine;

// The one blit behind every drawn cell: the width x height rectangle at (sourceX, sourceY) of
// source onto target at (targetX, targetY), mirrored as asked, skipping black when colourKey
// is set, clipped to clip and to the target.
void blitCell(Surface* source, Surface* target, int sourceX, int sourceY, int width, int height,
              int targetX, int targetY, bool mirrorX, bool mirrorY, bool colourKey,
              const Rect& clip);

// Converts width x height pixels between the file and display formats (24 <-> 15/16 bits).
void convertPixels(const void* source, void* destination, int sourceBits, int destinationBits,
                   int width, int height);
