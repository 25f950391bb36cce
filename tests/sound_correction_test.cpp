// Frames stepped again after a rollback make their sounds again: what already sounds must not
// start over, what no longer happens must stop, and what happens only now must play.
#include "sound/sound_correction.h"

#include <gtest/gtest.h>

#include "catalog/sound_files.h"

namespace {

GameEvent sound(SoundOp op, int which, int hz = 22050) {
    return GameEvent{EventKind::sound, static_cast<int32_t>(op), which, hz, 0, nullptr};
}

std::string describe(const std::vector<GameEvent>& events) {
    std::string text;
    for (const GameEvent& e : events)
        text += std::to_string(e.a) + ":" + std::to_string(e.b) + "@" + std::to_string(e.c) + " ";
    return text;
}

}  // namespace

TEST(SoundCorrection, OnlyTheDifferenceBetweenThePredictedAndTheCorrectedFramesSounds) {
    const SoundOp play = SoundOp::play, loop = SoundOp::loop, stop = SoundOp::stop;
    const GameEvent score{EventKind::score, 0, 100};
    const int chainsaw = soundIndex(Sound::chainsawLoop), music = soundIndex(musicTrackSound(2));
    struct Case {
        const char* what;
        std::vector<GameEvent> before, after, stops, plays;
    };
    const Case cases[] = {
        {"the same sounds, a frame later or in another order: nothing again",
         {sound(play, 3), sound(loop, 25), score},
         {score, sound(loop, 25), sound(play, 3)},
         {},
         {}},
        {"a throw that did not happen is cut short; one that did is played",
         {sound(play, 3)},
         {sound(play, 4)},
         {sound(stop, 3)},
         {sound(play, 4)}},
        {"a splat at another pitch is the other splat",
         {sound(play, 7, 11025)},
         {sound(play, 7, 14000)},
         {sound(stop, 7, 11025)},
         {sound(play, 7, 14000)}},
        {"played twice, once for real: one stops",
         {sound(play, 3), sound(play, 3)},
         {sound(play, 3)},
         {sound(stop, 3)},
         {}},
        {"a predicted chainsaw loop stops; music a prediction stopped goes on",
         {sound(loop, chainsaw), sound(stop, music)},
         {},
         {sound(stop, chainsaw)},
         {sound(loop, music)}},
        {"an effect a prediction stopped is not started again",
         {sound(stop, 3)},
         {},
         {},
         {}},
    };
    for (const Case& c : cases) {
        std::vector<GameEvent> stops, plays;
        correctSounds(c.before, c.after, stops, plays);
        EXPECT_EQ(describe(stops), describe(c.stops)) << c.what;
        EXPECT_EQ(describe(plays), describe(c.plays)) << c.what;
    }
}
