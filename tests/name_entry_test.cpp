// Typing a highscore name, driven frame by frame through the game's own flow on the headless
// backend with the generated data, and the file it leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "frontend/highscores.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "input/default_bindings.h"
#include "platform/clock.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "shell/paths.h"
#include "shell/trace.h"
#include "sound/sound.h"
#include "support/screen_run.h"
#include "support/text_chain.h"

namespace fs = std::filesystem;

namespace {

constexpr int leftShift = 42;
constexpr int backspace = 14;
constexpr int enter = 28;

// One headless engine with the real pictures, fonts and sounds for the whole test program.
struct HeadlessGame {
    Platform platform;
    HeadlessDevices devices;
    Engine* engine = nullptr;

    HeadlessGame() {
        devices = createHeadlessPlatform(HeadlessSettings{}, platform);
        engine = new Engine(platform.display.get(), platform.keyboard.get(),
                            platform.joysticks.get(), 640, 480, 16);
    }

    // Other tests of this program may have installed engines, fonts or sounds of their own.
    void install() {
        theClock = platform.clock.get();
        theEngine = engine;
        paths().dataDir = PARAPET_DATA_DIR;
        if (gameFont == nullptr || gameFont->engine() != engine) {
            buildAnimations();
            bindDefaultKeys(*engine);
        }
        if (soundDevice() != devices.audio) {
            closeSound();
            initSound(devices.audio, 8, 22050);
            loadSounds();
        }
    }
};

HeadlessGame& headlessGame() {
    static HeadlessGame* instance = new HeadlessGame();
    return *instance;
}

class NameEntry : public testing::Test {
protected:
    void SetUp() override {
        HeadlessGame& g = headlessGame();
        g.install();
        engine = g.engine;
        keyboard = g.devices.keyboard;
        clearEngineLists();
        game = GameState{};
        resetHighscores();
        for (int key = 0; key < 256; ++key) keyboard->setKey(key, false);

        dir = fs::path(testing::TempDir()) /
              ("name_entry_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        savedPaths = paths();
        paths().saveDir = (dir / "save").string();
        ASSERT_TRUE(openTrace((dir / "trace.jsonl").string().c_str()));
    }

    void TearDown() override {
        closeTrace();
        clearEngineLists();
        game = GameState{};
        resetHighscores();
        paths() = savedPaths;
        fs::remove_all(dir);
    }

    // Leaves the engine with no actors and none of the game's scrollers from earlier tests.
    void clearEngineLists() {
        for (Scroller* s : {game.creditsScroller, game.highscoreScroller, game.nameEntryMessage})
            if (s != nullptr) engine->removeOverlay(s);
        for (int slot = 0; slot < Engine::maxActors; ++slot)
            if (Actor* a = engine->actorAt(slot)) engine->removeActor(a);
    }

    // One frame of the main loop with exactly these keys held while its engine step reads
    // the keyboard; the screen sees them in the following frame.
    void frame(std::initializer_list<int> held = {}) {
        for (int key = 0; key < 256; ++key) keyboard->setKey(key, false);
        for (int key : held) keyboard->setKey(key, true);
        updateGame();
        engine->runFrame();
    }

    static int key(char letter) { return keyForChar(letter); }

    // The cells the eight places of the name field show for a name.
    static std::vector<int> shown(const char* name) {
        std::vector<int> cells;
        for (int i = 0; i < 8; ++i)
            cells.push_back(i < static_cast<int>(std::strlen(name)) ? gameFont->cellFor(name[i]) : -1);
        return cells;
    }

    screen_run::Result traced() {
        closeTrace();
        std::stringstream text;
        text << std::ifstream(dir / "trace.jsonl").rdbuf();
        screen_run::Result r;
        r.events = screen_run::parseTrace(text.str());
        return r;
    }

    Engine* engine = nullptr;
    ScriptedKeyboard* keyboard = nullptr;
    fs::path dir;
    Paths savedPaths;
};

}  // namespace

// A second record in one run (a later game) must replace the prompt and the field, not
// pile up a second set of actors and overlays.
TEST_F(NameEntry, PromptClearsOnlyThePlayersEntryAndASecondOneReplacesTheFirst) {
    std::strcpy(highscoreName[0], "Solo");
    beginNameEntry(1, 2, 1500);
    EXPECT_STREQ(highscoreName[1], "");
    EXPECT_STREQ(highscoreName[0], "Solo");
    EXPECT_EQ(cellsOf(game.nameField), shown(""));
    setGameState(stateNameEntry, true);
    frame();
    int actorsBefore = engine->actorCount();
    int overlaysBefore = engine->overlayCount();
    beginNameEntry(0, 1, 99);
    EXPECT_EQ(engine->overlayCount(), overlaysBefore);
    frame();
    EXPECT_EQ(engine->actorCount(), actorsBefore);
    EXPECT_EQ(game.nameEntrySlot, 1);
}

// How the file is written and how long the field falls is pinned end to end by the
// HighscoreRun scenario; here the keys, one frame at a time.
TEST_F(NameEntry, KeysTypeOnceEachAndShiftBackspaceAndEnterBehave) {
    beginNameEntry(1, 2, 1500);
    setGameState(stateNameEntry, true);

    frame({leftShift, key('b')});  // Shift gives the capital
    frame({key('b')});             // still held: typed once
    frame({key('b')});
    frame({key('o'), key('x')});  // together: only the one earlier in the alphabet
    frame();
    frame({key('x')});
    frame();
    frame({backspace});            // takes the x back
    frame({backspace, key('b')});  // Backspace still held: nothing else is read
    frame();
    frame({key('b')});
    frame({key('b'), enter});  // b still held: Enter waits for its release
    frame();
    EXPECT_EQ(game.gameState, stateNameEntry);
    EXPECT_STREQ(highscoreName[1], "Bob");
    EXPECT_EQ(cellsOf(game.nameField), shown("Bob"));
    frame({enter});
    frame();
    EXPECT_EQ(game.gameState, stateNameAccepted);
    EXPECT_EQ(highscoreValue[1], 1500);
    for (int i = 0; i < 50; ++i) frame();
    EXPECT_EQ(game.gameState, stateMenu);
    EXPECT_EQ(game.highscoresChanged, 0) << "the menu did not rebuild its highscore line";

    screen_run::Result r = traced();
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 22050).size(), 4u);  // B, o, x and b
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 44100).size(), 1u);   // Backspace
    EXPECT_EQ(r.soundFrames("s\\Nuclear.raw").size(), 1u);
}

TEST_F(NameEntry, EmptyNameBecomesTheDefaultAndOnlyLettersType) {
    beginNameEntry(2, 3, 42);
    setGameState(stateNameEntry, true);

    frame({backspace});  // nothing to delete: silent
    frame();
    frame({key('1'), 57, 12});  // a digit, Space and '-' cannot be typed
    frame();
    frame({leftShift});  // Shift alone types nothing
    frame();
    EXPECT_EQ(game.nameLength, 0);
    frame({enter});
    frame();
    ASSERT_EQ(game.gameState, stateNameAccepted);
    EXPECT_STREQ(highscoreName[2], "Zorvik");
    EXPECT_TRUE(traced().soundFrames("s\\tschonk.raw").empty());
}
