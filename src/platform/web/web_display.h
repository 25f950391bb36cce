#pragma once
#include <cstdint>
#include <vector>

#include "platform/display.h"

// Shows the 640 x 480 front surface on the page's canvas. The page scales the canvas (4:3,
// nearest-neighbour) and owns full screen; focus is the browser window's.
class WebDisplay : public Display {
public:
    WebDisplay();
    void present() override;
    // Browser events arrive through their own callbacks; there is no queue to drain.
    void pumpEvents() override {}
    // Closing the tab ends everything at once; the game never sees a close request.
    bool closeRequested() const override { return false; }
    bool takeFocusLost() override;

private:
    std::vector<uint32_t> rgba_;
};

// Draws any surface on the page's canvas (the headless run's last picture, too).
void drawOnPage(Surface& surface, std::vector<uint32_t>& rgba);

// The front surface's RGB565 pixels as canvas bytes R, G, B, 255, with each channel widened
// the way the screenshot writer widens it, so the canvas equals a native screenshot.
void rgb565ToRgba(const uint16_t* pixels, uint32_t* rgba, int count);
