#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/mixer.h"

namespace {

// What an 8-bit unsigned sample sounds as once mixed into 16 bits.
int16_t level(int sample) { return static_cast<int16_t>((sample - 128) * 256); }

// Mixes `frames` frames and returns the left channel, checking the right one matches.
std::vector<int16_t> mixLeft(Mixer& mixer, size_t frames) {
    std::vector<int16_t> stereo(frames * 2, 12345);
    mixer.mix(stereo.data(), frames);
    std::vector<int16_t> left(frames);
    for (size_t i = 0; i < frames; ++i) {
        EXPECT_EQ(stereo[2 * i], stereo[2 * i + 1]) << "frame " << i;
        left[i] = stereo[2 * i];
    }
    return left;
}

std::vector<uint8_t> ramp(size_t length, int start, int stride) {
    std::vector<uint8_t> samples(length);
    for (size_t i = 0; i < length; ++i) samples[i] = static_cast<uint8_t>(start + stride * int(i));
    return samples;
}

TEST(Mixer, PitchSetsHowFastTheSourceIsWalked) {
    std::vector<uint8_t> samples = ramp(100, 28, 2);  // 28, 30, 32, ...
    for (auto [voiceRate, sourcePerFrame] :
         {std::pair{8000, 1.0}, {16000, 2.0}, {24000, 3.0}, {4000, 0.5}}) {
        Mixer mixer(8000);
        int voice = mixer.addVoice(samples.data(), samples.size(), voiceRate);
        mixer.play(voice, false);
        std::vector<int16_t> out = mixLeft(mixer, 20);
        for (int k = 0; k < 20; ++k) {
            // The ramp is linear, so interpolating it gives the ramp's value at any position.
            EXPECT_EQ(out[k], level(28 + static_cast<int>(2 * k * sourcePerFrame)))
                << "rate " << voiceRate << " frame " << k;
        }
    }
}

TEST(Mixer, LoopsBlendTheSeamAndKeepWrappingEvenWhenShorterThanAStep) {
    const uint8_t samples[] = {228, 128, 128, 28};
    Mixer mixer(200);
    int voice = mixer.addVoice(samples, 4, 100);  // half a sample per frame
    mixer.play(voice, true);
    std::vector<int16_t> out = mixLeft(mixer, 24);
    // Position 3.5 lies halfway between the last sample (-100) and the first (+100).
    EXPECT_EQ((std::vector<int16_t>{out[6], out[7], out[8]}),
              (std::vector<int16_t>{level(28), 0, level(228)}));
    for (int k = 8; k < 24; ++k) EXPECT_EQ(out[k], out[k - 8]) << "frame " << k;

    const uint8_t shortLoop[] = {138, 148, 158};
    Mixer fast(1000);
    fast.play(fast.addVoice(shortLoop, 3, 7000), true);  // seven samples per frame
    out = mixLeft(fast, 6);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(out[k], level(shortLoop[(7 * k) % 3])) << "frame " << k;
}

TEST(Mixer, OneShotEndsSilentAndStaysSilent) {
    std::vector<uint8_t> loud(10, 200);
    Mixer mixer(11025);
    int voice = mixer.addVoice(loud.data(), loud.size(), 11025);
    mixer.play(voice, false);
    std::vector<int16_t> out = mixLeft(mixer, 25);
    for (int k = 0; k < 25; ++k) EXPECT_EQ(out[k], k < 10 ? level(200) : 0) << "frame " << k;
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST(Mixer, PlayRestartsFromTheFirstSampleWhetherSoundingOrEnded) {
    std::vector<uint8_t> samples = ramp(200, 0, 1);
    Mixer mixer(8000);
    int voice = mixer.addVoice(samples.data(), samples.size(), 8000);
    for (size_t played : {50, 300}) {  // midway, then long after it ended
        mixer.play(voice, false);
        mixLeft(mixer, played);
        mixer.play(voice, true);
        std::vector<int16_t> out = mixLeft(mixer, 3);
        EXPECT_EQ(out, (std::vector<int16_t>{level(0), level(1), level(2)})) << played;
    }
}

TEST(Mixer, StopSilencesAtOnce) {
    std::vector<uint8_t> samples(1000, 90);
    Mixer mixer(8000);
    int music = mixer.addVoice(samples.data(), samples.size(), 8000);
    std::vector<uint8_t> other(1000, 150);
    int effect = mixer.addVoice(other.data(), other.size(), 8000);
    mixer.play(music, true);
    mixer.play(effect, false);
    EXPECT_EQ(mixLeft(mixer, 1)[0], level(90) + level(150));
    mixer.stop(music);
    EXPECT_FALSE(mixer.isPlaying(music));
    for (int16_t value : mixLeft(mixer, 20)) EXPECT_EQ(value, level(150));
}

TEST(Mixer, TheSumOfAllVoicesIsClampedNotEachVoiceNorWrapped) {
    struct Case {
        int highs, lows;
        int16_t expected;
    };
    // Clamping each voice's contribution, or a running sum, would not cancel the last case.
    for (Case c : {Case{28, 0, INT16_MAX}, Case{0, 28, INT16_MIN}, Case{4, 4, 0}}) {
        std::vector<uint8_t> high(64, 255), low(64, c.highs ? 1 : 0);
        Mixer mixer(22050);
        for (int i = 0; i < c.highs; ++i) mixer.play(mixer.addVoice(high.data(), 64, 22050), true);
        for (int i = 0; i < c.lows; ++i) mixer.play(mixer.addVoice(low.data(), 64, 22050), true);
        for (int16_t value : mixLeft(mixer, 32)) ASSERT_EQ(value, c.expected) << c.highs;
    }
}

TEST(Mixer, FrequencyChangesKeepThePositionAndRefusedOnesKeepThePitch) {
    std::vector<uint8_t> samples = ramp(250, 0, 1);
    Mixer mixer(8000);
    int voice = mixer.addVoice(samples.data(), samples.size(), 8000);
    for (int hz : {0, -8000, Mixer::minFrequency - 1, Mixer::maxFrequency + 1}) {
        mixer.setFrequency(voice, hz);
        EXPECT_EQ(mixer.frequency(voice), 8000) << hz;
    }
    EXPECT_EQ(mixer.addVoice(samples.data(), samples.size(), 0), -1);
    mixer.play(voice, false);
    mixLeft(mixer, 10);  // now at sample 10
    mixer.setFrequency(voice, 24000);
    std::vector<int16_t> out = mixLeft(mixer, 5);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(out[k], level(10 + 3 * k)) << "frame " << k;
    mixer.setFrequency(voice, 4000);
    // The second frame lies halfway to the next sample.
    EXPECT_EQ(mixLeft(mixer, 2), (std::vector<int16_t>{level(25), int16_t(level(25) + 128)}));
}

TEST(Mixer, OutputRateChangeKeepsEachVoicesPitch) {
    std::vector<uint8_t> samples = ramp(100, 0, 1);
    Mixer mixer(44100);
    int voice = mixer.addVoice(samples.data(), samples.size(), 22050);
    mixer.setOutputRate(22050);
    mixer.play(voice, false);
    std::vector<int16_t> out = mixLeft(mixer, 4);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], level(k));
}

