// Recording real headless runs, playing the recordings back, refusing bad ones, and the
// attract demo showing the record game: all through the program itself.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "recording/recording_seal.h"
#include "support/screen_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path storedInput = fs::path(PARAPET_SOURCE_DIR) / "tests" / "data" / "replay_input.txt";
constexpr int storedFrames = 12000;

using screen_run::Result;

// States, sounds and scores from frame `from` on, renumbered so `from` is frame 1.
std::vector<std::string> gameEvents(const Result& run, int from, int to) {
    std::vector<std::string> out;
    for (const screen_run::Event& e : run.events) {
        if (e.frame() < from || e.frame() > to) continue;
        if (e["event"] != "state" && e["event"] != "sound" && e["event"] != "score") continue;
        std::string line = e.line;
        line.replace(0, line.find(','), "{\"frame\":" + std::to_string(e.frame() - from + 1));
        out.push_back(line);
    }
    return out;
}

// Frames that take the stored input through its first game and back to the menu, stopping
// before its second game starts (read from the stored trace, so a re-recording keeps it true).
std::string firstGameOnly() {
    Result stored;
    stored.events =
        screen_run::parseTrace(readText(storedInput.parent_path() / "replay_trace.jsonl"));
    int second = stored.frameOfState(30, 2);
    EXPECT_GT(second, 0) << "the stored trace has fewer than two games";
    return "--input " + storedInput.string() + " --frames " + std::to_string(second - 1);
}

// The stored input's first `frames` frames, recorded to dir/run.replay.
Result recordStored(const fs::path& dir, int frames, const std::string& arguments = "") {
    Result run =
        screen_run::run(dir, "",
                        arguments + " --input " + storedInput.string() + " --frames " +
                            std::to_string(frames) + " --record " + (dir / "run.replay").string());
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    return run;
}

// Plays `file` back with its own save directory, dir/watch/save, to show what a playback keeps.
Result playBack(const fs::path& dir, const fs::path& file, const std::string& arguments = "") {
    fs::path watch = dir / "watch";
    fs::create_directories(watch / "save");
    Result run = screen_run::run(watch, "", arguments + " --replay " + file.string());
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    return run;
}

int headerValue(const std::string& text, const std::string& name) {
    size_t at = text.find("\n" + name + " ");
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + name.size() + 2));
}

TEST(Recording, RecordedRunsAndGamesReplayToTheSameTrace) {
    fs::path dir = screen_run::scratchDir();
    // The extras draw over the picture and never take part in the game: recorded with every
    // one on, the stored game plays to its very trace (a difference shows as a diff of the
    // two).
    writeText(dir / "extras.ini",
              "[extras]\nscore_line = on\ngame_over = on\nhighscore_page = on\nname_box = on\n"
              "menu_music = on\nno_blood = on\n");
    Result live = recordStored(dir, storedFrames, "--config " + (dir / "extras.ini").string());
    EXPECT_EQ(screen_run::withoutPaths(live.traceText()),
              readText(storedInput.parent_path() / "replay_trace.jsonl"));

    // The whole run, frame for frame, with the keys it was played with: the viewer's fire
    // key, Space, is not the recorded player's, and his extras are off.
    fs::path watch = dir / "watch";
    writeText(dir / "viewer.ini", "[player1]\nfire = Space\n");
    Result again = playBack(dir, dir / "run.replay", "--config " + (dir / "viewer.ini").string());
    EXPECT_EQ(gameEvents(again, 1, storedFrames), gameEvents(live, 1, storedFrames));
    EXPECT_FALSE(fs::exists(watch / "save" / "replays")) << "a playback records nothing";
    EXPECT_FALSE(fs::exists(watch / "save" / "gx.raw")) << "nor writes a highscore";

    // Each kept game from its Start, shifted to its own frame numbers.
    fs::path replays = dir / "save" / "replays";
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE("game " + std::to_string(n));
        fs::path file = replays / ("game-00000" + std::to_string(n) + ".replay");
        ASSERT_TRUE(fs::exists(file));
        int start = live.frameOfState(30, n);
        int frames = headerValue(readText(file), "frames");
        Result game = playBack(dir, file);
        // The run's Start step is not part of the game; a playback starts the game itself,
        // and from scores of 0, which a later game of a run traces going back to 0.
        std::vector<std::string> want = gameEvents(live, start + 1, start + frames);
        std::erase(want, "{\"frame\":1,\"event\":\"score\",\"player\":0,\"score\":0}");
        std::vector<std::string> got = gameEvents(game, 1, frames);
        std::erase(got, "{\"frame\":1,\"event\":\"state\",\"from\":10,\"to\":30}");
        EXPECT_EQ(got, want);
        EXPECT_EQ(game.all("end").back().frame(), frames);
    }
}

