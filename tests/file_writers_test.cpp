// Every writer of the game against what a player's disk may hold in place of its file, and
// against being killed half-way: the file is replaced whole or left exactly as it was, never
// turned into something else, and no temporary file outlives its process.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "engine/screenshot.h"
#include "platform/surface.h"
#include "program/highscores.h"
#include "program/settings.h"
#include "recording/game_recorder.h"
#include "recording/replay_store.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

const std::string oldContents = "old";

// One writer of the game: writes `file` in `dir` its own way. `said` is what it told the
// player (its error or stderr).
struct Writer {
    const char* what;
    const char* file;
    std::function<bool(const fs::path& dir, std::string& said)> write;
};

bool withStderr(std::string& said, const std::function<bool()>& write) {
    testing::internal::CaptureStderr();
    bool ok = write();
    said = testing::internal::GetCapturedStderr();
    return ok;
}

const std::vector<Writer>& writers() {
    static const std::vector<Writer> all = {
        {"highscores", "gx.raw",
         [](const fs::path& dir, std::string& said) {
             paths().saveDir = dir.string();
             return withStderr(said, [] {
                 loadHighscores();
                 highscoreValue[0] = 4711;
                 return saveHighscores() == 0;
             });
         }},
        {"settings", "parapet.ini",
         [](const fs::path& dir, std::string& said) {
             return saveWindowSettings((dir / "parapet.ini").string(), true, 4, said);
         }},
        {"run recording", "run.replay",
         [](const fs::path& dir, std::string& said) {
             GameRecorder::Settings settings;
             settings.keepGames = false;
             settings.runFile = (dir / "run.replay").string();
             settings.writeInBackground = false;
             GameRecorder recorder(settings);
             return withStderr(said, [&] { return recorder.finish(10); });
         }},
        {"record game", "record-1p.replay",
         [](const fs::path& dir, std::string& said) {
             return storeGameRecording(dir.string(), "a game that set the record", 1, true, said);
         }},
        {"screenshot", "frame-5.bmp",
         [](const fs::path& dir, std::string& said) {
             Surface screen(4, 4);
             return withStderr(
                 said, [&] { return saveScreenshot(&screen, (dir / "frame-5.bmp").c_str()) == 0; });
         }},
    };
    return all;
}

// Temporary files the writers left in a directory.
std::vector<std::string> temporaries(const fs::path& dir) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().find(".tmp.") != std::string::npos)
            found.push_back(it->path().filename().string());
    return found;
}

class FileWriters : public testing::Test {
protected:
    void SetUp() override {
        root = makeTempDir("writers");
        saved = paths();
        paths().dataDir = (root / "nodata").string();
    }
    void TearDown() override {
        if (!mounted.empty()) ::umount2(mounted.c_str(), MNT_DETACH);
        paths() = saved;
        resetHighscores();
        ::chmod(root.c_str(), 0755);
        fs::remove_all(root);
    }

    // A small tmpfs at `dir` where this process may mount one; otherwise the reason.
    std::string mountTmpfs(const fs::path& dir, const char* options) {
        fs::create_directories(dir);
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options) != 0)
            return std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
        mounted = dir.string();
        return {};
    }

    // Runs every writer on a directory of its own prepared by `prepare`, then `check`.
    void forEachWriter(const std::function<void(const fs::path& dir, const Writer&)>& prepare,
                       const std::function<void(const fs::path& dir, const Writer&, bool ok,
                                                const std::string& said)>& check) {
        for (const Writer& w : writers()) {
            SCOPED_TRACE(w.what);
            fs::path dir = root / w.what;
            fs::create_directories(dir);
            prepare(dir, w);
            std::string said;
            bool ok = w.write(dir, said);
            check(dir, w, ok, said);
            EXPECT_EQ(temporaries(dir), std::vector<std::string>{});
        }
    }

    // Something that is no regular file in the writer's place stays as it was.
    void expectRefused(fs::file_type type, const char* reason) {
        forEachWriter([](const fs::path&, const Writer&) {},
                      [&](const fs::path& dir, const Writer& w, bool ok, const std::string& said) {
                          EXPECT_FALSE(ok);
                          EXPECT_NE(said.find(reason), std::string::npos) << said;
                          EXPECT_EQ(fs::symlink_status(dir / w.file).type(), type);
                      });
    }

    fs::path root;
    Paths saved;
    std::string mounted;
};

}  // namespace

