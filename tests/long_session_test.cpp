// A long unattended session must not grow: every level end, record and new game reuses or
// frees what the one before made.
#include <gtest/gtest.h>
#include <malloc.h>

#include <filesystem>
#include <vector>

#include "rules/game_state.h"
#include "support/soak_bot.h"
#include "support/test_sheets.h"

TEST(LongSession, HeapInUseIsTheSameAtEveryLevelStart) {
    std::string dir = makeTempDir("long_session");
    SoakBot bot;
    // Bytes in use as each level starts; the first games still make objects for good.
    std::vector<size_t> atLevelStart;
    int levels = 0;
    bot.onFrame = [&](int) {
        // A new game's first level is skipped: the last game's recording may still be being
        // written by its own thread then, which is not growth.
        if (game.gameState == stateLevelIntro && game.stateFrame == 1 && game.levelIndex > 0) {
            ++levels;
            atLevelStart.push_back(mallinfo2().uordblks);
        }
    };
    ASSERT_EQ(playSoakGame(bot, 30000, PARAPET_DATA_DIR, dir.c_str()), 0);
    std::filesystem::remove_all(dir);
    ASSERT_GE(levels, 8) << "the bot must reach many level ends for this to mean anything";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "ASan keeps its own heap; its leak check at exit covers this build";
#endif
    const size_t settled = atLevelStart[levels / 2];
    for (int i = levels / 2; i < levels; ++i)
        EXPECT_LE(atLevelStart[i], settled + 1024) << "level start " << i << " of " << levels;
}
