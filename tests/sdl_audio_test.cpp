#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/scoped_env.h"
#include "support/signal_analysis.h"

// SDL's "disk" audio driver writes what the device would play to a file, so the whole path
// from a voice to the device's bytes is checked without a sound card.
namespace {

// Waits (at most a few seconds, for a loaded machine) until the device has written `bytes`
// more to the file.
void waitForOutput(const std::string& path, uintmax_t bytes) {
    std::error_code error;
    uintmax_t start = std::filesystem::file_size(path, error);
    for (int wait = 0; wait < 1000; ++wait) {
        if (std::filesystem::file_size(path, error) >= start + bytes) return;
        SDL_Delay(5);
    }
}

// Runs `body` on a device whose output goes to a file, then returns what it played (empty
// when SDL has no disk driver).
template <typename Body>
std::vector<int16_t> playToFile(const char* name, Body body) {
    std::string path = testing::TempDir() + name;
    std::remove(path.c_str());
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", path.c_str());
    ScopedEnv delay("SDL_DISKAUDIODELAY", "2");
    {
        SdlAudio audio(std::make_shared<SdlLibrary>());
        if (!audio.open()) return {};
        body(audio, path);
    }
    std::vector<uint8_t> bytes = readFileBytes(path);
    std::remove(path.c_str());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // little-endian like us
    return samples;
}

uintmax_t bufferBytes(const SdlAudio& audio) { return audio.bufferFrames() * 2 * sizeof(int16_t); }

TEST(SdlAudio, VoicesReachTheDeviceAsSixteenBitStereo) {
    int outputRate = 0;
    std::vector<int16_t> samples =
        playToFile("sdl_audio_test.raw", [&](SdlAudio& audio, const std::string& path) {
            outputRate = audio.outputRate();
            EXPECT_TRUE(outputRate == 44100 || outputRate == 48000) << outputRate;
            EXPECT_GE(audio.bufferFrames(), 512);
            EXPECT_LE(audio.bufferFrames(), 1024);

            std::vector<uint8_t> loud(1000, 200);
            int voice = audio.createVoice(loud, 22050);
            ASSERT_GE(voice, 0);
            audio.play(voice, true);
            waitForOutput(path, 4 * bufferBytes(audio));
            audio.stop(voice);
            // A second voice at half volume, retuned on the way.
            int half = audio.createVoice(loud, 11025);
            audio.setVolume(half, 50);
            audio.setFrequency(half, 16000);
            audio.play(half, true);
            waitForOutput(path, 4 * bufferBytes(audio));
            audio.stop(half);
            waitForOutput(path, 4 * bufferBytes(audio));
        });
    if (samples.empty()) GTEST_SKIP() << "SDL has no disk audio driver: " << SDL_GetError();
    ASSERT_GE(samples.size(), 2048u);
    const int16_t level = (200 - 128) * 256;
    size_t loudFrames = 0, halfFrames = 0, between = 0;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        ASSERT_EQ(samples[i], samples[i + 1]) << "frame " << i / 2 << ": both channels alike";
        if (samples[i] == level) ++loudFrames;
        if (samples[i] == level / 2) ++halfFrames;
        if (samples[i] != 0 && samples[i] != level && samples[i] != level / 2) ++between;
    }
    EXPECT_GT(loudFrames, 512u);
    EXPECT_GT(halfFrames, 512u);
    // Only the two starts and stops pass through the resampler's window on the way.
    const size_t reach = 16 * static_cast<size_t>(outputRate) / 11025 + 2;
    EXPECT_LE(between, 4 * reach);
    EXPECT_EQ(samples[samples.size() - 2], 0) << "silent after stop";
}

// Pausing holds the device: once it goes on, every voice takes up at the very sample it had
// reached, as if the pause had never been (the device plays silence meanwhile).
TEST(SdlAudio, PausingHoldsEveryVoiceToTheSample) {
    std::vector<uint8_t> tune(977);
    for (size_t i = 0; i < tune.size(); ++i)
        tune[i] = static_cast<uint8_t>(190 + 40 * std::sin(0.05 * static_cast<double>(i)));
    int outputRate = 0;
    std::vector<int16_t> samples =
        playToFile("sdl_audio_pause.raw", [&](SdlAudio& audio, const std::string& path) {
            outputRate = audio.outputRate();
            int voice = audio.createVoice(tune, 22050);
            audio.play(voice, true);
            waitForOutput(path, 6 * bufferBytes(audio));
            audio.setPaused(true);
            waitForOutput(path, 6 * bufferBytes(audio));
            audio.setPaused(false);
            waitForOutput(path, 6 * bufferBytes(audio));
        });
    if (samples.empty()) GTEST_SKIP() << "SDL has no disk audio driver: " << SDL_GetError();
    // The tune never reaches 0, so what is not silence is the tune.
    std::vector<int16_t> heard;
    size_t gaps = 0;
    for (size_t i = 0; i < samples.size(); i += 2) {
        if (samples[i] != 0)
            heard.push_back(samples[i]);
        else if (!heard.empty() && (i < 2 || samples[i - 2] != 0))
            ++gaps;
    }
    EXPECT_EQ(gaps, 1u) << "one pause between two stretches of sound";
    EXPECT_EQ(heard, mixAlone(tune, 22050, heard.size(), true, outputRate));
}

TEST(SdlAudio, WithoutASoundCardOnlyTheGameSpeaks) {
    ScopedEnv driver("SDL_AUDIODRIVER", "alsa");
    testing::internal::CaptureStderr();
    bool opened = SdlAudio(std::make_shared<SdlLibrary>()).open();
    std::string said = testing::internal::GetCapturedStderr();
    if (opened) GTEST_SKIP() << "this machine has a sound card";
    EXPECT_EQ(said, "") << "ALSA's own complaints reach the terminal";
}

}  // namespace
