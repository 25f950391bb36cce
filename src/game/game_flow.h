#pragma once

// The game flow's entry points, called once per frame by the main loop.

// One whole frame as the main loop runs it: the screen's logic, the controls and the engine's
// frame step (drawing, moving, the page flip).
void runGameFrame();

// One frame of the current screen (start-up, title, menu, new game, level intro, play,
// level end, results, name entry).
void updateGame();
// The screenshot button and, during play, each player's running, throwing and strokes.
void updatePlayerControls();

// Frees every object of the screens and the play field and the animation table, once the
// run's engine is done with them (the end of a run).
void releaseGame();

// Screens
void showTitle();
void buildMenu();
// Leaves the menu (if it is up) for a new game of game.numPlayers players; playback and the
// demo start their games this way too.
void startNewGame();
// Makes the figure that walks in over the first level, if the start-up screen has not.
void makeIntroFigure();
// Ends a game at once wherever it is (a demo interrupted by a key) and shows the menu.
void abandonGame();
void beginNameEntry(int winner, int players, int score);

// Game and level set-up
void startGame();
void startLevel();
void spawnClimber();
void addSmartBomb(int player);
void removeSmartBomb(int player);
void fireSmartBomb(int player);

// State handlers of a level, called by updateGame() for their states.
void updateLevelIntro();      // 50
void updatePlay();            // 60 (play frame with the climbers)
void updateLevelEnd();        // 70
void updateResultsSlideIn();  // 80
void updateResults();         // 90
// The two halves of updatePlayerControls().
void updateScreenshotButton();
void updatePlayerActions();
