#pragma once

// The game flow's entry points, called once per frame by the main loop.

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
