#include "screens/highscore_text.h"

#include <cstdio>
#include <cstring>

#include "rules/highscore_table.h"

void buildHighscoreText(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::memset(buffer, 0, size);
    // The names are printed with a bound of 8 so a table filled by hand can never run the
    // text past its buffer.
    std::snprintf(buffer, size,
                  "************** Highscores:   1-Player-Game: %d  (%.8s)"
                  "                2-Player-Game: %d  (%.8s)"
                  "                3-Player-Game: %d  (%.8s)"
                  "*******************                      ",
                  highscoreValue[0], highscoreName[0], highscoreValue[1], highscoreName[1],
                  highscoreValue[2], highscoreName[2]);
}
