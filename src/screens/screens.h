#pragma once

// The screens around play and the flow between them, one frame at a time.

// One frame of the current screen (start-up, title, menu, new game, level intro, play,
// level end, results, name entry).
void updateGame();
// The screenshot button and, during play, each player's running, throwing and strokes.
void updatePlayerControls();
void updateScreenshotButton();

// One frame of each screen before and after play; updateGame() picks the one for the state.
void updateStartup();       // 10
void updateTitle();         // 20
void updateMenu();          // 15
void updateNameEntry();     // 100
void updateNameAccepted();  // 110
// Before each frame after the first of the title's wait for a released fire button: the
// menu once it is let go (true).
bool updateTitleRelease();

// State handlers of a level, called by updateGame() for their states.
void updateLevelIntro();      // 50
void updateLevelEnd();        // 70
void updateResultsSlideIn();  // 80
void updateResults();         // 90

void showTitle();
void buildMenu();
// Leaves the menu (if it is up) for a new game of game.numPlayers players; playback and the
// demo start their games this way too.
void startNewGame();
// Makes the figure that walks in over the first level, if the start-up screen has not.
void makeIntroFigure();
// Ends a game at once wherever it is and shows the menu.
void abandonGame();
void beginNameEntry(int winner, int players, int score);
