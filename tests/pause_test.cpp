#include "screens/pause.h"

#include <gtest/gtest.h>

#include <vector>

#include "world/world.h"
#include "input/frame_input.h"

TEST(Pause, KeysToggleOnlyInPlay) {
    enum { none = 0, keyP = 1, keyPause = 2, padStart = 4 };
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
        {statePlay, keyPause, true, "P let go as Pause went down: no new press"},
        {statePlay, none, true, ""},
        {statePlay, padStart, false, "Start resumes"},
        {statePlay, none, false, ""},
        {statePlay, keyPause, true, "the Pause key pauses"},
        {statePlay, none, true, ""},
        {statePlay, keyP, false, "P resumes"},
    };
    clearWorld();
    std::vector<GameEvent> events;
    theEvents = &events;
    std::vector<EventKind> expected;
    for (const Step& s : steps) {
        game.gameState = s.state;
        FrameInput input;
        if (s.input & keyP) input.players[1].keys |= gameKeyBit(pauseKeys::pauseKey);
        if (s.input & keyPause) input.players[0].keys |= gameKeyBit(pauseKeys::pauseKeyAlt);
        if (s.input & padStart) input.players[0].buttons = 1u << pauseKeys::startButton;
        theControls.apply(input);
        bool was = game.paused;
        updatePause();
        EXPECT_EQ(game.paused, s.paused) << s.why;
        if (s.paused != was) expected.push_back(s.paused ? EventKind::pause : EventKind::resume);
    }
    theEvents = nullptr;
    std::vector<EventKind> seen;
    for (const GameEvent& e : events) seen.push_back(e.kind);
    EXPECT_EQ(seen, expected) << "each change goes out once, for the sound and the trace";
}
