#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#include "shell/options.h"
#include "support/screen_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int dikSpace = 57, dikA = 30, dikLeftShift = 42, dikRightShift = 54, dikF = 33;

class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("settings_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "parapet.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& text) { std::ofstream(path_) << text; }
    std::string read() {
        std::ifstream in(path_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> load(Options& options) {
        std::vector<std::string> problems;
        loadSettings(path_, options, keyCodeFromName, problems);
        return problems;
    }

    fs::path dir_;
    std::string path_;
};

bool sameKeys(const PlayerKeys& a, const PlayerKeys& b) {
    return a.up == b.up && a.down == b.down && a.left == b.left && a.right == b.right &&
           a.fire == b.fire && a.chainsaw == b.chainsaw && a.bomb == b.bomb;
}

}  // namespace

TEST_F(SettingsTest, EverySettingTakenWithCommentsAndSwappedKeys) {
    write("; my keys\n"
          "[player1]\n"
          "fire = Left Shift   ; player 2's default, given to player 1...\n"
          "left = a\n"
          "[player2]\n"
          "# ...and player 1's in return, so nothing is bound twice\n"
          "fire = Right Shift\n"
          "right = Space\n"
          "\n"
          "[sound]\n"
          "music = 0\n"
          "effects = 55\n"
          "enabled = false\n"
          "[window]\n"
          "mode = window\n"
          "scale = 8\n");
    Options o;
    EXPECT_EQ(load(o), std::vector<std::string>{});
    EXPECT_EQ(o.playerKeys[0].fire, dikLeftShift);
    EXPECT_EQ(o.playerKeys[0].left, dikA) << "key names are read in any case";
    EXPECT_EQ(o.playerKeys[0].bomb, defaultPlayerKeys(0).bomb);
    EXPECT_EQ(o.playerKeys[1].fire, dikRightShift);
    EXPECT_EQ(o.playerKeys[1].right, dikSpace);
    EXPECT_EQ(o.musicVolume, 0);
    EXPECT_EQ(o.effectsVolume, 55);
    EXPECT_FALSE(o.soundWanted);
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.scale, 8);
}

TEST_F(SettingsTest, EachBadLineNamesItselfAndKeepsTheDefault) {
    struct Case {
        const char* text;
        const char* problem;  // after "file:"
    } cases[] = {
        {"[player1]\nfire = Hyperspace\n", "2: unknown key name 'Hyperspace'"},
        {"[player1]\njump = Space\n", "2: unknown setting 'jump' in [player1]"},
        {"[player2]\nfire =\n", "2: unknown key name ''"},
        {"[sound]\nmusic = 101\n", "2: music must be a whole number from 0 to 100, got '101'"},
        {"[sound]\neffects = -1\n", "2: effects must be a whole number from 0 to 100"},
        {"[sound]\nmusic = 50%\n", "2: music must be a whole number"},
        {"[sound]\nenabled = maybe\n", "2: enabled must be true or false"},
        {"[sound]\nvolume = 3\n", "2: unknown setting 'volume' in [sound]"},
        {"[window]\nscale = 9\n", "2: scale must be a whole number from 1 to 8"},
        {"[window]\nmode = huge\n", "2: mode must be window or fullscreen"},
        {"[colours]\nred = 1\n", "2: unknown section [colours]"},
        {"scale = 3\n", "1: setting 'scale' outside any section"},
        {"[window]\nfull screen please\n", "2: not a 'name = value' line"},
        {"[window\n", "1: not a 'name = value' line"},
        {"[player1]\nfire = Space\n[player2]\nbomb = space\n",
         "4: 'space' is already player1 fire; player2 bomb keeps its default key"},
        {"[player1]\nfire = Left Shift\n", "2: 'Left Shift' is already player2 fire"},
        {"[player2]\nleft = Up\n", "2: 'Up' is already player1 up"},
        {"[player1]\nbomb = P\n", "2: 'P' is already P (pause)"},
        {"[player1]\nbomb = Escape\n", "2: 'Escape' is already Escape"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        write(c.text);
        Options o;
        std::vector<std::string> problems = load(o);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].rfind(path_ + ":" + c.problem, 0), 0u) << problems[0];
        Options defaults;
        if (std::string(c.text).find("[player1]\nfire = Space") == 0) {
            EXPECT_EQ(o.playerKeys[0].fire, dikSpace) << "the first of the two lines stands";
            defaults.playerKeys[0].fire = dikSpace;
        }
        for (int p = 0; p < keyboardPlayers; ++p)
            EXPECT_TRUE(sameKeys(o.playerKeys[p], defaults.playerKeys[p])) << "player " << p + 1;
        EXPECT_EQ(o.musicVolume, 100);
        EXPECT_EQ(o.effectsVolume, 100);
        EXPECT_TRUE(o.soundWanted);
        EXPECT_EQ(o.scale, defaults.scale);
        EXPECT_EQ(o.fullscreen, defaults.fullscreen);
    }
}

