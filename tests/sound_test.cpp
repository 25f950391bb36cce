#include "sound/sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "shell/paths.h"
#include "shell/trace.h"
#include "sound/track_names.h"

namespace fs = std::filesystem;

namespace {

using Op = RecordingAudio::Op;

// A data directory of its own with tiny recordings, and a clean sound state.
class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        closeSound();
        clearDelayedSounds();
        closeTrace();
        dir_ = fs::path(testing::TempDir()) /
               ("sound_" + std::to_string(getpid()) + "_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "s");
        fs::create_directories(dir_ / "m");
        savedPaths_ = paths();
        paths().dataDir = dir_.string();
    }
    void TearDown() override {
        clearDelayedSounds();
        closeSound();
        closeTrace();
        paths() = savedPaths_;
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void writeSound(const std::string& gameName, const std::vector<uint8_t>& bytes) {
        std::string relative = gameName;
        relative[1] = '/';
        std::ofstream out(dir_ / relative, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    void openDevice() { ASSERT_EQ(initSound(&audio_, 8, 22050), 0); }

    // Voices in the order their play events were recorded.
    std::vector<int> playedVoices() const {
        std::vector<int> voices;
        for (const auto& e : audio_.events())
            if (e.op == Op::play) voices.push_back(e.voice);
        return voices;
    }

    fs::path dir_;
    Paths savedPaths_;
    RecordingAudio audio_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

TEST_F(SoundTest, SampleHoldsTheWholeFileAtItsRate) {
    writeSound("s\\odd.raw", {0x80, 0x10, 0xF0});  // odd length
    openDevice();
    SoundSample sample("s\\odd.raw", 11025, 8, 1);
    EXPECT_TRUE(sample.isLoaded());
    ASSERT_EQ(audio_.voices().size(), 1u);
    EXPECT_EQ(audio_.voices()[0].samples, (std::vector<uint8_t>{0x80, 0x10, 0xF0}));
    EXPECT_EQ(audio_.voices()[0].rate, 11025);
    EXPECT_EQ(sample.frequency(), 11025);
}

TEST_F(SoundTest, OperationsReachTheDevice) {
    writeSound("s\\a.raw", {1, 2});
    openDevice();
    SoundSample sample("s\\a.raw", 22050, 8, 1);
    sample.play();
    sample.play();  // a sounding sample restarts: the device is simply told to play again
    sample.playLooped();
    sample.stop();
    EXPECT_EQ(sample.setFrequency(8000), 22050);
    sample.playAtFrequency(44100);
    const auto& e = audio_.events();
    ASSERT_EQ(e.size(), 7u);
    Op ops[] = {Op::play, Op::play, Op::loop, Op::stop, Op::frequency, Op::frequency, Op::play};
    for (size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i].op, ops[i]) << i;
    EXPECT_EQ(e[4].hz, 8000);
    EXPECT_EQ(e[5].hz, 44100);
    EXPECT_EQ(sample.frequency(), 44100);
}

TEST_F(SoundTest, WithoutADeviceEverythingIsSilentButFrequencyIsKept) {
    writeSound("s\\a.raw", {1, 2});
    audio_.setOpenSucceeds(false);
    testing::internal::CaptureStderr();
    EXPECT_NE(initSound(&audio_, 8, 22050), 0);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("sound"), std::string::npos);
    EXPECT_FALSE(soundEnabled);

    std::string tracePath = (dir_ / "trace.jsonl").string();
    ASSERT_TRUE(openTrace(tracePath.c_str()));
    SoundSample sample("s\\a.raw", 11025, 8, 1);
    SoundSample missing("s\\not-there.raw", 11025, 8, 1);  // never opened without a device
    EXPECT_FALSE(sample.isLoaded());
    sample.play();
    sample.playLooped();
    sample.stop();
    EXPECT_EQ(sample.setFrequency(9000), 11025);
    EXPECT_EQ(sample.setFrequency(7000), 9000);
    sample.playAtFrequency(5000);
    EXPECT_EQ(sample.frequency(), 5000);
    sample.playDelayed(1);
    EXPECT_EQ(delayedSoundCount(), 1);
    tickDelayedSounds();
    EXPECT_EQ(delayedSoundCount(), 0);
    closeTrace();
    EXPECT_TRUE(audio_.events().empty());
    EXPECT_TRUE(audio_.voices().empty());
    EXPECT_EQ(readFile(tracePath), "") << "nothing sounds, so nothing is traced";
}

TEST_F(SoundTest, PlaysLoopsAndStopsAreTracedWithTheFrequencyInEffect) {
    writeSound("s\\coming.raw", {1});
    openDevice();
    std::string tracePath = (dir_ / "trace.jsonl").string();
    ASSERT_TRUE(openTrace(tracePath.c_str()));
    setTraceFrame(4);
    SoundSample sample("s\\coming.raw", 22050, 8, 1);
    sample.play();
    sample.playAtFrequency(44100);
    sample.playLooped();
    sample.stop();
    closeTrace();
    EXPECT_EQ(readFile(tracePath),
              "{\"frame\":4,\"event\":\"sound\",\"op\":\"play\",\"file\":\"s\\\\coming.raw\","
              "\"hz\":22050}\n"
              "{\"frame\":4,\"event\":\"sound\",\"op\":\"play\",\"file\":\"s\\\\coming.raw\","
              "\"hz\":44100}\n"
              "{\"frame\":4,\"event\":\"sound\",\"op\":\"loop\",\"file\":\"s\\\\coming.raw\","
              "\"hz\":44100}\n"
              "{\"frame\":4,\"event\":\"sound\",\"op\":\"stop\",\"file\":\"s\\\\coming.raw\","
              "\"hz\":44100}\n");
}

TEST_F(SoundTest, EmptyOrUnreadableFileStaysSilentWithOneLine) {
    writeSound("s\\empty.raw", {});
    fs::create_directories(dir_ / "s" / "folder.raw");  // opens, but cannot be read
    openDevice();
    testing::internal::CaptureStderr();
    SoundSample empty("s\\empty.raw", 22050, 8, 1);
    SoundSample folder("s\\folder.raw", 22050, 8, 1);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(empty.isLoaded());
    EXPECT_FALSE(folder.isLoaded());
    EXPECT_NE(message.find("empty.raw"), std::string::npos) << message;
    EXPECT_NE(message.find("folder.raw"), std::string::npos) << message;
    EXPECT_TRUE(audio_.voices().empty());
    empty.play();
    folder.stop();
    EXPECT_TRUE(audio_.events().empty());
}

TEST_F(SoundTest, MissingFileWithADeviceEndsTheRunNamingFileAndDataDirectory) {
    openDevice();
    std::string dataDir = dir_.string();
    EXPECT_EXIT(SoundSample("m\\mus03.raw", 22050, 8, 1), testing::ExitedWithCode(1),
                "mus03.raw.*" + dataDir);
}

TEST_F(SoundTest, DelayOfOnePlaysOnTheNextTick) {
    writeSound("s\\a.raw", {1});
    openDevice();
    SoundSample a("s\\a.raw", 22050, 8, 1);
    a.playDelayed(1);
    EXPECT_TRUE(playedVoices().empty());
    tickDelayedSounds();
    EXPECT_EQ(playedVoices().size(), 1u);
    tickDelayedSounds();
    EXPECT_EQ(playedVoices().size(), 1u);
}

TEST_F(SoundTest, DueEntriesPlayInSlotOrderAndASampleMayWaitTwice) {
    writeSound("s\\a.raw", {1});
    writeSound("s\\b.raw", {2});
    writeSound("s\\c.raw", {3});
    openDevice();
    SoundSample a("s\\a.raw", 22050, 8, 1);  // voice 0
    SoundSample b("s\\b.raw", 22050, 8, 1);  // voice 1
    SoundSample c("s\\c.raw", 22050, 8, 1);  // voice 2
    c.playDelayed(3);                        // slot 0
    a.playDelayed(2);                        // slot 1
    b.playDelayed(3);                        // slot 2
    a.playDelayed(3);                        // slot 3
    tickDelayedSounds();
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{0}));
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{0, 2, 1, 0}));
    EXPECT_EQ(delayedSoundCount(), 0);
}

