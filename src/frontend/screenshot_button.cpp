#include "frontend/screenshot_button.h"

#include <cstdio>

#include "engine/engine.h"
#include "game/game_flow.h"
#include "shell/quote_text.h"
#include "shell/trace.h"

namespace {
constexpr int screenshotPlayer = 0;
constexpr int screenshotButtonIndex = 3;
}  // namespace

void updateScreenshotButton() {
    if (!theEngine->isButtonDown(screenshotPlayer, screenshotButtonIndex)) {
        screenshotButton.armed = true;
        return;
    }
    if (!screenshotButton.armed) return;  // one picture per press
    screenshotButton.armed = false;

    char gameName[sizeof screenshotButton.name];
    std::string path = claimScreenshotName(gameName, sizeof gameName);
    if (theEngine->saveScreenshot(gameName) == 0) {
        std::fprintf(stderr, "parapet: screenshot saved as %s\n", quotePath(path).c_str());
        traceScreenshot(path);
    } else {
        std::fprintf(stderr, "parapet: could not save the screenshot %s\n",
                     quotePath(path).c_str());
    }
}
