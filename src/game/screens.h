#pragma once

// One frame of each screen before and after play; updateGame() picks the one for the state.
void updateStartup();       // 10
void updateTitle();         // 20
void updateMenu();          // 15
void updateNameEntry();     // 100
void updateNameAccepted();  // 110
// Before each frame after the first of the title's wait for a released fire button: the
// menu once it is let go (true).
bool updateTitleRelease();