TEST_F(FileWriters, ADeviceNodeIsRefusedAndStaysADevice) {
    for (const Writer& w : writers()) {
        fs::path dir = root / w.what;
        fs::create_directories(dir);
        // The null device's numbers, in a folder of the test's own; a pipe where that is not
        // allowed (it is no regular file either).
        if (::mknod((dir / w.file).c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            ASSERT_EQ(::mkfifo((dir / w.file).c_str(), 0666), 0);
        }
    }
    fs::file_type type = fs::symlink_status(root / "highscores" / "gx.raw").type();
    expectRefused(type, "not a regular file");
}

TEST_F(FileWriters, ADirectoryIsRefusedAndKeepsWhatItHolds) {
    for (const Writer& w : writers()) {
        fs::create_directories(root / w.what / w.file);
        writeText(root / w.what / w.file / "inside", oldContents);
    }
    expectRefused(fs::file_type::directory, "it is a directory");
    for (const Writer& w : writers())
        EXPECT_EQ(readText(root / w.what / w.file / "inside"), oldContents);
}

// A link to a file (a dotfile kept in a synced folder) stays a link, and the file it leads to
// is replaced, crash-safely in its own folder; a dangling link makes the file it names.
TEST_F(FileWriters, ASymbolicLinkStaysALinkAndItsTargetIsWritten) {
    for (bool dangling : {false, true}) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file");
        fs::remove_all(root);
        forEachWriter(
            [&](const fs::path& dir, const Writer& w) {
                fs::create_directories(dir / "synced");
                if (!dangling) writeText(dir / "synced" / w.file, oldContents);
                fs::create_symlink(fs::path("synced") / w.file, dir / w.file);
            },
            [](const fs::path& dir, const Writer& w, bool ok, const std::string& said) {
                EXPECT_TRUE(ok) << said;
                EXPECT_TRUE(fs::is_symlink(dir / w.file));
                std::string written = readText(dir / "synced" / w.file);
                EXPECT_FALSE(written.empty());
                EXPECT_NE(written, oldContents);
                EXPECT_EQ(temporaries(dir / "synced"), std::vector<std::string>{});
            });
    }
}

TEST_F(FileWriters, AReadOnlyDirectoryLeavesTheOldFileAsItWas) {
    // Root writes into any directory whatever its mode bits: a read-only mount it is, then.
    bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        std::string why = mountTmpfs(root, "size=1m");
        if (!why.empty()) GTEST_SKIP() << "read-only directory: " << why;
    }
    for (const Writer& w : writers()) {
        fs::create_directories(root / w.what);
        writeText(root / w.what / w.file, oldContents);
    }
    if (asRoot)
        ASSERT_EQ(::mount(nullptr, root.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    else
        for (const Writer& w : writers()) ::chmod((root / w.what).c_str(), 0555);
    forEachWriter([](const fs::path&, const Writer&) {},
                  [](const fs::path& dir, const Writer& w, bool ok, const std::string& said) {
                      EXPECT_FALSE(ok);
                      EXPECT_TRUE(said.find("Read-only file system") != std::string::npos ||
                                  said.find("Permission denied") != std::string::npos)
                          << said;
                      EXPECT_EQ(readText(dir / w.file), oldContents);
                  });
    if (!asRoot)
        for (const Writer& w : writers()) ::chmod((root / w.what).c_str(), 0755);
}

TEST_F(FileWriters, AFullFileSystemLeavesTheOldFileAsItWas) {
    std::string why = mountTmpfs(root, "size=256k");
    if (!why.empty()) GTEST_SKIP() << "full file system: " << why;
    for (const Writer& w : writers()) {
        fs::create_directories(root / w.what);
        writeText(root / w.what / w.file, oldContents);
    }
    {
        std::ofstream filler(root / "filler", std::ios::binary);
        std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) {
        }
    }
    forEachWriter([](const fs::path&, const Writer&) {},
                  [](const fs::path& dir, const Writer& w, bool ok, const std::string& said) {
                      EXPECT_FALSE(ok);
                      EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
                      EXPECT_EQ(readText(dir / w.file), oldContents);
                  });
}

// Killed with SIGKILL in the middle of writing (a file size limit stops the write half-way
// and the process kills itself there): the old file stays whole, and the next write of the
// game in that folder clears what the killed one left.
TEST_F(FileWriters, AWriterKilledHalfWayLeavesTheOldFile) {
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.what);
        fs::path dir = root / w.what;
        fs::create_directories(dir);
        writeText(dir / w.file, oldContents);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, [](int) { ::raise(SIGKILL); });
            rlimit limit{8, 8};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::string said;
            w.write(dir, said);
            _exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "not killed";
        EXPECT_EQ(readText(dir / w.file), oldContents);
        EXPECT_EQ(temporaries(dir).size(), 1u) << "killed before it wrote anything";

        std::string said;
        EXPECT_TRUE(w.write(dir, said)) << said;
        EXPECT_NE(readText(dir / w.file), oldContents);
        EXPECT_EQ(temporaries(dir), std::vector<std::string>{});
    }
}

// What the writer itself promises beyond the players' cases above.
TEST_F(FileWriters, TheWriterKeepsPermissionsAndClearsOnlyTheGamesOwnLeftovers) {
    writeText(root / "parapet.ini", oldContents);
    ::chmod((root / "parapet.ini").c_str(), 0600);

    pid_t dead = ::fork();
    ASSERT_GE(dead, 0);
    if (dead == 0) _exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string deadPid = std::to_string(dead), livePid = std::to_string(::getppid());
    const std::string cleared[] = {"gx.raw.tmp." + deadPid, "game-000007.replay.tmp." + deadPid,
                                   "snap00.bmp.tmp." + deadPid, "mine.txt.tmp." + deadPid};
    const std::string kept[] = {"gx.raw.tmp." + livePid, "notes.txt.tmp." + deadPid,
                                "gx.raw.tmp.notapid"};
    for (const std::string& name : cleared) writeText(root / name, "x");
    for (const std::string& name : kept) writeText(root / name, "x");

    std::string error;
    ASSERT_TRUE(writeFileAtomically((root / "mine.txt").string(), "new", error)) << error;
    ASSERT_TRUE(writeFileAtomically((root / "parapet.ini").string(), "new", error)) << error;
    EXPECT_EQ(fs::status(root / "parapet.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    for (const std::string& name : cleared) EXPECT_FALSE(fs::exists(root / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(root / name)) << name;
}
