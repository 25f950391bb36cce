// Whole runs of the program, headless, from an input script: the screens before play as a
// player meets them, checked on the trace and the files left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/screen_run.h"

namespace fs = std::filesystem;
using screen_run::Result;

namespace {

// Frame numbers of the start-up pause and the title as a run without input shows them (the
// stored replay's trace pins that timeline, its sounds included).
constexpr int titleFirstFrame = 167;  // the 166th frame switches to the title
constexpr int titleFrame(int n) { return titleFirstFrame - 1 + n; }

// The pixels of a screen rectangle in a 640 x 480 screenshot (rows are stored bottom-up).
std::vector<unsigned char> region(const std::vector<unsigned char>& bmp, int x0, int y0, int w,
                                  int h) {
    std::vector<unsigned char> out;
    for (int y = y0; y < y0 + h; ++y) {
        size_t row = 54 + static_cast<size_t>(479 - y) * 640 * 3;
        out.insert(out.end(), bmp.begin() + row + x0 * 3, bmp.begin() + row + (x0 + w) * 3);
    }
    return out;
}

// One record as the file holds it before the complement: name and score NUL-filled.
std::string record(const std::string& name, const std::string& score) {
    return name + std::string(8 - name.size(), '\0') + score + std::string(6 - score.size(), '\0');
}

// Skips the title with Space as soon as it may be skipped; the menu is then up.
const char* skipTitle = "286 tap SPACE 1\n";
constexpr int menuFrame = titleFrame(121);

}  // namespace

// The title ends by itself after 180 frames, or on a key from its 121st frame; a key that is
// still down as the menu opens acts there neither on its release nor by being held.
TEST(StartupAndTitle, AKeyEndsTheTitleOnlyFromIts121stFrameAndNeverActsInTheMenu) {
    struct Case {
        const char* script;
        int endsAt;
        const char* why;
    };
    // A key pressed in frame F is seen by the screen in frame F + 1.
    const Case cases[] = {
        {"200 tap SPACE 5\n", titleFrame(180), "early press is ignored"},
        {"284 tap SPACE 2\n", titleFrame(180), "held through title frames 119 and 120 only"},
        {"286 tap SPACE 1\n", titleFrame(121), "seen in title frame 121"},
        {"300 key SPACE down\n", titleFrame(135), "later press ends it at once"},
        // Right Shift is player 1's fire, which follows the keyboard one frame late: held past
        // the title's end, it keeps the title up until it is seen released, after frame 401.
        {"250 key RSHIFT down\n400 key RSHIFT up\n", 402, "held fire opens it on release"},
    };
    for (const Case& c : cases) {
        Result r = screen_run::run(screen_run::scratchDir(std::to_string(&c - cases)), c.script,
                                   "--frames 460");
        ASSERT_EQ(r.exitCode, 0) << r.errors;
        EXPECT_EQ(r.stateChange(20, 15), c.endsAt) << c.why;
        EXPECT_EQ(r.stateChange(15, 30), -1) << c.why << ": a game started";
        EXPECT_TRUE(r.soundFrames("s\\tschonk.raw").empty()) << c.why << ": the menu moved";
    }
}

TEST(Menu, NavigationClicksExceptAtTheEndsAndQuitEndsTheRun) {
    std::string script = skipTitle;
    script +=
        "310 tap DOWN\n"     // Players
        "320 tap DOWN\n"     // Quit
        "330 tap DOWN\n"     // already at the bottom: silent
        "340 tap UP\n"       // Players
        "350 key UP down\n"  // Start, and holding it moves no further
        "380 key UP up\n"
        "390 tap UP\n"  // already at the top: silent
        "400 tap DOWN\n"
        "410 tap DOWN\n"  // Quit again, only if the hold stopped at Start
        "420 tap RETURN\n";
    Result r = screen_run::run(screen_run::scratchDir(), script, "--frames 2000");
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    ASSERT_EQ(r.stateChange(20, 15), menuFrame);
    // Directions follow the keyboard one frame late, so each click sounds two frames later.
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 22050),
              (std::vector<int>{312, 322, 342, 352, 402, 412}));
    EXPECT_TRUE(r.soundFrames("s\\tschonk.raw", 44100).empty());
    EXPECT_EQ(r.stateChange(15, 30), -1);
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ(r.events.back().frame(), 422) << "the run did not end at Quit";
}

