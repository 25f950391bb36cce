// Two machines playing one game judge records against one table built from both.
#include <gtest/gtest.h>

#include <cstring>

#include "program/highscores.h"

TEST(HighscoreMerge, TheBetterRecordOfEachPlayerCountStandsAndTiesGoToTheHost) {
    auto setTable = [](const char* a, int av, const char* b, int bv, const char* c, int cv) {
        const char* names[3] = {a, b, c};
        const int values[3] = {av, bv, cv};
        for (int i = 0; i < 3; ++i) {
            std::snprintf(highscoreName[i], sizeof highscoreName[i], "%s", names[i]);
            highscoreValue[i] = values[i];
        }
    };
    unsigned char theirs[42];
    setTable("Cyra", 90, "Dov", 10, "Eli", 50);
    encodeHighscores(theirs);
    for (bool theirsWinTies : {false, true}) {
        setTable("Ann", 100, "Zorvik", 0, "Bo", 50);
        keepBetterHighscores(theirs, theirsWinTies);
        EXPECT_STREQ(highscoreName[0], "Ann");
        EXPECT_STREQ(highscoreName[1], "Dov");
        EXPECT_EQ(highscoreValue[1], 10);
        EXPECT_STREQ(highscoreName[2], theirsWinTies ? "Eli" : "Bo");
    }
    resetHighscores();
}
