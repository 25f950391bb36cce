#include "rules/rules.h"
#include "screens/screens.h"

// The screenshot button works on every screen, so it comes before the play-only actions.
void updatePlayerControls() {
    updateScreenshotButton();
    updatePlayerActions();
}