TEST_F(SoundTest, FreedSlotInTheMiddleIsFilledNext) {
    writeSound("s\\a.raw", {1});
    writeSound("s\\b.raw", {2});
    writeSound("s\\c.raw", {3});
    openDevice();
    SoundSample a("s\\a.raw", 22050, 8, 1);  // voice 0
    SoundSample b("s\\b.raw", 22050, 8, 1);  // voice 1
    SoundSample c("s\\c.raw", 22050, 8, 1);  // voice 2
    a.playDelayed(9);                        // slot 0
    b.playDelayed(1);                        // slot 1, free again after the first tick
    c.playDelayed(3);                        // slot 2
    tickDelayedSounds();
    ASSERT_EQ(playedVoices(), (std::vector<int>{1}));
    ASSERT_EQ(delayedSoundCount(), 2);
    // Into slot 1, so it plays ahead of c when both fall due at the same tick.
    b.playDelayed(2);
    tickDelayedSounds();
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(delayedSoundCount(), 1);
}

TEST_F(SoundTest, QueueHoldsSixtyFourAndDropsTheSixtyFifth) {
    writeSound("s\\a.raw", {1});
    writeSound("s\\b.raw", {2});
    openDevice();
    SoundSample a("s\\a.raw", 22050, 8, 1);
    SoundSample b("s\\b.raw", 22050, 8, 1);
    for (int i = 0; i < 64; ++i) a.playDelayed(2);
    b.playDelayed(1);  // dropped
    EXPECT_EQ(delayedSoundCount(), 64);
    tickDelayedSounds();
    EXPECT_TRUE(playedVoices().empty()) << "the dropped sound never plays";
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), std::vector<int>(64, 0));
    EXPECT_EQ(delayedSoundCount(), 0);
}

