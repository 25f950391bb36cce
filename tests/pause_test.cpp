#include "game/pause.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "game/game_state.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "sound/sound.h"

namespace {

using Op = RecordingAudio::Op;

struct PauseRig {
    PauseRig() : joysticks(1), engine(&display, &keyboard, &joysticks, 640, 480, 16) {
        game = GameState{};
        closeSound();
        initSound(&audio, 8, 22050);
        engine.setUpJoysticks(1);
    }
    ~PauseRig() { closeSound(); }

    HeadlessDisplay display{640, 480};
    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks;
    RecordingAudio audio;
    Engine engine;
    Pause pause;
};

}  // namespace

TEST(Pause, KeysToggleOnlyInPlayAndHoldTheSound) {
    enum Input { none = 0, keyP = 1, keyPause = 2, padStart = 4, focus = 8 };
    struct Step {
        int state;
        int input;
        bool paused;
        const char* why;
    } steps[] = {
        {statePlay, keyP, false, "held since before the first look: not a press"},
        {statePlay, none, false, "let go"},
        {stateMenu, keyP, false, "the menu cannot be paused"},
        {statePlay, none, false, "let go"},
        {statePlay, keyP, true, "pressed in play"},
        {statePlay, keyP | focus, true, "held: still paused; losing the focus changes nothing"},
        {statePlay, keyPause, true, "P let go while Pause went down: no new press"},
        {statePlay, none, true, "let go"},
        {statePlay, padStart, false, "Start resumes"},
        {statePlay, none, false, "let go"},
        {statePlay, keyPause, true, "the Pause key pauses"},
        {statePlay, none, true, "let go"},
        {statePlay, keyP, false, "P resumes"},
        {stateMenu, focus, false, "the focus lost in the menu pauses nothing"},
        {statePlay, focus, true, "the focus lost in play pauses"},
    };
    PauseRig rig;
    std::vector<Op> expected;
    bool was = false;
    for (const Step& s : steps) {
        game.gameState = s.state;
        rig.keyboard.setKey(0x19, s.input & keyP);
        rig.keyboard.setKey(0xC5, s.input & keyPause);
        rig.joysticks.setButton(0, 6, s.input & padStart);
        rig.engine.readKeyboard();
        rig.engine.readControls();
        if (s.input & focus) rig.pause.focusLost();
        rig.pause.update(rig.engine);
        EXPECT_EQ(rig.pause.active(), s.paused) << s.why;
        if (s.paused != was) expected.push_back(s.paused ? Op::pause : Op::resume);
        was = s.paused;
    }
    std::vector<Op> seen;
    for (const RecordingAudio::Event& e : rig.audio.events()) seen.push_back(e.op);
    EXPECT_EQ(seen, expected);
}
