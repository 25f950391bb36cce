#include "game/pause.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "game/game_state.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "sound/sound.h"

TEST(Pause, KeysToggleOnlyInPlayAndHoldTheSound) {
    enum { none = 0, keyP = 1, keyPause = 2, padStart = 4, focus = 8 };
    struct Step {
        int state, input;
        bool paused;
        const char* why;
    } steps[] = {
        {statePlay, keyP, false, "held since before the first look: not a press"},
        {stateMenu, none, false, ""},
        {stateMenu, keyP, false, "the menu cannot be paused"},
        {statePlay, none, false, ""},
        {statePlay, keyP, true, "pressed in play"},
        {statePlay, keyP | focus, true, "held, and the focus lost: still paused"},
        {statePlay, keyPause, true, "P let go as Pause went down: no new press"},
        {statePlay, none, true, ""},
        {statePlay, padStart, false, "Start resumes"},
        {statePlay, none, false, ""},
        {statePlay, keyPause, true, "the Pause key pauses"},
        {statePlay, none, true, ""},
        {statePlay, keyP, false, "P resumes"},
        {stateMenu, focus, false, "the focus lost in the menu pauses nothing"},
        {statePlay, focus, true, "the focus lost in play pauses"},
    };
    HeadlessDisplay display(640, 480);
    ScriptedKeyboard keyboard;
    SimulatedJoysticks pads(1);
    RecordingAudio audio;
    Engine engine(&display, &keyboard, &pads, 640, 480, 16);
    engine.setUpJoysticks(1);
    game = GameState{};
    closeSound();
    initSound(&audio, 8, 22050);
    Pause pause;
    std::vector<RecordingAudio::Op> expected;
    for (const Step& s : steps) {
        game.gameState = s.state;
        keyboard.setKey(0x19, s.input & keyP);
        keyboard.setKey(0xC5, s.input & keyPause);
        pads.setButton(0, 6, s.input & padStart);
        engine.readKeyboard();
        engine.readControls();
        bool was = pause.active();
        if (s.input & focus) pause.focusLost();
        pause.update(engine);
        EXPECT_EQ(pause.active(), s.paused) << s.why;
        if (s.paused != was)
            expected.push_back(s.paused ? RecordingAudio::Op::pause : RecordingAudio::Op::resume);
    }
    std::vector<RecordingAudio::Op> seen;
    for (const RecordingAudio::Event& e : audio.events()) seen.push_back(e.op);
    EXPECT_EQ(seen, expected);
    closeSound();
}
