// The attract demo plays in a world of its own: whatever it does, the players' menu comes back
// exactly as it was left, the demo never stops for a name, never shows a pause, and nothing of
// its input reaches the players' game. Runs the real program in this process, with a player
// who watches the world in play before every frame and presses keys by what he sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/paths.h"
#include "input/frame_input_source.h"
#include "program/highscores.h"
#include "support/screen_run.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

const fs::path storedData = fs::path(PARAPET_SOURCE_DIR) / "tests" / "data";
const fs::path storedInput = storedData / "replay_input.txt",
               storedTrace = storedData / "replay_trace.jsonl";

// Taps what `decide` names (a DirectInput code, or -1 for nothing) for two frames.
class Watcher : public FrameInputSource {
public:
    explicit Watcher(std::function<int(int frame)> decide) : decide_(std::move(decide)) {}
    void commandsFor(int frame, std::vector<InputCommand>& out) override {
        if (held_ >= 0 && frame >= releaseAt_) {
            out.push_back(keyCommand(frame, held_, false));
            held_ = -1;
        }
        int key = decide_(frame);
        if (key < 0 || held_ >= 0) return;
        out.push_back(keyCommand(frame, key, true));
        held_ = key;
        releaseAt_ = frame + 2;
    }

private:
    std::function<int(int)> decide_;
    int held_ = -1;
    int releaseAt_ = 0;
};

// A headless run of `frames` frames in dir, played by a watcher.
int play(const fs::path& dir, int frames, FrameInputSource* watcher) {
    screen_run::HereRun run;
    run.frames = frames;
    run.source = watcher;
    return screen_run::runHere(dir, run);
}

constexpr int space = 57, fire = 54, up = 200, down = 208;

}  // namespace

// A fresh install: the autopilot beats the empty table, and must go back to the menu instead of
// waiting for a name nobody types; the fire it holds as its game ends starts nothing there.
TEST(AttractDemo, TheAutopilotsGameEndsInTheMenuAndStartsNothingThere) {
    fs::path dir = screen_run::scratchDir();
    bool nameAsked = false, playersGameStarted = false, wasDemo = false;
    int demoEnds = 0;
    Watcher watcher([&](int frame) {
        nameAsked |= game.gameState == stateNameEntry;
        if (wasDemo && !game.demo) ++demoEnds;
        playersGameStarted |= demoEnds > 0 && !game.demo && game.gameState != stateMenu;
        wasDemo = game.demo;
        return frame == 130 ? space : -1;  // nobody touches anything after the title
    });
    EXPECT_EQ(play(dir, 25000, &watcher), 0);
    EXPECT_GE(demoEnds, 2) << "each demo's game ends, and another comes after an idle while";
    EXPECT_FALSE(nameAsked);
    EXPECT_FALSE(playersGameStarted);
    EXPECT_FALSE(fs::exists(dir / "save" / "gx.raw")) << "a demo keeps no record";
}

// The kept record game has a pause in its play, and is the stored game all the same, later.
// The demo is left with a key just after its first level end, from a menu with Quit selected.
// The menu is as it was left (selection and cursor, no word "level", the stored table, not
// paused) and answers the next key. Under the sanitizer build this also leaves a demo after a
// level end with nothing leaked.
TEST(AttractDemo, LeftAfterALevelEndTheMenuIsAsItWasAndTheGamesPausesNeverShow) {
    fs::path dir = screen_run::scratchDir();
    // The stored input's first game, paused 150 frames at frame 1200 (its later input moved on
    // by as much): a record game the demo will show.
    constexpr int pauseAt = 1200, held = 150, last = 4930;
    std::string recordGame;
    std::ifstream in(storedInput);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        int frame = std::stoi(line);
        if (frame > last) break;
        if (frame >= pauseAt && recordGame.find(" P ") == std::string::npos)
            recordGame += "1200 key P down\n1202 key P up\n1350 key P down\n1352 key P up\n";
        recordGame += std::to_string(frame >= pauseAt ? frame + held : frame) +
                      line.substr(line.find(' ')) + "\n";
    }
    screen_run::Result record = screen_run::run(dir.string(), recordGame, "--frames 5100");
    ASSERT_EQ(record.exitCode, 0) << record.errors;
    ASSERT_TRUE(fs::exists(dir / "save" / "replays" / "record-1p.replay"));
    // Paused, it is the same game later: every event but the pause and the resume is the
    // stored one, held frames later.
    using Fields = std::map<std::string, std::string>;
    std::vector<std::string> toggles;
    std::vector<Fields> shifted, stored;
    for (screen_run::Event e :
         screen_run::parseTrace(screen_run::withoutPaths(record.traceText()))) {
        if (e["event"] == "pause" || e["event"] == "resume") {
            toggles.push_back(e["event"] + std::to_string(e.frame()));
            continue;
        }
        if (e.frame() > pauseAt) e.fields["frame"] = std::to_string(e.frame() - held);
        if (e.frame() <= last) shifted.push_back(e.fields);
    }
    for (const screen_run::Event& e : screen_run::parseTrace(readText(storedTrace)))
        if (e.frame() <= last) stored.push_back(e.fields);
    EXPECT_EQ(toggles, (std::vector<std::string>{"pause1201", "resume1351"}));
    for (size_t i = 0; i < std::max(shifted.size(), stored.size()); ++i)
        ASSERT_EQ(i < shifted.size() ? shifted[i] : Fields{},
                  i < stored.size() ? stored[i] : Fields{})
            << "event " << i;
    paths().saveDir = (dir / "save").string();
    loadHighscores();  // the table as the demo's run reads it
    const int storedRecord = highscoreValue[0];
    ASSERT_GT(storedRecord, 0);

    struct Seen {
        int state, selection, cursorLine, records;
        bool paused, levelShown;
        bool operator==(const Seen&) const = default;
    };
    auto see = [] {
        return Seen{game.gameState,
                    game.menuSelection,
                    game.menuCursor != nullptr ? game.menuCursor->bottomBound() : -1,
                    highscoreValue[0],
                    game.paused,
                    game.levelText != nullptr && game.levelText->isVisible()};
    };
    Seen left{}, back{};
    bool wasDemo = false;
    int pausedShown = 0, leftAt = 0, afterDemo = 0, selectionLater = -1;
    Watcher watcher([&](int frame) {
        int key = -1;
        if (game.demo) {
            pausedShown += game.paused;
            if (game.gameState == stateResults && leftAt == 0) {
                leftAt = frame;
                key = fire;
            }
        } else if (wasDemo && afterDemo == 0) {
            back = see();
            afterDemo = frame;
        } else if (afterDemo == 0) {
            left = see();
        }
        wasDemo = game.demo;
        if (frame == 130) key = space;
        if (frame == 400 || frame == 420) key = down;  // to Quit
        if (afterDemo > 0 && frame == afterDemo + 10) key = up;
        if (afterDemo > 0 && frame == afterDemo + 20) selectionLater = game.menuSelection;
        return key;
    });
    EXPECT_EQ(play(dir, 9000, &watcher), 0);
    ASSERT_GT(afterDemo, 0) << "the demo was left";
    EXPECT_EQ(afterDemo, leftAt + 1) << "the key ends the demo at once";
    EXPECT_EQ(pausedShown, 0) << "the demo runs through the pauses of the game it shows";
    EXPECT_EQ(back, left);
    EXPECT_EQ(left.selection, 2);
    EXPECT_FALSE(back.levelShown || back.paused);
    EXPECT_EQ(back.records, storedRecord);
    EXPECT_EQ(selectionLater, 1) << "the menu answers at once";
}
