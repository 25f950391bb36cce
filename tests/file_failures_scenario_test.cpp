// The real program facing files that are not what it expects, as a player would meet them:
// each failure is one line on stderr with the real reason and a fitting exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/screen_run.h"

namespace fs = std::filesystem;

TEST(FileFailuresScenario, EachFailureIsOneLineWithTheRealReasonAndItsExitStatus) {
    const fs::path dir = screen_run::scratchDir();
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string arguments;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {"no data directory", [] {}, "--data '" + (dir / "nowhere").string() + "'", 1,
         "no game data in " + (dir / "nowhere").string() + " (given by --data): it does not exist"},
        {"a directory without the data", [] {}, "--data '" + dir.string() + "'", 1,
         "no game data in " + dir.string() + " (given by --data): it has no g/ folder"},
        {"a sound file missing from the data",
         [&] {
             fs::remove_all(dir / "data");
             fs::copy(PARAPET_DATA_DIR, dir / "data", fs::copy_options::recursive);
             fs::remove(dir / "data" / "m" / "mus03.raw");
         },
         "--data '" + (dir / "data").string() + "'", 1,
         "sound file m\\mus03.raw is missing (looked for " +
             (dir / "data" / "m" / "mus03.raw").string()},
        {"trace on a full disk", [] {}, "--trace /dev/full", 3,
         "cannot write the trace file /dev/full: No space left on device"},
        {"screenshot directory that cannot be made",
         [&] { fs::create_symlink(dir / "gone" / "shots", dir / "dangling"); },
         "--screenshot-at 2 --screenshot-dir '" + (dir / "dangling").string() + "'", 0,
         "cannot create the directory " + (dir / "dangling").string() + ": File exists"},
        // Refused before the run, never replaced by a regular file at its end.
        {"recording onto a named pipe",
         [&] { ASSERT_EQ(::mkfifo((dir / "save" / "run.fifo").c_str(), 0644), 0); },
         "--record '" + (dir / "save" / "run.fifo").string() + "'", 2,
         "cannot write the recording " + (dir / "save" / "run.fifo").string() +
             ": it is not a regular file"},
        // The log only helps: its loss is said once and the game goes on.
        {"log on a full disk", [] {}, "--log /dev/full", 0,
         "cannot write the log file /dev/full: No space left on device"},
        {"statistics to a full disk", [] {}, "--stats >/dev/full", 3,
         "cannot print the --stats report: No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "save");
        fs::remove(dir / "dangling");
        fs::create_directories(dir / "save");
        c.prepare();
        screen_run::Result r = screen_run::run(dir, "", "--frames 3 " + c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        const std::string err = r.errors;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

// Paths, host names and setting names from outside reach the terminal cut and escaped in
// every message that repeats them: no escape sequence or line break of theirs gets through.
TEST(FileFailuresScenario, MessagesQuoteWhatCameFromOutside) {
    const fs::path dir = screen_run::scratchDir();
    const std::string evil = "\x1b[2J\nx" + std::string(150, 'x');
    const fs::path place = dir / evil / evil;  // far over the length a message quotes
    fs::create_directories(place);
    // A line break would end the setting's line; a bell in a key name would ring.
    writeText(dir / "keys.ini", "[player1]\nfire = \x1b[2J\x07" + evil.substr(5) + "\n");
    const std::vector<std::vector<std::string>> cases = {
        {"--input", (place / "script.txt").string()},
        {"--replay", place.string()},
        {"--record", place.string()},
        {"--config", place.string()},
        {"--config", (dir / "keys.ini").string()},
        {"--join", evil},
    };
    for (const std::vector<std::string>& extra : cases) {
        SCOPED_TRACE(extra[0]);
        std::string err =
            screen_run::run(dir, "", "--frames 2 " + extra[0] + " " + screen_run::quoted(extra[1]))
                .errors;
        EXPECT_EQ(err.find('\x1b'), std::string::npos) << err;
        EXPECT_NE(err.find("\\x1B[2J\\x"), std::string::npos) << err;
        EXPECT_NE(err.find("xxx..."), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}
