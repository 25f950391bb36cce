#pragma once
#include "platform/display.h"

// The screen of a run without a window: the surfaces exist and are drawn on exactly as in a
// window, only nothing is shown. Closing is asked for by the run itself (its last frame).
class HeadlessDisplay : public Display {
public:
    HeadlessDisplay(int width, int height);
    ~HeadlessDisplay() override;

    void present() override;
    void pumpEvents() override;
    bool closeRequested() const override;
    void requestClose() { closeRequested_ = true; }

private:
    bool closeRequested_ = false;
};