// Without joysticks two players at most: Players, then fire pressed five times, with a picture
// of the count before and after each press. (Three with three joysticks, and the count offered
// as controllers come and go: GameScenario.ThreePlayersWithThreeJoysticks, PlayerOffer.)
TEST(Menu, PlayersCycleUpToTheLimit) {
    std::string script = skipTitle;
    script += "310 tap DOWN\n";
    std::string shots = "330";
    for (int press = 0; press < 5; ++press) {
        script += std::to_string(340 + 20 * press) + " tap RSHIFT\n";
        shots += "," + std::to_string(350 + 20 * press);
    }
    Result r =
        screen_run::run(screen_run::scratchDir(), script, "--frames 460 --screenshot-at " + shots);
    ASSERT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 44100).size(), 5u);
    EXPECT_EQ(r.stateChange(15, 30), -1);

    // The count stands at (500, 220) in the 48 x 51 game font.
    std::vector<std::vector<unsigned char>> counts;
    for (int frame = 330; frame <= 430; frame += 20) {
        auto bmp = readFileBytes(r.shotDir() + "/frame-" + std::to_string(frame) + ".bmp");
        ASSERT_EQ(bmp.size(), 921654u) << frame;
        counts.push_back(region(bmp, 500, 220, 48, 51));
    }
    // counts[k] shows the number after k presses: 1, 2, 1, 2, ...
    for (size_t k = 0; k < counts.size(); ++k)
        for (size_t m = 0; m < k; ++m)
            EXPECT_EQ(counts[k] == counts[m], k % 2 == m % 2)
                << "after " << k << " and " << m << " presses";
}

TEST(ScreenshotButton, OnePicturePerPressEvenPausedNeverOverAnEarlierOne) {
    std::string dir = screen_run::scratchDir();
    fs::create_directories(dir + "/shots");
    writeText(dir + "/shots/snap00.bmp", "from an earlier run");
    std::string script =
        "100 joy 0 button 3 down\n"
        "130 joy 0 button 3 up\n";  // held for 30 frames: still one picture
    script += skipTitle;
    script += "300 tap RSHIFT\n500 tap P\n520 joy 0 button 3 down\n522 joy 0 button 3 up\n";
    Result r = screen_run::run(dir, script, "--frames 560 --joysticks 1");
    ASSERT_EQ(r.exitCode, 0) << r.errors;

    auto shots = r.all("screenshot");
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(shots[0]["path"], r.shotDir() + "/snap01.bmp");
    EXPECT_EQ(shots[1]["path"], r.shotDir() + "/snap02.bmp");
    auto pauses = r.all("pause");
    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_GT(shots[1].frame(), pauses[0].frame()) << "the second press came while paused";
    EXPECT_TRUE(r.all("resume").empty());
    EXPECT_NE(r.errors.find(r.shotDir() + "/snap01.bmp"), std::string::npos) << r.errors;
    EXPECT_EQ(readFileBytes(dir + "/shots/snap00.bmp").size(), 19u)
        << "an old picture was overwritten";
    EXPECT_EQ(readFileBytes(r.shotDir() + "/snap01.bmp").size(), 921654u);
}

// End to end: the table is read from the save directory at start-up, a game whose best score
// (here 0, against a stored -1) beats it asks for a name, and the whole table is written back.
TEST(HighscoreRun, StoredTableIsReadAndRewrittenAfterANewRecord) {
    std::string dir = screen_run::scratchDir();
    fs::create_directories(dir + "/save");
    std::string plain = record("Solo", "-1") + record("Duo", "5") + record("Trio", "7");
    std::vector<unsigned char> stored;
    for (unsigned char c : plain) stored.push_back(static_cast<unsigned char>(c ^ 0xFF));
    writeFileBytes(dir + "/save/gx.raw", stored);

    // Start a one-player game and stand still; keep tapping K (bound to nothing in play) so
    // the name gets typed whenever the prompt comes up, and confirm much later.
    std::string script = std::string(skipTitle) + "300 tap RSHIFT\n";
    for (int frame = 400; frame < 4000; frame += 10) script += std::to_string(frame) + " tap K\n";
    script += "4100 tap RETURN\n";
    Result r = screen_run::run(dir, script, "--frames 4300");
    ASSERT_EQ(r.exitCode, 0) << r.errors;

    int prompt = r.stateChange(90, 100);
    ASSERT_GT(prompt, 0) << "no name entry: the stored table was not read";
    EXPECT_EQ(r.soundFrames("s\\Crowdohh.raw").size(), 1u);
    EXPECT_EQ(r.stateChange(100, 110), 4101);  // keys are seen one frame later
    EXPECT_EQ(r.stateChange(110, 15), 4101 + 45);
    ASSERT_EQ(r.all("highscore_saved").size(), 1u);
    EXPECT_EQ(r.all("highscore_saved")[0]["path"], r.saveDir() + "/gx.raw");

    std::string expected = record("kkkkkkkk", "0") + plain.substr(14);
    std::vector<unsigned char> image;
    for (unsigned char c : expected) image.push_back(static_cast<unsigned char>(c ^ 0xFF));
    EXPECT_EQ(readFileBytes(dir + "/save/gx.raw"), image);
}
