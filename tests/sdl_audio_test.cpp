#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// SDL's "disk" audio driver writes what the device would play to a file, so the whole path
// from a voice to the device's bytes is checked without a sound card.
namespace {

struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : name(name) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { unsetenv(name); }
    const char* name;
};

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

std::vector<int16_t> readSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // little-endian like us
    return samples;
}

TEST(SdlAudio, VoicesReachTheDeviceAsSixteenBitStereo) {
    std::string path = testing::TempDir() + "sdl_audio_test.raw";
    std::remove(path.c_str());
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", path);
    ScopedEnv delay("SDL_DISKAUDIODELAY", "2");
    {
        SdlAudio audio(std::make_shared<SdlLibrary>());
        if (!audio.open()) GTEST_SKIP() << "SDL has no disk audio driver: " << SDL_GetError();
        EXPECT_TRUE(audio.outputRate() == 44100 || audio.outputRate() == 48000)
            << audio.outputRate();
        EXPECT_GE(audio.bufferFrames(), 512);
        EXPECT_LE(audio.bufferFrames(), 1024);

        std::vector<uint8_t> loud(1000, 200);
        int voice = audio.createVoice(loud.data(), loud.size(), 22050);
        ASSERT_GE(voice, 0);
        const uintmax_t buffer = audio.bufferFrames() * 2 * sizeof(int16_t);
        audio.play(voice, true);
        waitForOutput(path, 4 * buffer);
        audio.stop(voice);
        // A second voice at half volume, retuned on the way: its rendering is made outside
        // the device lock and must still arrive whole.
        int half = audio.createVoice(loud.data(), loud.size(), 11025);
        audio.setVolume(half, 50);
        audio.setFrequency(half, 16000);
        audio.play(half, true);
        waitForOutput(path, 4 * buffer);
        audio.stop(half);
        waitForOutput(path, 4 * buffer);
    }
    std::vector<int16_t> samples = readSamples(path);
    std::remove(path.c_str());
    ASSERT_GE(samples.size(), 2048u);
    const int16_t level = (200 - 128) * 256;
    size_t loudFrames = 0, halfFrames = 0;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        ASSERT_EQ(samples[i], samples[i + 1]) << "frame " << i / 2 << ": both channels alike";
        ASSERT_TRUE(samples[i] == 0 || samples[i] == level || samples[i] == level / 2)
            << "frame " << i / 2;
        if (samples[i] == level) ++loudFrames;
        if (samples[i] == level / 2) ++halfFrames;
    }
    EXPECT_GT(loudFrames, 512u);
    EXPECT_GT(halfFrames, 512u);
    EXPECT_EQ(samples[samples.size() - 2], 0) << "silent after stop";
}

TEST(SdlAudio, WithoutADeviceOpenFailsAndVoicesStayHarmless) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    SdlAudio audio(std::make_shared<SdlLibrary>());
    EXPECT_FALSE(audio.open());
    std::vector<uint8_t> samples(100, 128);
    int voice = audio.createVoice(samples.data(), samples.size(), 11025);
    EXPECT_GE(voice, 0);
    audio.play(voice, false);
    audio.setFrequency(voice, 22050);
    audio.stop(voice);
    EXPECT_EQ(audio.createVoice(samples.data(), samples.size(), 0), -1);
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