TEST(TrackNames, TheNumberRunsUpWithItsCarry) {
    char name[12] = "m\\mus01.raw";
    std::vector<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        seen.push_back(name);
        advanceTrackName(name);
    }
    EXPECT_EQ(seen[7], "m\\mus08.raw");
    EXPECT_EQ(seen[8], "m\\mus09.raw");
    EXPECT_EQ(seen[9], "m\\mus10.raw");
    EXPECT_EQ(seen[19], "m\\mus20.raw");
}

TEST_F(SoundTest, GameSoundsLoadInOrderWithTheirRates) {
    for (const EffectFile& e : effectFiles) writeSound(e.file, {0x80});
    for (int i = 1; i <= 8; ++i) writeSound("m\\mus0" + std::to_string(i) + ".raw", {0x80, 0x81});
    openDevice();
    loadSounds();
    ASSERT_EQ(audio_.voices().size(), 28u);
    const int rates[effectCount] = {11025, 22050, 11025, 11025, 11025, 11025, 11025,
                                    8000,  8000,  7500,  11025, 22050, 22050, 22050,
                                    22050, 22050, 22050, 22050, 22050, 22050};
    for (int i = 0; i < effectCount; ++i) {
        ASSERT_NE(effects[i], nullptr);
        EXPECT_EQ(audio_.voices()[static_cast<size_t>(i)].rate, rates[i]) << effectFiles[i].file;
        EXPECT_EQ(effect(effectFiles[i].file), effects[i]);
    }
    EXPECT_STREQ(effects[0]->name(), "s\\splat3.raw");
    EXPECT_STREQ(effects[19]->name(), "s\\stahl.raw");
    for (int i = 0; i < musicTrackCount; ++i) {
        ASSERT_NE(musicTrack[i], nullptr);
        EXPECT_EQ(std::string(musicTrack[i]->name()), "m\\mus0" + std::to_string(i + 1) + ".raw");
        EXPECT_EQ(musicTrack[i]->frequency(), 22050);
        EXPECT_TRUE(musicTrack[i]->isLoaded());
    }
    EXPECT_EQ(effect("s\\nothing.raw"), nullptr);
    EXPECT_EQ(effect("S\\SPLAT3.RAW"), nullptr) << "names are exact";
}
