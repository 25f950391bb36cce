#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/resampling_kernel.h"
#include "support/signal_analysis.h"

namespace {

// What an 8-bit unsigned sample sounds as once mixed into 16 bits.
int16_t level(int sample) { return static_cast<int16_t>((sample - 128) * 256); }

// Output frames a voice at `rate` needs to fill the resampler's window after it starts (or
// to leave it after it stops): until then it rises or fades through the kernel.
size_t settling(int rate, int outputRate) {
    return static_cast<size_t>(resampling::kernelHalfWidth * outputRate / rate) + 2;
}

// `cycles` whole sine periods in `length` samples, so the recording loops without a seam.
std::vector<uint8_t> sineLoop(int length, int cycles, double amplitude) {
    std::vector<uint8_t> samples(length);
    for (int i = 0; i < length; ++i)
        samples[i] = static_cast<uint8_t>(
            std::lround(128 + amplitude * std::sin(2 * std::acos(-1.0) * cycles * i / length)));
    return samples;
}

// Segments of constant level: {sample, length}, ...
std::vector<uint8_t> steps(std::initializer_list<std::pair<int, int>> parts) {
    std::vector<uint8_t> samples;
    for (auto [value, length] : parts)
        samples.insert(samples.end(), length, static_cast<uint8_t>(value));
    return samples;
}

// A recording that is no whole number of anything, so a seam would show.
std::vector<uint8_t> rough(size_t length) {
    std::vector<uint8_t> samples(length);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(128 + 50 * std::sin(0.37 * i) + (i * 7919 % 41) - 20);
    return samples;
}

// The stop band starts just above 0.55 of the voice's rate; images of a tone at f lie at
// rate - f and above, so everything from the voice's Nyquist frequency up is measured.
TEST(Mixer, ResamplingKeepsThePitchAndLeavesNoImagesAboveTheVoicesNyquistFrequency) {
    struct Case {
        int rate, length, cycles;
        int retuneTo;  // a frequency change while sounding (0: none), as the splat gets
        int openedAt, outputRate;
    };
    for (Case c :
         {Case{22050, 441, 20, 0, 48000, 48000},    // 1 kHz
          Case{22050, 2205, 900, 0, 48000, 48000},  // 9 kHz, near the top of the band
          Case{22050, 2205, 450, 0, 48000, 44100},  // the device chose 44.1 kHz
          Case{11025, 2205, 400, 0, 48000, 48000},  // 2 kHz
          Case{7500, 750, 111, 0, 48000, 48000}, Case{11025, 3969, 700, 9000, 48000, 48000},
          Case{11025, 3969, 700, 9137, 48000, 48000}}) {  // between the kernel's phases
        // Kept below the limiter's knee: its bending would add harmonics of its own.
        std::vector<uint8_t> recording = sineLoop(c.length, c.cycles, 90);
        Mixer mixer(c.openedAt);
        mixer.setOutputRate(c.outputRate);
        int voice = mixer.addVoice(recording.data(), recording.size(), c.rate);
        mixer.play(voice, true);
        mixLeft(mixer, 1000);
        int hz = c.rate;
        if (c.retuneTo != 0) {
            mixer.setFrequency(voice, c.retuneTo);
            hz = c.retuneTo;
            mixLeft(mixer, 1000);  // the old pitch rings out
        }
        std::vector<double> spectrum = powerSpectrumDb(mixLeft(mixer, 16384), 16384);
        const double tone = static_cast<double>(c.cycles) * hz / c.length;
        const double signal = loudestDb(spectrum, c.outputRate, tone - 10, tone + 10);
        EXPECT_GE(signal, loudestDb(spectrum, c.outputRate, 0, c.outputRate / 2.0) - 0.01)
            << "the loudest tone is the recording's at " << tone << " Hz, rate " << c.rate;
        // Asked for: 70 dB. The kernel gives 85 to 100 (the least where only two of its
        // phases are used, at exactly twice the rate, as 16-bit taps); under 80 it is broken.
        const double images = loudestDb(spectrum, c.outputRate, hz / 2.0, c.outputRate / 2.0);
        EXPECT_GE(signal - images, 80.0) << "voice at " << hz << " Hz, tone " << tone << " Hz";
    }
}

// The fastest voice at output rates far below the game's; at the lowest each frame steps
// over more input than the resampler's window holds.
TEST(Mixer, ExtremeRatiosStayWithinTheResamplersBuffer) {
    for (int outputRate : {8000, 50}) {
        std::vector<uint8_t> recording = sineLoop(40000, 1, 100);  // 5 Hz at 200 kHz
        Mixer mixer(outputRate);
        int voice = mixer.addVoice(recording.data(), recording.size(), Mixer::maxFrequency);
        mixer.play(voice, true);
        std::vector<int16_t> out = mixLeft(mixer, 200);
        EXPECT_TRUE(mixer.isPlaying(voice));
        EXPECT_GT(*std::max_element(out.begin(), out.end()), level(150)) << outputRate;
    }
}

TEST(Mixer, TheLimiterNeverReachesFullScale) {
    struct Case {
        int highs, lows;  // voices at 255 and at 0 (at 1 beside high ones, to cancel exactly)
    };
    std::vector<uint8_t> high(64, 255);
    int16_t previousLoudest = 0;
    for (Case c :
         {Case{1, 0}, Case{2, 0}, Case{3, 0}, Case{8, 0}, Case{28, 0}, Case{0, 28}, Case{4, 4}}) {
        Mixer mixer(22050);
        for (int i = 0; i < c.highs; ++i) mixer.play(mixer.addVoice(high.data(), 64, 22050), true);
        std::vector<uint8_t> low(64, c.highs ? 1 : 0);
        for (int i = 0; i < c.lows; ++i) mixer.play(mixer.addVoice(low.data(), 64, 22050), true);
        std::vector<int16_t> out = mixLeft(mixer, 256);
        out.erase(out.begin(), out.begin() + static_cast<ptrdiff_t>(settling(22050, 22050)));
        auto [quietest, loudest] = std::minmax_element(out.begin(), out.end());
        EXPECT_LE(*loudest, Mixer::limiterCeiling) << c.highs << " high voices";
        EXPECT_GE(*quietest, -Mixer::limiterCeiling) << c.lows << " low voices";
        if (c.lows == 0) {
            // More voices never sound quieter, however squeezed.
            EXPECT_GT(*quietest, previousLoudest) << c.highs;
            previousLoudest = *loudest;
        } else if (c.highs == c.lows) {
            EXPECT_EQ(*loudest, 0) << "the sum is limited, not each voice";
        }
    }
    // Full-swing square waves overshoot once band-limited; a pile of them still stays clear.
    std::vector<uint8_t> square(441);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 21) % 2 ? 255 : 0;
    Mixer squares(48000);
    for (int i = 0; i < 6; ++i)
        squares.play(squares.addVoice(square.data(), square.size(), 22050 - 500 * i), true);
    std::vector<int16_t> out = mixLeft(squares, 20000);
    for (int16_t value : out) ASSERT_LE(std::abs(int{value}), Mixer::limiterCeiling);
}

