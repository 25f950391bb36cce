#pragma once
#include <cstddef>
#include <string>

// The screenshot button's next file name, for the whole run.
struct ScreenshotButton {
    char name[32] = "c:\\snap00.bmp";
};
extern ScreenshotButton screenshotButton;

// Moves "c:\\snapNN.bmp" on to the next name. The units digit carries at '8' (snap08 is
// followed by snap10), as the names always have; the carry then ripples through the other
// digits and adds one in front when they are all '9' (snap98 -> snap100).
void advanceScreenshotName(char* name, size_t size);
// The real path of the next name not yet taken in the screenshot directory (which it
// creates); copies that game name to gameName and moves the counter past it.
std::string claimScreenshotName(char* gameName, size_t size);
