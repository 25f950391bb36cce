// The real program facing files that are not what it expects, as a player would meet them:
// each failure is one line on stderr with the real reason and a fitting exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "support/screen_run.h"

namespace fs = std::filesystem;

TEST(FileFailuresScenario, EachFailureIsOneLineWithTheRealReasonAndItsExitStatus) {
    const fs::path dir = screen_run::scratchDir();
    const std::string data = " --data '" + std::string(PARAPET_DATA_DIR) + "'";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string arguments;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {"named pipe as the highscore file",
         [&] { ASSERT_EQ(::mkfifo((dir / "save" / "gx.raw").c_str(), 0644), 0); }, data, 0,
         (dir / "save" / "gx.raw").string() + ": it is not a regular file"},
        {"no data directory", [] {}, " --data '" + (dir / "nowhere").string() + "'", 1,
         "no game data in " + (dir / "nowhere").string() + " (given by --data): it does not exist"},
        {"a directory without the data", [] {}, " --data '" + dir.string() + "'", 1,
         "no game data in " + dir.string() + " (given by --data): it has no g/ folder"},
        {"trace on a full disk", [] {}, data + " --trace /dev/full", 3,
         "cannot write the trace file /dev/full: No space left on device"},
        {"screenshot directory that cannot be made",
         [&] { fs::create_symlink(dir / "gone" / "shots", dir / "dangling"); },
         data + " --screenshot-at 2 --screenshot-dir '" + (dir / "dangling").string() + "'", 0,
         "cannot create the directory " + (dir / "dangling").string() + ": File exists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "save");
        fs::remove(dir / "dangling");
        fs::create_directories(dir / "save");
        c.prepare();
        // `timeout`: a start-up that blocks fails the case instead of hanging the suite.
        std::string command = "timeout 60 '" + std::string(PARAPET_BINARY) +
                              "' --headless --frames 3 --save-dir '" + (dir / "save").string() +
                              "'" + c.arguments + " >/dev/null 2>'" + (dir / "err.txt").string() +
                              "'";
        int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.exitCode);
        std::ifstream in(dir / "err.txt");
        std::string err(std::istreambuf_iterator<char>(in), {});
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}
