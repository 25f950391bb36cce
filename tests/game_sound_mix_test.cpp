// The game's sound as a player hears it: the stored replay's sound events (several games in a
// row with hits, screams, smart bombs, the chainsaw and the music) mixed through the mixer
// from the generated data files, at the rate most sound cards run at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "catalog/sound_files.h"
#include "platform/mixer.h"
#include "support/screen_run.h"
#include "support/test_sheets.h"

namespace {

// "s\\oof.raw" -> the generated file.
std::vector<uint8_t> dataFile(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return readFileBytes(std::string(PARAPET_DATA_DIR) + "/" + name);
}

std::vector<uint8_t> dataFile(Sound sound) { return dataFile(soundFile(sound).file); }

constexpr int deviceRate = 48000;

// One recording alone through the mixer at `hz`: the left channel of `frames` frames.
std::vector<int16_t> mixAlone(const std::vector<uint8_t>& recording, int hz, size_t frames,
                              bool looped) {
    Mixer mixer(deviceRate);
    mixer.play(mixer.addVoice(recording.data(), recording.size(), hz), looped);
    std::vector<int16_t> stereo(2 * frames), left(frames);
    mixer.mix(stereo.data(), frames);
    for (size_t i = 0; i < frames; ++i) left[i] = stereo[2 * i];
    return left;
}

double rmsDb(const std::vector<int16_t>& x, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    double sum = 1e-9;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return 10 * std::log10(sum / static_cast<double>(std::max<size_t>(1, to - from)));
}

// Once called, the chainsaw idles for the rest of the level under whichever track it has.
TEST(GameSoundMix, TheChainsawIdlesAtLeastSixDecibelsUnderEveryTrack) {
    const SoundFile& saw = soundFile(Sound::chainsawLoop);
    const double sawDb =
        rmsDb(mixAlone(dataFile(Sound::chainsawLoop), saw.rate, 5 * deviceRate, true));
    for (int track = 0; track < musicTrackCount; ++track) {
        const SoundFile& music = soundFile(musicTrackSound(track));
        std::vector<uint8_t> pcm = dataFile(musicTrackSound(track));
        const double musicDb =
            rmsDb(mixAlone(pcm, music.rate, pcm.size() * deviceRate / music.rate, false));
        EXPECT_LE(sawDb, musicDb - 6.0) << music.file;
    }
}

// However the game pitches an effect (never more than an octave up: the swish and the menu
// click go that high; the chainsaw's idle only ever at its own rate), it rises no faster
// than in 2 ms, so its first wave never clicks. And a ball's clang is the knock of iron on
// stone, not a bell: gone within 0.4 s.
TEST(GameSoundMix, EffectsRiseOverTwoMillisecondsAndTheClangDiesWithinFourTenths) {
    const size_t rise = 2 * deviceRate / 1000;
    for (int i = 0; i < effectCount; ++i) {
        const SoundFile& effect = soundFile(soundAt(i));
        std::vector<uint8_t> pcm = dataFile(soundAt(i));
        ASSERT_FALSE(pcm.empty()) << effect.file;
        const int hz = soundAt(i) == Sound::chainsawLoop ? effect.rate : 2 * effect.rate;
        std::vector<int16_t> out = mixAlone(pcm, hz, pcm.size() * deviceRate / hz, false);
        int peak = 0;
        for (int16_t v : out) peak = std::max(peak, std::abs(int{v}));
        size_t steep = rise;  // the first frame above a 2 ms ramp to the peak
        for (size_t k = 0; k < rise && steep == rise; ++k)
            if (std::abs(int{out[k]}) > peak * static_cast<double>(k) / rise + 512) steep = k;
        EXPECT_EQ(steep, rise) << effect.file << " rises too steeply at frame " << steep;
    }
    const int clangRate = soundFile(Sound::clang).rate;
    std::vector<int16_t> clang = mixAlone(dataFile(Sound::clang), clangRate, deviceRate, false);
    const size_t window = deviceRate / 100;
    double loudest = -1e9;
    for (size_t from = 0; from + window <= clang.size(); from += window)
        loudest = std::max(loudest, rmsDb(clang, from, from + window));
    for (size_t from = 4 * deviceRate / 10; from + window <= clang.size(); from += window)
        ASSERT_LE(rmsDb(clang, from, from + window), loudest - 40.0)
            << "the clang still sounds " << static_cast<double>(from) / deviceRate << " s in";
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
