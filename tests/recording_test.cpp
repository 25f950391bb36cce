#include "recording/recording.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "recording/recording_seal.h"
#include "recording/replay_store.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

Recording sample() {
    Recording r;
    r.origin = Recording::Origin::run;
    r.gameVersion = PARAPET_VERSION;
    r.dataHash = "0123456789abcdef";
    r.startTick = 4294967295u;
    r.seeds = {12474, 0, 99};
    r.players = 3;
    r.minPlayers = 2;
    r.joysticks = 2;
    r.records[0] = -1;  // a hand-edited highscore file may hold a negative record
    r.records[1] = 5;
    r.records[2] = 7;
    r.scores[0] = 100;
    r.scores[1] = 999999;
    r.frames = 500;
    FrameInput input;
    input.players[0].keys = gameKeyBit(54);
    input.players[0].buttons = 1;
    r.add(1, input);
    input.players[1].buttons = 1u << 31;
    input.players[2].directions = 0x9;
    input.padsAnswering = 2;
    r.add(7, input);
    r.add(8, input);  // nothing new: not kept
    input = FrameInput{};
    r.add(500, input);
    return r;
}

TEST(RecordingFormat, AFileCutShortAnywhereIsRefused) {
    std::string text = formatRecording(sample());
    for (size_t cut = 0; cut < text.size(); ++cut) {
        // Cutting off only the final newline still leaves a whole file.
        if (cut == text.size() - 1) continue;
        Recording r;
        std::string error;
        EXPECT_FALSE(parseRecording(text.substr(0, cut), r, error)) << "cut at " << cut;
        EXPECT_FALSE(error.empty());
    }
}

// Recordings of the first format kept key presses with the keys they were played with; they
// read into the players' input through those keys, as they always played back.
TEST(RecordingFormat, AFirstFormatRecordingReadsThroughItsOwnKeys) {
    const std::string text =
        "parapet-replay 1\ngame-version 0.1.0\ndata-hash 0123456789abcdef\nfrom run\n"
        "start-tick 5\nseeds 5\nplayers 2\njoysticks 1\n"
        "keys 200 208 203 205 54 157 28 18 45 32 34 57 29 56\n"  // player 2 fires with Space
        "records 0 0 0\nscores 0 0 0\nframes 20\nevents\n"
        "3 key SPACE down\n5 joy 0 button 4 down\n9 key SPACE up\nend 20\n";
    Recording r;
    std::string error;
    ASSERT_TRUE(parseRecording(text, r, error)) << error;
    RecordedInput input(r);
    std::vector<std::string> seen;
    for (int frame = 1; frame <= 11; ++frame) {
        FrameInput in = input.next();
        seen.push_back(std::to_string(in.players[1].buttons) + "/" +
                       std::to_string(in.players[0].buttons) + "/" +
                       std::to_string(in.players[0].keys != 0));
    }
    // Space reaches the screens' keys at once and player 2's fire a frame later; the pad's
    // button counts in its own frame.
    EXPECT_EQ(seen,
              (std::vector<std::string>{"0/0/0", "0/0/0", "0/0/1", "1/0/1", "1/16/1", "1/16/1",
                                        "1/16/1", "1/16/1", "1/16/0", "0/16/0", "0/16/0"}));
    EXPECT_NE(formatRecording(r).find("\nparapet-replay 3\n"), std::string::npos)
        << "written again in the current format";
}

struct BadFile {
    const char* change;  // what replaces `from` in a good file
    const char* from;
    const char* reason;    // expected in the message
    bool resealed = true;  // the checksum made to match the change
};

// The same text with a checksum that matches it again: how a bad writer would write it.
std::string resealed(const std::string& text) {
    return sealRecording(text.substr(0, text.rfind("checksum ")));
}

