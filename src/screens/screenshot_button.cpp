#include "engine/backdrop.h"
#include "base/events.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "input/controls.h"

namespace {
constexpr int screenshotPlayer = 0;
constexpr int screenshotButtonIndex = 3;
}  // namespace

void updateScreenshotButton() {
    if (!theControls.isButtonDown(screenshotPlayer, screenshotButtonIndex)) {
        game.screenshotArmed = true;
        return;
    }
    if (!game.screenshotArmed) return;  // one picture per press
    game.screenshotArmed = false;
    // A picture put up earlier in this step is already on the screen.
    const Backdrop& b = theBackdrop;
    bool newPicture = b.base == Backdrop::Base::pictureOnly;
    emitEvent(EventKind::screenshot,
              static_cast<int32_t>(newPicture ? FrontShows::picture : FrontShows::lastFrame),
              static_cast<int32_t>(b.basePicture));
}
