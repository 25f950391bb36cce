// Two machines playing one game judge records against one table built from both.
#include <gtest/gtest.h>

#include <cstring>

#include "frontend/highscores.h"

namespace {

void setTable(const char* const names[3], const int values[3]) {
    for (int i = 0; i < 3; ++i) {
        std::strncpy(highscoreName[i], names[i], 8);
        highscoreName[i][8] = '\0';
        highscoreValue[i] = values[i];
    }
}

}  // namespace

TEST(HighscoreMerge, TheBetterRecordOfEachPlayerCountStandsAndTiesGoToTheHost) {
    const char* const theirNames[3] = {"Cyra", "Dov", "Eli"};
    const int theirValues[3] = {90, 10, 50};
    const char* const ourNames[3] = {"Ann", "Zorvik", "Bo"};
    const int ourValues[3] = {100, 0, 50};
    unsigned char theirs[42];
    setTable(theirNames, theirValues);
    encodeHighscores(theirs);

    for (bool theirsWinTies : {false, true}) {
        setTable(ourNames, ourValues);
        keepBetterHighscores(theirs, theirsWinTies);
        EXPECT_STREQ(highscoreName[0], "Ann");
        EXPECT_EQ(highscoreValue[0], 100);
        EXPECT_STREQ(highscoreName[1], "Dov");
        EXPECT_EQ(highscoreValue[1], 10);
        EXPECT_STREQ(highscoreName[2], theirsWinTies ? "Eli" : "Bo");
        EXPECT_EQ(highscoreValue[2], 50);
    }
    resetHighscores();
}
