// The generator's announcer lines and its WAV reader and writer, which meet files made by
// another program (the speech synthesiser) or by nobody at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound_dsp.h"
#include "sound_effects.h"
#include "sound_wav.h"
#include "support/scoped_env.h"

namespace {

using snd::Buffer;

TEST(SoundSynth, AnnouncerLinesAreMadeEvenWithoutTheSpeechSynthesiser) {
    // A build machine without espeak-ng must still get every line, and the title's line must
    // be over before the next one is called three seconds later.
    const ScopedEnv noSpeech("PATH", "/nonexistent");
    for (auto [text, wpm] :
         {std::pair{"Here they come!", 120}, {"Parapet!", 85}, {"Defend the wall!", 115}}) {
        SCOPED_TRACE(text);
        Buffer x = snd::makeAnnouncement(text, 22050, 7, wpm, 30);
        EXPECT_GE(x.size(), 0.3 * 22050);
        EXPECT_LE(x.size(), 2.9 * 22050);
        // A few spikes over a faint line would leave it inaudible once the peaks are limited.
        EXPECT_LT(snd::peak(x), 8.0 * snd::rms(x));
    }
}

// ---- WAV files ----

std::vector<uint8_t> wav16(int channels, int rate, const std::vector<int16_t>& samples,
                           uint32_t dataSize) {
    std::vector<uint8_t> b;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) {
        put(uint32_t(t[0] | t[1] << 8 | t[2] << 16) | uint32_t(t[3]) << 24, 4);
    };
    tag("RIFF");
    put(0, 4);
    tag("WAVE");
    tag("LIST");  // an odd-sized chunk the reader must step over, padding included
    put(3, 4);
    tag("abc\0");
    tag("fmt ");
    // Size 16, PCM, channels, rate, byte rate, block size, bits.
    for (auto [v, n] : {std::pair{16u, 4},
                        {1u, 2},
                        {uint32_t(channels), 2},
                        {uint32_t(rate), 4},
                        {uint32_t(rate * channels * 2), 4},
                        {uint32_t(channels * 2), 2},
                        {16u, 2}})
        put(v, n);
    tag("data");
    put(dataSize, 4);
    for (int16_t s : samples) put(static_cast<uint16_t>(s), 2);
    return b;
}

TEST(SoundSynth, WavReaderTakesWhatSpeechSynthesisersAndOurOwnWriterWrite) {
    snd::Wav w;
    // Stereo 16-bit, mixed down to mono.
    ASSERT_TRUE(snd::parseWav(wav16(2, 22050, {16384, 0, -32768, -32768, 0, 32767}, 12), w));
    EXPECT_EQ(w.rate, 22050);
    ASSERT_EQ(w.samples.size(), 3u);
    EXPECT_NEAR(w.samples[0], 0.25, 1e-4);
    EXPECT_NEAR(w.samples[1], -1.0, 1e-4);
    EXPECT_NEAR(w.samples[2], 0.5, 1e-4);
    // A streamed file whose data size says "as much as you like" is read to its real end.
    ASSERT_TRUE(snd::parseWav(wav16(1, 16000, {100, 200, 300}, 0xFFFFFFFFu), w));
    EXPECT_EQ(w.samples.size(), 3u);
    // Truncated mid-sample: the partial sample is dropped.
    auto cut = wav16(1, 16000, {100, 200, 300}, 6);
    cut.pop_back();
    ASSERT_TRUE(snd::parseWav(cut, w));
    EXPECT_EQ(w.samples.size(), 2u);
    // The previews' writer, sample for sample; an odd length is padded on disk.
    std::vector<uint8_t> pcm = {128, 255, 0, 64, 200};
    auto bytes = snd::encodeWav8(pcm, 7500);
    EXPECT_EQ(bytes.size() % 2, 0u);
    ASSERT_TRUE(snd::parseWav(bytes, w));
    EXPECT_EQ(w.rate, 7500);
    ASSERT_EQ(w.samples.size(), pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        EXPECT_NEAR(w.samples[i], (pcm[i] - 128) / 128.0, 1e-6) << i;
}

TEST(SoundSynth, WavReaderRefusesWhatItCannotPlay) {
    snd::Wav w;
    const auto good = wav16(1, 22050, {1, 2, 3}, 6);
    auto notPcm = good;
    notPcm[12 + 12 + 8] = 3;  // format tag of the fmt chunk: IEEE float
    const std::vector<uint8_t> bad[] = {notPcm,
                                        {good.begin(), good.begin() + 48} /* ends after fmt */,
                                        {good.begin(), good.begin() + 10},
                                        std::vector<uint8_t>(good.size(), 0),
                                        wav16(1, 22050, {}, 0)};
    for (const auto& b : bad) EXPECT_FALSE(snd::parseWav(b, w)) << b.size() << " bytes";
}

}  // namespace
