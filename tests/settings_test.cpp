#include "program/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/paths.h"
#include "platform/sdl/sdl_platform.h"
#include "program/options.h"
#include "support/scoped_env.h"
#include "support/screen_run.h"

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { path_ = screen_run::scratchDir() + "/parapet.ini"; }
    void write(const std::string& text) { writeText(path_, text); }
    std::vector<std::string> load(Options& options) {
        std::vector<std::string> problems;
        loadSettings(path_, options, keyCodeFromName, problems);
        return problems;
    }
    std::string path_;
};

// Every key and controller button of players 1 and 2.
std::vector<int> keysOf(const Options& o) {
    std::vector<int> keys;
    for (const PlayerKeys& k : o.playerKeys)
        keys.insert(keys.end(), {k.up, k.down, k.left, k.right, k.fire, k.chainsaw, k.bomb});
    for (const PadButtons& b : o.playerPads) keys.insert(keys.end(), {b.fire, b.chainsaw, b.bomb});
    return keys;
}

}  // namespace

TEST_F(SettingsTest, EverySettingTakenWithCommentsAndSwappedKeys) {
    write(
        "; swapped fire keys: neither is bound twice once both lines are read\n"
        "[player1]\nfire = Left Shift ; note\nleft = a\n"
        "[player2]\n# Space for running right\nfire = Right Shift\nright = Space\n\n"
        "[sound]\nmusic = 0\neffects = 55\nenabled = false\n"
        "  [window]   ; indented lines are lines like any other\n  mode = window\n\tscale = 8\n"
        "[network]\nmode = lockstep\ndelay = 6\n"
        "[controller1]\nfire = B\nchainsaw = a\n[controller2]\nfire = Right Trigger\nbomb = button "
        "24\n");
    Options o;
    EXPECT_EQ(load(o), std::vector<std::string>{});
    Options expected;
    expected.playerKeys[0].fire = 42;
    expected.playerKeys[0].left = 30;
    expected.playerKeys[1].fire = 54;
    expected.playerKeys[1].right = 57;
    expected.playerPads[0] = PadButtons{1, 0, 2};
    expected.playerPads[1] = PadButtons{22, 1, 23};
    EXPECT_EQ(keysOf(o), keysOf(expected));
    EXPECT_EQ(o.musicVolume, 0);
    EXPECT_EQ(o.effectsVolume, 55);
    EXPECT_FALSE(o.soundWanted);
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.scale, 8);
    EXPECT_EQ(o.netMode, Options::NetMode::lockstep);
    EXPECT_EQ(o.effectiveNetDelay(), 6);

    // The command line wins over the file.
    const char* argv[] = {"parapet", "--fullscreen", "--scale", "3", "--net-mode", "rollback"};
    Options given;
    ASSERT_EQ(parseOptions(6, argv, given).outcome, ParseOutcome::run);
    std::vector<std::string> problems = load(given);
    EXPECT_TRUE(given.fullscreen);
    EXPECT_EQ(given.scale, 3);
    EXPECT_EQ(given.netMode, Options::NetMode::rollback);
    ASSERT_EQ(problems.size(), 1u) << "6 frames is no rollback delay";
    EXPECT_NE(problems[0].find(":19: delay is 0 to 4 frames with rollback"), std::string::npos)
        << problems[0];
    EXPECT_EQ(given.effectiveNetDelay(), 1);
}