// The single-voice cases at full volume also show levels below the limiter's knee untouched.
TEST(Mixer, VolumeScalesEachVoiceOnItsOwn) {
    struct Case {
        int loudPercent, quietPercent;
        int expected;
    };
    std::vector<uint8_t> loud(500, 200), quiet(500, 100);  // 18432 and -7168
    for (Case c : {Case{100, 100, 11264}, Case{50, 100, 2048}, Case{0, 100, -7168},
                   Case{100, 0, 18432}, Case{25, 50, 1024}, Case{150, -5, 18432}}) {
        Mixer mixer(8000);
        int a = mixer.addVoice(loud.data(), loud.size(), 8000);
        int b = mixer.addVoice(quiet.data(), quiet.size(), 8000);
        mixer.setVolume(a, c.loudPercent);
        mixer.setVolume(b, c.quietPercent);
        mixer.play(a, true);
        mixer.play(b, true);
        std::vector<int16_t> out = mixLeft(mixer, 100);
        for (size_t i = settling(8000, 8000); i < out.size(); ++i)
            ASSERT_NEAR(out[i], c.expected, 2)
                << c.loudPercent << "% and " << c.quietPercent << "%";
        // A change while sounding takes over from where the voice is.
        mixer.setVolume(a, 100);
        mixer.setVolume(b, 100);
        out = mixLeft(mixer, 100);
        EXPECT_NEAR(out.back(), 11264, 2) << c.loudPercent << "% and " << c.quietPercent << "%";
    }
}

