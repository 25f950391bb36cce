#include <cstring>

#include "program/highscores.h"
#include "rules/game_state.h"
#include "program/highscore_file.h"

void keepBetterHighscores(const unsigned char* theirs, bool theirsWinTies) {
    HighscoreTable ours;
    std::memcpy(ours.name, highscoreName, sizeof ours.name);
    std::memcpy(ours.value, highscoreValue, sizeof ours.value);
    HighscoreTable better =
        betterHighscores(ours, decodeHighscoreTable(theirs, highscoreFileBytes), theirsWinTies);
    std::memcpy(highscoreName, better.name, sizeof better.name);
    std::memcpy(highscoreValue, better.value, sizeof better.value);
    game.highscoresChanged = 1;
}