TEST(Recording, TheRecordGameIsReplacedOnlyWhenTheRecordIsBeatenAndTheDemoShowsIt) {
    fs::path dir = screen_run::scratchDir();
    // Exactly the first game of the stored input, which sets the record.
    std::string args = firstGameOnly();
    ASSERT_EQ(screen_run::run(dir, "", args).exitCode, 0);
    fs::path replays = dir / "save" / "replays", record = replays / "record-1p.replay";
    ASSERT_TRUE(fs::exists(record));
    std::string first = "# the first record game\n" + readText(record);
    std::ofstream(record) << first;

    // The same game again only equals the stored record: the record game stays.
    ASSERT_EQ(screen_run::run(dir, "", args).exitCode, 0);
    EXPECT_EQ(readText(record), first);
    EXPECT_TRUE(fs::exists(replays / "game-000002.replay"));

    // With the highscore file unreadable the game beats the built-in table, but the record
    // cannot be kept, and neither is its game.
    fs::rename(dir / "save" / "gx.raw", dir / "kept.raw");
    fs::create_directory(dir / "save" / "gx.raw");
    ASSERT_EQ(screen_run::run(dir, "", args).exitCode, 0);
    EXPECT_EQ(readText(record), first);
    fs::remove(dir / "save" / "gx.raw");

    // With the stored record gone, the same game is a record again and replaces it.
    Result played = screen_run::run(dir, "", args);
    ASSERT_EQ(played.exitCode, 0);
    std::string replaced = readText(record);
    EXPECT_NE(replaced, first);
    bool keptToo = false;
    for (const auto& entry : fs::directory_iterator(replays))
        keptToo |= entry.path() != record && readText(entry.path()) == replaced;
    EXPECT_TRUE(keptToo);

    // An idle menu's demo shows the record game up to its end, but never the name entry that
    // followed, and keeps nothing of it. Record games that are no files, looked at first, are
    // passed over without blocking or reading.
    int gameOver = played.frameOfState(100) - played.frameOfState(30);
    ASSERT_GT(gameOver, 0);
    int frames = headerValue(replaced, "frames");
    std::string highscores = readText(dir / "save" / "gx.raw");
    fs::create_symlink("/dev/zero", replays / "record-2p.replay");
    ASSERT_EQ(::mkfifo((replays / "record-3p.replay").c_str(), 0600), 0);
    auto kept = std::distance(fs::directory_iterator(replays), {});
    Result demo =
        screen_run::run(dir, "# nobody plays\n", "--frames " + std::to_string(1300 + frames));
    ASSERT_EQ(demo.exitCode, 0);
    int start = demo.frameOfState(30);
    EXPECT_EQ(start, demo.frameOfState(15) + 899) << "the 900th idle frame starts it";
    EXPECT_EQ(demo.frameOfState(15, 2), start + gameOver) << "the menu returns as the game ends";
    EXPECT_LT(gameOver, frames);
    EXPECT_EQ(demo.frameOfState(100), -1) << "nobody is asked for a name";
    std::vector<screen_run::Event> scores = demo.all("score");
    ASSERT_FALSE(scores.empty());
    EXPECT_EQ(scores.back().number("score"), headerValue(replaced, "scores"));
    EXPECT_EQ(readText(dir / "save" / "gx.raw"), highscores) << "the demo's record is not kept";
    EXPECT_EQ(std::distance(fs::directory_iterator(replays), {}), kept) << "nor its game";
}

TEST(Recording, FilesThatCannotPlayHereAreRefusedWithExit2) {
    fs::path dir = screen_run::scratchDir();
    ASSERT_EQ(recordStored(dir, 600).exitCode, 0);
    std::string text = readText(dir / "run.replay");
    // A change as a writer would make it, with a checksum to match.
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return sealRecording(t.substr(0, t.rfind("checksum ")));
    };
    const std::string hashLine = text.substr(text.find("data-hash "), 26);
    const std::string scoresLine =
        text.substr(text.find("scores "), text.find("\nframes") - text.find("scores "));
    struct Case {
        const char* name;
        std::string contents;
        const char* reason;
        bool plays = false;  // refused only once it has played to its end
        uintmax_t size = 0;  // grown to this many bytes (sparse: no disk used)
    };
    const Case cases[] = {
        {"game", replaced("game-version ", "game-version 9.9.9-"), "game version 9.9.9"},
        {"data", replaced(hashLine, "data-hash ffffffffffffffff"), "other data files"},
        {"truncated", text.substr(0, text.size() / 2), "truncated"},
        {"huge", "parapet-replay 2\n", "larger than 16 MiB", false, 17 << 20},
        {"scores", replaced(scoresLine, "scores 2900 0 0"), "ended with the scores", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path path = dir / (std::string(c.name) + ".replay");
        writeText(path, c.contents);
        if (c.size > 0) fs::resize_file(path, c.size);
        Result run = screen_run::run(dir, "", "--replay " + path.string());
        EXPECT_EQ(run.exitCode, 2);
        const std::string& message = run.errors;
        EXPECT_NE(message.find(path.string()), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_EQ(run.events.empty(), !c.plays) << "refused before the first frame";
    }
    Result missing = screen_run::run(dir, "", "--replay " + (dir / "nothing.replay").string());
    EXPECT_EQ(missing.exitCode, 2);
}

}  // namespace
