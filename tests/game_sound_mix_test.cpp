// The game's sound as a player hears it: the stored replay's sound events (several games in a
// row with hits, screams, smart bombs, the chainsaw and the music) mixed through the mixer
// from the generated data files, at the rate most sound cards run at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/mixer.h"
#include "support/screen_run.h"
#include "support/test_sheets.h"

namespace {

// "s\\oof.raw" -> the generated file.
std::vector<uint8_t> dataFile(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return readFileBytes(std::string(PARAPET_DATA_DIR) + "/" + name);
}

TEST(GameSoundMix, ABusyGameNeverReachesFullScale) {
    std::vector<uint8_t> text =
        readFileBytes(std::string(PARAPET_SOURCE_DIR) + "/tests/data/replay_trace.jsonl");
    std::vector<screen_run::Event> trace =
        screen_run::parseTrace(std::string(text.begin(), text.end()));
    ASSERT_FALSE(trace.empty());
    const int lastFrame = trace.back().frame();
    ASSERT_GT(lastFrame, 60 * 30) << "at least a minute of play";

    constexpr int rate = 48000;
    constexpr size_t framePeriod = rate * 33 / 1000;  // the game's 33 ms frame
    Mixer mixer(rate);
    std::map<std::string, int> voices;
    for (const screen_run::Event& e : trace) {
        if (e["event"] != "sound" || voices.count(e["file"])) continue;
        std::vector<uint8_t> recording = dataFile(e["file"]);
        ASSERT_FALSE(recording.empty()) << e["file"];
        voices[e["file"]] = mixer.addVoice(std::move(recording), std::stoi(e["hz"]));
    }

    std::vector<int16_t> out(2 * framePeriod);
    int loudest = 0;
    size_t limited = 0;
    auto next = trace.begin();
    for (int frame = 1; frame <= lastFrame; ++frame) {
        for (; next != trace.end() && next->frame() == frame; ++next) {
            if ((*next)["event"] != "sound") continue;
            int voice = voices[(*next)["file"]];
            if ((*next)["op"] == "stop") {
                mixer.stop(voice);
                continue;
            }
            mixer.setFrequency(voice, std::stoi((*next)["hz"]));
            mixer.play(voice, (*next)["op"] == "loop");
        }
        mixer.mix(out.data(), framePeriod);
        for (int16_t value : out) {
            loudest = std::max(loudest, std::abs(int{value}));
            if (std::abs(int{value}) > Mixer::limiterKnee) ++limited;
        }
    }
    std::printf("busy game: loudest sample %d of 32767, %zu samples above the limiter's knee\n",
                loudest, limited);
    EXPECT_LT(loudest, 32767);
    EXPECT_GT(limited, 0u) << "the game should be loud enough to reach the limiter at times";
}

TEST(GameSoundMix, EveryMusicTrackIsCentredOnSilenceThroughout) {
    for (int track = 1; track <= 8; ++track) {
        char name[16];
        std::snprintf(name, sizeof name, "m/mus%02d.raw", track);
        std::vector<uint8_t> pcm = dataFile(name);
        ASSERT_GT(pcm.size(), 22050u * 10) << name;
        auto mean = [&](size_t from, size_t to) {
            double sum = 0;
            for (size_t i = from; i < to; ++i) sum += pcm[i];
            return sum / static_cast<double>(to - from);
        };
        EXPECT_NEAR(mean(0, pcm.size()), 128.0, 1.0) << name;
        // Music starts and stops at any point; no stretch may sit off the middle either.
        const size_t stretch = 2 * 22050;
        for (size_t from = 0; from + stretch <= pcm.size(); from += stretch / 2)
            ASSERT_NEAR(mean(from, from + stretch), 128.0, 1.0)
                << name << " at " << from / 22050 << " s";
    }
}

}  // namespace