TEST_F(SettingsTest, ProblemsComeInLineOrderAndGoodLinesStillCount) {
    write("[player1]\nfire = F\n[player2]\nbomb = f\nchainsaw = Nothing\n[window]\nscale = 3\n");
    Options o;
    std::vector<std::string> problems = load(o);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind(path_ + ":4:", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind(path_ + ":5:", 0), 0u) << problems[1];
    EXPECT_EQ(o.playerKeys[0].fire, dikF);
    EXPECT_EQ(o.scale, 3);
}

TEST_F(SettingsTest, CommandLineWinsAndNoFileChangesNothing) {
    write("[window]\nmode = window\nscale = 5\n");
    const char* argv[] = {"parapet", "--fullscreen", "--scale", "3"};
    Options given;
    ASSERT_EQ(parseOptions(4, argv, given).outcome, ParseOutcome::run);
    EXPECT_TRUE(load(given).empty());
    EXPECT_TRUE(given.fullscreen);
    EXPECT_EQ(given.scale, 3);

    fs::remove(path_);
    Options untouched;
    EXPECT_TRUE(load(untouched).empty());
    EXPECT_TRUE(untouched.fullscreen);
    EXPECT_EQ(untouched.scale, 2);
}

TEST_F(SettingsTest, WindowWrittenBackKeepingThePlayersLines) {
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[window]\nmode = fullscreen\nscale = 4\n"},
        {"; keys\n[player1]\nfire = Space\n",
         "; keys\n[player1]\nfire = Space\n\n[window]\nmode = fullscreen\nscale = 4\n"},
        {"[window]\n; how I like it\nscale=1\n\n[sound]\nmusic = 20\n",
         "[window]\n; how I like it\nscale = 4\nmode = fullscreen\n\n[sound]\nmusic = 20\n"},
        {"[window]\n  mode = window ; was\nscale = 2#3\n[player1]\n",
         "[window]\nmode = fullscreen ; was\nscale = 4\n[player1]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        fs::remove(path_);
        if (*c.before) write(c.before);
        std::string error;
        ASSERT_TRUE(saveWindowSettings(path_, true, 4, error)) << error;
        EXPECT_EQ(read(), c.after);
        Options o;
        o.fullscreen = false;
        EXPECT_TRUE(load(o).empty());
        EXPECT_TRUE(o.fullscreen);
        EXPECT_EQ(o.scale, 4);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "a temporary file was left behind";

    std::string error;
    EXPECT_FALSE(saveWindowSettings((dir_ / "parapet.ini" / "x.ini").string(), false, 2, error));
    EXPECT_FALSE(error.empty());
}

TEST(SettingsPath, XdgConfigHomeThenHome) {
    std::string oldXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "/x", 1);
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(defaultSettingsPath(), "/x/parapet/parapet.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(defaultSettingsPath(), "/h/.config/parapet/parapet.ini");
    ::unsetenv("HOME");
    EXPECT_EQ(defaultSettingsPath(), "");
    ::setenv("HOME", oldHome.c_str(), 1);
    if (oldXdg.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
}

// A whole headless run reads --config: Space becomes player 1's fire and starts the game from
// the menu, while Right Shift, no longer bound, does nothing; the bad line is reported.
TEST(SettingsRun, RebindingReachesAnInputScript) {
    struct Case {
        const char* key;
        bool starts;
    } cases[] = {{"SPACE", true}, {"RSHIFT", false}, {"RETURN", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::string dir = screen_run::scratchDir(std::string("_") + c.key);
        std::ofstream(dir + "/keys.ini") << "[player1]\nfire = Space\nbomb = Nokey\n";
        // The title ends by itself at frame 346.
        std::string script = std::string("360 tap ") + c.key + "\n";
        screen_run::Result r =
            screen_run::run(dir, script, "--frames 400 --config '" + dir + "/keys.ini'");
        ASSERT_EQ(r.exitCode, 0) << r.errors;
        EXPECT_EQ(r.errors, dir + "/keys.ini:3: unknown key name 'Nokey' (SDL's key names, e.g. "
                                  "Space, A, Left Shift)\n");
        EXPECT_EQ(r.stateChange(15, 30), c.starts ? 362 : -1);
    }
}
