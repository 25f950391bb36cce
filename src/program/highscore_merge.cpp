#include <cstring>

#include "program/highscores.h"
#include "rules/game_state.h"

void keepBetterHighscores(const unsigned char* theirs, bool theirsWinTies) {
    char ourNames[3][9];
    int ourValues[3];
    std::memcpy(ourNames, highscoreName, sizeof ourNames);
    std::memcpy(ourValues, highscoreValue, sizeof ourValues);
    decodeHighscores(theirs, 42);
    for (int i = 0; i < 3; ++i) {
        bool oursStands = ourValues[i] > highscoreValue[i] ||
                          (ourValues[i] == highscoreValue[i] && !theirsWinTies);
        if (!oursStands) continue;
        std::memcpy(highscoreName[i], ourNames[i], sizeof ourNames[i]);
        highscoreValue[i] = ourValues[i];
    }
    game.highscoresChanged = 1;
}