TEST(RecordingFormat, BadHeadersAndEventsAreRefusedWithAReason) {
    const BadFile cases[] = {{"parapet-replay 4", "parapet-replay 3", "format version 4"},
                             {"parapet-replay x", "parapet-replay 3", "format version"},
                             {"hello", "parapet-replay 3", "not a Parapet recording"},
                             // Edited by hand: another game, or one event less.
                             {"seeds 12475 0 99", "seeds 12474 0 99", "checksum", false},
                             {"", "7 p2 0 0 9\n", "checksum", false},
                             {"players 4", "players 3", "player count"},
                             {"min-players 4", "min-players 2", "fewest players"},
                             {"frames 400", "frames 500", "end line"},
                             {"end 499", "end 500", "end line"},
                             {"7 p3 ", "7 p1 ", "bad input line"},
                             {"7 p1 0 100000000 0", "7 p1 0 80000000 0", "bad input line"},
                             {"7 p2 0 0 16", "7 p2 0 0 9", "bad input line"},
                             {"1 p0 ffffffffff ", "1 p0 20 ", "bad input line"},
                             {"7 pads 9", "7 pads 2", "controller count"},
                             {"501 p0 0 0 0", "500 p0 0 0 0", "bad frame"},
                             {"0 p0 0 0 0\n1 p0 20 1 0", "1 p0 20 1 0", "bad frame"},
                             {"500 p0 0 0 0\n7 p1 0 0 0", "500 p0 0 0 0", "backwards"},
                             {"from game", "from run", "exactly one"},
                             {"seeds 1 -2", "seeds 12474 0 99", "bad seed"},
                             {"end 500\nmore", "end 500", "after the end line"},
                             {"", "data-hash 0123456789abcdef\n", "expected 'data-hash'"}};
    for (const BadFile& bad : cases) {
        std::string text = formatRecording(sample());
        size_t at = text.find(bad.from);
        ASSERT_NE(at, std::string::npos) << bad.from;
        text.replace(at, std::string(bad.from).size(), bad.change);
        if (bad.resealed) text = resealed(text);
        Recording r;
        std::string error;
        EXPECT_FALSE(parseRecording(text, r, error)) << bad.change;
        EXPECT_NE(error.find(bad.reason), std::string::npos) << error;
    }
}

TEST(ReplayStore, KeepsTheLastGamesAndTheRecordGameOfEachPlayerCount) {
    fs::path dir = makeTempDir("replay_store");
    std::string error;
    for (int game = 1; game <= keptGames + 5; ++game) {
        bool record = game == 3 || game == 7;
        ASSERT_TRUE(
            storeGameRecording(dir.string(), "game " + std::to_string(game), 2, record, error))
            << error;
    }
    ASSERT_TRUE(storeGameRecording(dir.string(), "one player", 1, false, error));
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("game-", 0) == 0) ++kept;
    }
    EXPECT_EQ(kept, keptGames);
    EXPECT_FALSE(fs::exists(dir / "game-000006.replay"));  // the oldest went first
    EXPECT_EQ(readText(dir / "game-000007.replay"), "game 7");
    EXPECT_EQ(readText(dir / "game-000026.replay"), "one player");
    // The record game outlives the kept games and is replaced only by a new record.
    EXPECT_EQ(readText(recordGamePath(dir.string(), 2)), "game 7");
    EXPECT_FALSE(fs::exists(recordGamePath(dir.string(), 1)));

    // An unwritable place is an error naming it, not a crash.
    fs::path blocked = dir / "blocked";
    writeText(blocked, "a file where the directory should be");
    EXPECT_FALSE(storeGameRecording((blocked / "replays").string(), "x", 1, false, error));
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
    fs::remove_all(dir);
}

// Copies of the game sharing a save directory store their games at the same moment: each
// gets a number of its own, so none replaces another's.
TEST(ReplayStore, CopiesStoringAtOnceNeverShareANumber) {
    fs::path dir = makeTempDir("replay_store_shared");
    constexpr int copies = 4, gamesEach = keptGames / copies;
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; ++copy) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string error;
            for (int game = 0; game < gamesEach; ++game)
                if (!storeGameRecording(dir.string(),
                                        std::to_string(copy) + "/" + std::to_string(game), 1, false,
                                        error))
                    _exit(1);
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::set<std::string> stored;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".replay") stored.insert(readText(entry.path()));
    EXPECT_EQ(stored.size(), static_cast<size_t>(copies * gamesEach));
    fs::remove_all(dir);
}

}  // namespace