TEST_F(SettingsTest, EachBadLineNamesItselfAndKeepsTheDefault) {
    struct Case {
        std::string text;
        const char* problem;  // after "file:"
    } cases[] = {
        {"[player1]\nfire = Hyperspace\n",
         "2: unknown key name 'Hyperspace' (SDL's key names, e.g. Space, A, Left Shift)"},
        {"[player1]\njump = Space\n", "2: unknown setting 'jump' in [player1]"},
        {"[sound]\nmusic = 101\n", "2: music must be a whole number from 0 to 100, got '101'"},
        {"[sound]\neffects = 50%\n", "2: effects must be a whole number from 0 to 100"},
        {"[sound]\nenabled = maybe\n", "2: enabled must be true or false"},
        {"[window]\nscale = 0\n", "2: scale must be a whole number from 1 to 8"},
        {"[window]\nmode = huge\n", "2: mode must be window or fullscreen"},
        {"[network]\nmode = fast\n", "2: mode must be rollback or lockstep"},
        {"[network]\ndelay = 9\n", "2: delay must be a whole number of frames from 0 to 8"},
        {"[colours]\nred = 1\n", "2: unknown section [colours]"},
        {"scale = 3\n", "1: setting 'scale' outside any section"},
        {"[window]\n\nfull screen please\n", "3: not a 'name = value' line"},
        {"[window\n", "1: a section name without its closing ']'"},
        {"[window]\nscale = " + std::string(2000, '1') + "\n",
         "2: the line is longer than 1024 characters"},
        {"[player1]\nfire = Space\n[player2]\nbomb = space\n",
         "4: 'space' is already player1 fire; player2 bomb keeps its default key"},
        {"[player1]\nfire = Left Shift\n", "2: 'Left Shift' is already player2 fire"},
        {"[player1]\nbomb = P\n", "2: 'P' is already P (pause)"},
        {"[controller1]\nfire = Z\n", "2: unknown button name 'Z'"},
        {"[controller2]\nleft = A\n", "2: unknown setting 'left' in [controller2]"},
        {"[controller1]\nbomb = y\n",
         "2: 'y' is already for screenshots; controller1 bomb keeps its default button"},
        {"[controller2]\nfire = START\n", "2: 'START' is already for pause and options"},
        {"[controller2]\nbomb = B\n", "2: 'B' is already controller2 chainsaw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        write(c.text);
        Options o, defaults;
        std::vector<std::string> problems = load(o);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].rfind(path_ + ":" + c.problem, 0), 0u) << problems[0];
        if (o.playerKeys[0].fire == 57) defaults.playerKeys[0].fire = 57;  // the first line stands
        EXPECT_EQ(keysOf(o), keysOf(defaults));
        EXPECT_EQ(o.musicVolume + o.effectsVolume, 200);
        EXPECT_TRUE(o.soundWanted && o.fullscreen && o.scale == 2);
    }
}

// A line refused for a clash names what its key does in the keys the game ends up with,
// even when refusing another line changed that.
TEST_F(SettingsTest, ARefusedKeyNamesWhatItDoesInTheEnd) {
    write("[player1]\nfire = Left Shift\n[player2]\nbomb = LEFT SHIFT\n");
    Options o;
    EXPECT_EQ(load(o), (std::vector<std::string>{
                           path_ + ":2: 'Left Shift' is already player2 fire; player1 fire "
                                   "keeps its default key",
                           path_ + ":4: 'LEFT SHIFT' is already player2 fire; player2 bomb "
                                   "keeps its default key"}));
    Options defaults;
    EXPECT_EQ(keysOf(o), keysOf(defaults));
}

// A settings file is a few hundred bytes: anything near a mebibyte is no settings file (what
// is no regular file at all is in file_readers_test's table).
TEST_F(SettingsTest, AnOversizedFileIsNamedOnceAndTheDefaultsAreUsed) {
    write("[window]\nscale = 3\n");
    std::filesystem::resize_file(path_, maxSettingsBytes + 1);  // sparse: no disk used
    Options o;
    EXPECT_EQ(load(o), std::vector<std::string>{path_ + ": cannot be read (it is larger than 1 "
                                                        "MiB); the defaults are used"});
    EXPECT_EQ(o.scale, 2);
}

// The XDG base directory rules: a relative XDG_CONFIG_HOME or XDG_DATA_HOME is ignored.
TEST(SettingsPaths, RelativeXdgDirectoriesAreIgnored) {
    const ScopedEnv home("HOME", "/home/player"), config("XDG_CONFIG_HOME", "relative/config"),
        data("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(defaultSettingsPath(), "/home/player/.config/parapet/parapet.ini");
    EXPECT_EQ(defaultSaveDir(), "/home/player/.local/share/parapet");
    ::setenv("XDG_CONFIG_HOME", "/config", 1);
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(defaultSettingsPath(), "/config/parapet/parapet.ini");
    EXPECT_EQ(defaultSaveDir(), "/data/parapet");
}

TEST_F(SettingsTest, WindowWrittenBackKeepingThePlayersLines) {
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[window]\nmode = fullscreen\nscale = 4\n"},
        {"; keys\n[player1]\nfire = Space\n",
         "; keys\n[player1]\nfire = Space\n\n[window]\nmode = fullscreen\nscale = 4\n"},
        {"[window]\n; mine\nscale=1 ; small\n\n[sound]\nmusic = 20\n",
         "[window]\n; mine\nscale = 4 ; small\nmode = fullscreen\n\n[sound]\nmusic = 20\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        std::filesystem::remove(path_);
        if (*c.before) write(c.before);
        std::string error;
        ASSERT_TRUE(saveWindowSettings(path_, true, 4, error)) << error;
        EXPECT_EQ(readText(path_), c.after);
    }
}