TEST(Mixer, FrequencyChangesKeepThePlaceInTheRecordingAndRefusedOnesKeepThePitch) {
    std::vector<uint8_t> recording = steps({{128, 1000}, {200, 1000}});
    Mixer mixer(8000);
    int voice = mixer.addVoice(recording.data(), recording.size(), 8000);
    for (int hz : {0, -8000, Mixer::minFrequency - 1, Mixer::maxFrequency + 1}) {
        mixer.setFrequency(voice, hz);
        EXPECT_EQ(mixer.frequency(voice), 8000) << hz;
    }
    EXPECT_EQ(mixer.addVoice(recording.data(), recording.size(), 0), -1);
    mixer.play(voice, false);
    mixLeft(mixer, 500);  // halfway through the silence
    mixer.setFrequency(voice, 16000);
    std::vector<int16_t> out = mixLeft(mixer, 400);
    // The 500 silent samples left now pass in 250 frames.
    size_t firstLoud =
        std::find_if(out.begin(), out.end(), [](int16_t v) { return v > level(164); }) -
        out.begin();
    EXPECT_NEAR(static_cast<double>(firstLoud), 250.0, 2.0);
    // The loud half, now lasting 500 frames, is still sounding 150 frames after it began.
    EXPECT_NEAR(out.back(), level(200), 2);
}

// A looped voice is the recording repeated without end: sample for sample what a one-shot
// of the recording written out six times gives, at an exact ratio, between the kernel's
// phases and above the output rate.
TEST(Mixer, ALoopPlaysRoundAndRoundWithoutASeam) {
    struct Case {
        int rate, outputRate;
    };
    const std::vector<uint8_t> once = rough(1001);
    std::vector<uint8_t> sixTimes;
    for (int i = 0; i < 6; ++i) sixTimes.insert(sixTimes.end(), once.begin(), once.end());
    for (Case c : {Case{22050, 48000}, Case{9137, 48000}, Case{44100, 22050}}) {
        const size_t frames = 5 * once.size() * c.outputRate / c.rate;
        std::vector<int16_t> out = mixAlone(once, c.rate, frames, true, c.outputRate);
        EXPECT_EQ(out, mixAlone(sixTimes, c.rate, frames, false, c.outputRate)) << c.rate << " Hz";
        EXPECT_GT(*std::max_element(out.begin(), out.end()), level(160)) << c.rate << " Hz";
    }
}

TEST(Mixer, OneShotEndsSilentAndPlayRestartsFromTheStart) {
    std::vector<uint8_t> recording = steps({{200, 100}, {128, 100}});
    Mixer mixer(11025);
    int voice = mixer.addVoice(recording.data(), recording.size(), 11025);
    recording.assign(recording.size(), 0);  // the voice has its own copy
    for (size_t played : {50, 150, 400}) {  // loud part, quiet part, long after the end
        mixer.play(voice, false);
        mixLeft(mixer, played);
        EXPECT_EQ(mixer.isPlaying(voice), played < 200) << played;
        mixer.play(voice, false);
        std::vector<int16_t> out = mixLeft(mixer, 300);
        EXPECT_NEAR(out[40], level(200), 2) << played;
        for (size_t k = 200; k < out.size(); ++k) ASSERT_EQ(out[k], 0) << "frame " << k;
        EXPECT_FALSE(mixer.isPlaying(voice));
    }
}