TEST(Mixer, LongMixesContinueAcrossInternalBlocks) {
    std::vector<uint8_t> samples(5000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>((i * 7) & 0xFF);
    Mixer mixer(11025);
    int voice = mixer.addVoice(samples.data(), samples.size(), 11025);
    mixer.play(voice, false);
    std::vector<int16_t> out = mixLeft(mixer, 4500);
    for (size_t k = 0; k < out.size(); ++k) ASSERT_EQ(out[k], level(samples[k])) << "frame " << k;
}

TEST(Mixer, EmptyRecordingsUnknownVoicesAndVoicesNeverPlayedAreSilent) {
    Mixer mixer(8000);
    std::vector<uint8_t> loud(100, 255);
    mixer.addVoice(loud.data(), loud.size(), 22050);
    int empty = mixer.addVoice(nullptr, 0, 8000);
    ASSERT_GE(empty, 0);
    mixer.play(empty, true);
    EXPECT_FALSE(mixer.isPlaying(empty));
    for (int bad : {-1, 1, 1000}) {
        mixer.play(bad, false);
        mixer.stop(bad);
        mixer.setFrequency(bad, 8000);
        EXPECT_FALSE(mixer.isPlaying(bad));
    }
    for (int16_t value : mixLeft(mixer, 8)) EXPECT_EQ(value, 0);
}

TEST(Mixer, VoicesOwnACopyOfTheirSamples) {
    std::vector<uint8_t> samples(16, 200);
    Mixer mixer(8000);
    int voice = mixer.addVoice(samples.data(), samples.size(), 8000);
    samples.assign(16, 128);
    samples.shrink_to_fit();
    mixer.play(voice, false);
    EXPECT_EQ(mixLeft(mixer, 1)[0], level(200));
}

}  // namespace
