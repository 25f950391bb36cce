// Every reader of the game against what a player's disk may hold in place of its file: each
// names the file with the real reason, and none blocks on a pipe or reads a device. (A missing
// file means something different to each reader: its own test says what.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/paths.h"
#include "platform/headless/input_script.h"
#include "platform/sdl/sdl_platform.h"
#include "program/highscores.h"
#include "program/options.h"
#include "program/settings.h"
#include "recording/recording.h"
#include "support/test_sheets.h"

namespace fs = std::filesystem;

namespace {

// One reader of the game: reads `path` its own way; `said` is what it told the player.
struct Reader {
    const char* what;
    const char* file;
    std::function<bool(const fs::path& path, std::string& said)> read;
};

const Reader readers[] = {
    {"picture", "Wall640.raw",
     [](const fs::path& path, std::string& said) {
         TestEngine t;
         Surface* picture = t.engine.pictureSurface(Picture::wall);
         picture->fill(0x5555);
         withStderr(said, [&] {
             return t.engine.loadRawInto(picture, path.c_str(), 24, 0, 0, 640, 480) == 0;
         });
         return picture->pixels()[100 * 640 + 100] != 0;  // unreadable shows black
     }},
    {"highscores", "gx.raw",
     [](const fs::path& path, std::string& said) {
         paths().saveDir = path.parent_path().string();
         highscoreValue[0] = 77;
         withStderr(said, [] {
             loadHighscores();
             return true;
         });
         return highscoreValue[0] != 0;  // unreadable plays on the built-in table
     }},
    {"input script", "input.txt",
     [](const fs::path& path, std::string& said) {
         InputScript script;
         return loadInputScript(path.string(), script, said);
     }},
    {"recording", "run.replay",
     [](const fs::path& path, std::string& said) {
         Recording recording;
         return loadRecording(path.string(), recording, said);
     }},
    {"settings", "parapet.ini",
     [](const fs::path& path, std::string& said) {
         Options options;
         std::vector<std::string> problems;
         loadSettings(path.string(), options, keyCodeFromName, problems);
         for (const std::string& p : problems) said += p + "\n";
         return problems.empty() && options.scale == 2;  // unreadable keeps the defaults
     }},
};

struct Failure {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* reason;
};

const Failure failures[] = {
    {"directory", [](const fs::path& p) { fs::create_directory(p); }, "it is a directory"},
    {"named pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
     "not a regular file"},
    {"device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "not a regular file"},
    // Reading this process's memory from offset 0 fails in read() itself: a real I/O error.
    {"read error", [](const fs::path& p) { fs::create_symlink("/proc/self/mem", p); },
     "Input/output error"},
};

}  // namespace

TEST(FileReaders, WhatIsNoReadableFileIsNamedWithItsReason) {
    const SavedPaths saved;
    alarm(60);  // a blocking open ends the run here instead of hanging it
    for (const Reader& r : readers)
        for (const Failure& f : failures) {
            SCOPED_TRACE(std::string(r.what) + ", " + f.what);
            fs::path path = fs::path(makeTempDir("readers")) / r.file;
            f.make(path);
            std::string said;
            EXPECT_FALSE(r.read(path, said));
            EXPECT_NE(said.find(path.string()), std::string::npos) << said;
            EXPECT_NE(said.find(f.reason), std::string::npos) << said;
        }
    alarm(0);
    resetHighscores();
}
