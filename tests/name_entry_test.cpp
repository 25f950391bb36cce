// Typing a highscore name, driven frame by frame through the game's own flow on the headless
// backend with the generated data, and the file it leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
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

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// One record as the file holds it before the complement: name and score NUL-filled.
std::string record(const std::string& name, const std::string& score) {
    return name + std::string(8 - name.size(), '\0') + score + std::string(6 - score.size(), '\0');
}

std::vector<unsigned char> complemented(const std::string& plain) {
    std::vector<unsigned char> out;
    for (unsigned char c : plain) out.push_back(static_cast<unsigned char>(c ^ 0xFF));
    return out;
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
        engine->onFrameStart = [](int frame) { setTraceFrame(frame); };
        engine->onFrameFlipped = [](int frame) { setTraceFrame(frame + 1); };
        setTraceFrame(engine->framesCompleted() + 1);
    }

    void TearDown() override {
        closeTrace();
        engine->onFrameStart = nullptr;
        engine->onFrameFlipped = nullptr;
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

    // The cells the eight places of the name field show.
    std::vector<int> fieldCells() const {
        std::vector<int> cells;
        for (Actor* a = game.nameField; a != nullptr;
             a = a->childCount() > 0 ? a->firstChild() : nullptr)
            cells.push_back(a->currentFrame()->cell());
        return cells;
    }

    static std::vector<int> cellsOf(const char* text) {
        std::vector<int> cells;
        for (int i = 0; i < 8; ++i)
            cells.push_back(i < static_cast<int>(std::strlen(text)) ? gameFont->cellFor(text[i])
                                                                    : -1);
        return cells;
    }

    screen_run::Result traced() {
        closeTrace();
        screen_run::Result r;
        auto bytes = readBytes(dir / "trace.jsonl");
        r.events = screen_run::parseTrace(std::string(bytes.begin(), bytes.end()));
        return r;
    }

    Engine* engine = nullptr;
    ScriptedKeyboard* keyboard = nullptr;
    fs::path dir;
    Paths savedPaths;
};

}  // namespace

TEST_F(NameEntry, PromptNamesThePlayerAndClearsOnlyThatEntry) {
    std::strcpy(highscoreName[0], "Solo");
    std::strcpy(highscoreName[1], "Duo");
    beginNameEntry(1, 2, 1500);
    EXPECT_STREQ(highscoreName[1], "");
    EXPECT_STREQ(highscoreName[0], "Solo");
    EXPECT_EQ(game.nameEntrySlot, 2);
    EXPECT_EQ(game.pendingHighscore, 1500);
    ASSERT_NE(game.nameField, nullptr);
    EXPECT_TRUE(game.nameField->isVisible());
    EXPECT_EQ(fieldCells(), cellsOf(""));

    setGameState(stateNameEntry, true);
    frame();
    // A second record in the same run replaces the message and the field.
    int actorsBefore = engine->actorCount();
    int overlaysBefore = engine->overlayCount();
    beginNameEntry(0, 1, 99);
    EXPECT_EQ(engine->overlayCount(), overlaysBefore);
    frame();
    EXPECT_EQ(engine->actorCount(), actorsBefore)
        << "the old message or field is still in the engine";
    EXPECT_STREQ(highscoreName[0], "");
    EXPECT_EQ(game.nameEntrySlot, 1);
}

TEST_F(NameEntry, TypedNameIsSavedByteForByte) {
    const std::pair<const char*, int> table[3] = {{"Solo", 700}, {"Old", 1000}, {"Trio", 300}};
    for (int i = 0; i < 3; ++i) {
        std::strcpy(highscoreName[i], table[i].first);
        highscoreValue[i] = table[i].second;
    }
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
    EXPECT_EQ(fieldCells(), cellsOf("Bob"));
    frame({enter});
    frame();
    EXPECT_EQ(game.gameState, stateNameAccepted);

    std::string plain = record("Solo", "700") + record("Bob", "1500") + record("Trio", "300");
    EXPECT_EQ(readBytes(dir / "save" / "gx.raw"), complemented(plain));
    EXPECT_EQ(highscoreValue[1], 1500);

    // The field jumps and falls away; after 45 frames the menu is back with the new table.
    EXPECT_LT(game.nameField->velocityY(), 0.0);
    EXPECT_FALSE(game.nameEntryMessage->isShown());
    int frames = 0;
    while (game.gameState == stateNameAccepted && frames < 100) {
        frame();
        ++frames;
    }
    EXPECT_EQ(frames, 45) << "the menu returns in the 45th frame of the fall";
    EXPECT_GT(game.nameField->y(), 480) << "the name did not fall off the screen";
    EXPECT_EQ(game.gameState, stateMenu);
    EXPECT_FALSE(game.nameField->isVisible());
    EXPECT_EQ(game.highscoresChanged, 0) << "the menu did not rebuild its highscore line";
    ASSERT_NE(game.highscoreScroller, nullptr);
    EXPECT_TRUE(game.highscoreScroller->isShown());

    screen_run::Result r = traced();
    EXPECT_EQ(r.soundFrames("s\\Crowdohh.raw").size(), 1u);
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 22050).size(), 4u);  // B, o, x and b
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 44100).size(), 1u);
    EXPECT_EQ(r.soundFrames("s\\Nuclear.raw").size(), 1u);
    ASSERT_EQ(r.all("highscore_saved").size(), 1u);
    EXPECT_EQ(r.all("highscore_saved")[0]["path"], (dir / "save" / "gx.raw").string());
}

TEST_F(NameEntry, EmptyNameBecomesTheDefaultAndLimitsHold) {
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
    EXPECT_EQ(fieldCells(), cellsOf("Zorvik"));
    std::string plain = record("Zorvik", "0") + record("Zorvik", "0") + record("Zorvik", "42");
    EXPECT_EQ(readBytes(dir / "save" / "gx.raw"), complemented(plain));

    screen_run::Result r = traced();
    EXPECT_TRUE(r.soundFrames("s\\tschonk.raw").empty());
}
