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

#include <algorithm>
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
void oldFile(const fs::path& file) { writeText(file, oldContents); }

// One writer of the game: writes `file` in `dir` its own way. `said` is what it told the
// player (its error or stderr).
struct Writer {
    const char* what;
    const char* file;
    std::function<bool(const fs::path& dir, std::string& said)> write;
};

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
    void SetUp() override { paths().dataDir = (root / "nodata").string(); }
    void TearDown() override {
        for (const std::string& dir : mounted) ::umount2(dir.c_str(), MNT_DETACH);
        resetHighscores();
        std::error_code ec;
        for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory()) ::chmod(it->path().c_str(), 0755);
        fs::remove_all(root);
    }

    // A small tmpfs at `dir` where this process may mount one; otherwise the reason.
    std::string mountTmpfs(const fs::path& dir, const char* options) {
        fs::create_directories(dir);
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options) != 0)
            return std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
        mounted.push_back(dir.string());
        return {};
    }

    // Gives each writer its folder below `base` and puts `what` in place of its file.
    void eachFile(const fs::path& base, const std::function<void(const fs::path& file)>& what) {
        for (const Writer& w : writers()) {
            fs::create_directories(base / w.what);
            what(base / w.what / w.file);
        }
    }

    SavedPaths saved;
    const fs::path root = makeTempDir("writers");
    std::vector<std::string> mounted;
};

}  // namespace

// A link to a file (a dotfile kept in a synced folder) stays a link, and the file it leads to
// is replaced, crash-safely in its own folder; a dangling link makes the file it names.
TEST_F(FileWriters, ASymbolicLinkStaysALinkAndItsTargetIsWritten) {
    for (bool dangling : {false, true}) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file");
        const fs::path base = root / (dangling ? "dangling" : "to a file");
        eachFile(base, [&](const fs::path& file) {
            fs::create_directories(file.parent_path() / "synced");
            if (!dangling) oldFile(file.parent_path() / "synced" / file.filename());
            fs::create_symlink(fs::path("synced") / file.filename(), file);
        });
        for (const Writer& w : writers()) {
            SCOPED_TRACE(w.what);
            const fs::path dir = base / w.what;
            std::string said;
            EXPECT_TRUE(w.write(dir, said)) << said;
            EXPECT_TRUE(fs::is_symlink(dir / w.file));
            std::string written = readText(dir / "synced" / w.file);
            EXPECT_FALSE(written.empty());
            EXPECT_NE(written, oldContents);
            EXPECT_EQ(temporaries(dir), std::vector<std::string>{});
            EXPECT_EQ(temporaries(dir / "synced"), std::vector<std::string>{});
        }
    }
}

// What stands at `path`: its type and the bytes of the file, or of the files a folder holds.
std::string contentsOf(const fs::path& path) {
    std::string seen = std::to_string(static_cast<int>(fs::symlink_status(path).type())) + ":";
    if (fs::is_regular_file(fs::symlink_status(path))) seen += readText(path);
    if (fs::is_directory(fs::symlink_status(path)))
        for (const fs::directory_entry& e : fs::directory_iterator(path))
            seen += e.path().filename().string() + "=" + readText(e.path()) + ";";
    return seen;
}

// Whatever keeps the file from being written, the writer says why and leaves what was there
// exactly as it was.
TEST_F(FileWriters, AWriteThatCannotBeMadeIsRefusedAndLeavesWhatWasThere) {
    // Root writes into any directory whatever its mode bits: a read-only mount it is, then.
    const bool asRoot = ::geteuid() == 0;
    enum class Then { nothing, makeReadOnly, fillTheDisk };
    struct Case {
        const char* what;
        const char* tmpfs;  // mount options of a file system of its own, if it needs one
        std::function<void(const fs::path& file)> put;  // in each writer's place
        Then then;
        std::vector<std::string> reasons;  // the writer names one of them
    };
    const Case cases[] = {
        // The null device's numbers, in a folder of the test's own; a pipe where that is not
        // allowed (it is no regular file either).
        {"device node",
         nullptr,
         [](const fs::path& file) {
             if (::mknod(file.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
                 ASSERT_EQ(::mkfifo(file.c_str(), 0666), 0);
             }
         },
         Then::nothing,
         {"not a regular file"}},
        {"directory",
         nullptr,
         [](const fs::path& file) {
             fs::create_directories(file);
             writeText(file / "inside", oldContents);
         },
         Then::nothing,
         {"it is a directory"}},
        {"read-only directory",
         asRoot ? "size=1m" : nullptr,
         oldFile,
         Then::makeReadOnly,
         {"Read-only file system", "Permission denied"}},
        {"full file system", "size=256k", oldFile, Then::fillTheDisk, {"No space left on device"}},
    };
    std::string skipped;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path base = root / c.what;
        if (std::string why = c.tmpfs ? mountTmpfs(base, c.tmpfs) : ""; !why.empty()) {
            skipped += std::string(c.what) + ": " + why + "; ";
            continue;
        }
        eachFile(base, c.put);
        if (c.then == Then::makeReadOnly && asRoot) {
            ASSERT_EQ(::mount(nullptr, base.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        }
        if (c.then == Then::makeReadOnly && !asRoot)
            for (const Writer& w : writers()) ::chmod((base / w.what).c_str(), 0555);
        if (c.then == Then::fillTheDisk) {
            std::ofstream filler(base / "filler", std::ios::binary);
            std::string block(4096, 'f');
            while (filler.write(block.data(), block.size())) {
            }
        }
        for (const Writer& w : writers()) {
            SCOPED_TRACE(w.what);
            const fs::path dir = base / w.what;
            const std::string before = contentsOf(dir / w.file);
            std::string said;
            EXPECT_FALSE(w.write(dir, said));
            EXPECT_TRUE(std::any_of(c.reasons.begin(), c.reasons.end(), [&](const std::string& r) {
                return said.find(r) != std::string::npos;
            })) << said;
            EXPECT_EQ(contentsOf(dir / w.file), before);
            EXPECT_EQ(temporaries(dir), std::vector<std::string>{});
        }
    }
    if (!skipped.empty()) GTEST_SKIP() << skipped;
}

// Killed with SIGKILL in the middle of writing (a file size limit stops the write half-way
// and the process kills itself there): the old file stays whole, and the next write of the
// game in that folder clears what the killed one left.
TEST_F(FileWriters, AWriterKilledHalfWayLeavesTheOldFile) {
    eachFile(root, oldFile);
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.what);
        const fs::path dir = root / w.what;
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