// Voices at one frequency and volume share a resampler: sharing must sound as each alone
// would (the second starts where the first's clock falls on a whole input sample, so both
// ways start it at the same instant), one stopped fades through the kernel instead of
// cutting the wave (which would click) while the other sounds on, and more voices than one
// resampler takes still add up.
TEST(Mixer, VoicesSharingAFrequencySoundAndStopAsTheyWouldAlone) {
    // Below the limiter's knee together, which would bend the sum.
    const std::vector<uint8_t> tune = sineLoop(2205, 333, 20), knock = rough(1400);
    Mixer together(48000), first(48000), second(48000);
    const int tuned = together.addVoice(tune.data(), tune.size(), 22050);
    const int knocking = together.addVoice(knock.data(), knock.size(), 22050);
    const int tunedAlone = first.addVoice(tune.data(), tune.size(), 22050);
    const int knockingAlone = second.addVoice(knock.data(), knock.size(), 22050);
    together.play(tuned, true);
    first.play(tunedAlone, true);
    std::vector<int16_t> one;
    for (size_t frames : {320, 600, 900}) {
        if (frames == 600) {
            together.play(knocking, false);
            second.play(knockingAlone, false);
        } else if (frames == 900) {
            together.stop(tuned);
            first.stop(tunedAlone);
        }
        std::vector<int16_t> both = mixLeft(together, frames), other = mixLeft(second, frames);
        one = mixLeft(first, frames);
        for (size_t i = 0; i < frames; ++i) ASSERT_NEAR(both[i], one[i] + other[i], 2) << i;
    }
    EXPECT_FALSE(together.isPlaying(tuned));
    EXPECT_TRUE(together.isPlaying(knocking)) << "still sounding";
    for (size_t i = settling(22050, 48000); i < one.size(); ++i) ASSERT_EQ(one[i], 0) << i;

    std::vector<uint8_t> quiet(300, 129);
    Mixer crowd(22050);
    for (int i = 0; i < 70; ++i)
        crowd.play(crowd.addVoice(quiet.data(), quiet.size(), 22050), true);
    std::vector<int16_t> out = mixLeft(crowd, 200);
    for (size_t i = settling(22050, 22050); i < out.size(); ++i) ASSERT_EQ(out[i], 70 * level(129));
}

// What the audio thread hears cannot depend on how it asks: pieces of any size, with the
// game's changes between them, give the same samples as one go with the same changes.
TEST(Mixer, MixingInPiecesGivesTheSameSoundAsInOneGo) {
    std::vector<uint8_t> samples(5000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>((i * 7) & 0xFF);
    std::vector<uint8_t> loop = sineLoop(300, 7, 60);
    auto start = [&](Mixer& mixer) {
        mixer.play(mixer.addVoice(samples.data(), samples.size(), 11025), false);
        mixer.play(mixer.addVoice(loop.data(), loop.size(), 8000), true);
        mixer.addVoice(loop.data(), loop.size(), 11025);
    };
    auto change = [](Mixer& mixer) {
        mixer.setFrequency(1, 9137);
        mixer.play(2, false);
        mixer.setVolume(0, 60);
    };
    Mixer whole(44100), pieces(44100);
    start(whole);
    start(pieces);
    std::vector<int16_t> expected = mixLeft(whole, 2048);
    change(whole);
    std::vector<int16_t> rest = mixLeft(whole, 22952);
    expected.insert(expected.end(), rest.begin(), rest.end());
    std::vector<int16_t> got;
    for (size_t piece : {1, 1023, 1024, 1500, 21452}) {
        if (got.size() == 2048) change(pieces);
        std::vector<int16_t> part = mixLeft(pieces, piece);
        got.insert(got.end(), part.begin(), part.end());
    }
    EXPECT_EQ(got, expected);
}

TEST(Mixer, EmptyRecordingsUnknownVoicesAndVoicesNeverPlayedAreSilent) {
    Mixer mixer(8000);
    std::vector<uint8_t> loud(100, 255);
    mixer.addVoice(loud.data(), loud.size(), 22050);
    int empty = mixer.addVoice(nullptr, 0, 8000);
    ASSERT_GE(empty, 0);
    mixer.play(empty, true);
    EXPECT_FALSE(mixer.isPlaying(empty));
    for (int bad : {-1, 2, 1000}) {
        mixer.play(bad, false);
        mixer.stop(bad);
        mixer.setFrequency(bad, 8000);
        mixer.setVolume(bad, 50);
        EXPECT_FALSE(mixer.isPlaying(bad));
    }
    for (int16_t value : mixLeft(mixer, 8)) EXPECT_EQ(value, 0);
}

}  // namespace
