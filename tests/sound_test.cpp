#include "sound/sound.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "shell/paths.h"
#include "shell/trace.h"
#include "sound/track_names.h"
#include "support/test_sheets.h"

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
        dir_ = makeTempDir("sound");
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

    void writeSound(std::string gameName, const std::vector<uint8_t>& bytes) {
        gameName[1] = '/';
        writeFileBytes((dir_ / gameName).string(), bytes);
    }

    void openDevice() { ASSERT_EQ(initSound(&audio_, 8, 22050), 0); }

    std::string tracePath() const { return (dir_ / "trace.jsonl").string(); }

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

// Three samples on voices 0, 1 and 2, for the queue of delayed sounds.
class DelayedSoundTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        for (const char* name : {"s\\a.raw", "s\\b.raw", "s\\c.raw"}) writeSound(name, {1});
        openDevice();
        a = std::make_unique<SoundSample>("s\\a.raw", 22050, 8, 1);
        b = std::make_unique<SoundSample>("s\\b.raw", 22050, 8, 1);
        c = std::make_unique<SoundSample>("s\\c.raw", 22050, 8, 1);
    }
    void TearDown() override {
        a.reset();
        b.reset();
        c.reset();
        SoundTest::TearDown();
    }
    std::unique_ptr<SoundSample> a, b, c;
};

std::string readFile(const std::string& path) {
    const std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST_F(SoundTest, WholeFileAndOperationsReachTheDeviceTracedWithTheFrequencyInEffect) {
    writeSound("s\\coming.raw", {0x80, 0x10, 0xF0});  // odd length
    openDevice();
    ASSERT_TRUE(openTrace(tracePath().c_str()));
    setTraceFrame(4);
    SoundSample sample("s\\coming.raw", 22050, 8, 1);
    EXPECT_TRUE(sample.isLoaded());
    ASSERT_EQ(audio_.voices().size(), 1u);
    EXPECT_EQ(audio_.voices()[0].samples, (std::vector<uint8_t>{0x80, 0x10, 0xF0}));
    EXPECT_EQ(audio_.voices()[0].rate, 22050);
    sample.play();
    sample.play();  // a sounding sample restarts: the device is simply told to play again
    EXPECT_EQ(sample.setFrequency(8000), 22050);
    sample.playAtFrequency(44100);
    sample.playLooped();
    sample.stop();
    closeTrace();
    const auto& e = audio_.events();
    ASSERT_EQ(e.size(), 7u);
    Op ops[] = {Op::play, Op::play, Op::frequency, Op::frequency, Op::play, Op::loop, Op::stop};
    for (size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i].op, ops[i]) << i;
    EXPECT_EQ(e[2].hz, 8000);
    EXPECT_EQ(e[3].hz, 44100);
    EXPECT_EQ(sample.frequency(), 44100);
    std::string want;
    const std::pair<const char*, int> traced[] = {
        {"play", 22050}, {"play", 22050}, {"play", 44100}, {"loop", 44100}, {"stop", 44100}};
    for (auto [op, hz] : traced)
        want += "{\"frame\":4,\"event\":\"sound\",\"op\":\"" + std::string(op) +
                "\",\"file\":\"s\\\\coming.raw\",\"hz\":" + std::to_string(hz) + "}\n";
    EXPECT_EQ(readFile(tracePath()), want);
}

TEST_F(SoundTest, WithoutADeviceEverythingIsSilentButFrequencyIsKept) {
    writeSound("s\\a.raw", {1, 2});
    audio_.setOpenSucceeds(false);
    testing::internal::CaptureStderr();
    EXPECT_NE(initSound(&audio_, 8, 22050), 0);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("sound"), std::string::npos);
    EXPECT_FALSE(soundEnabled);

    ASSERT_TRUE(openTrace(tracePath().c_str()));
    SoundSample sample("s\\a.raw", 11025, 8, 1);
    SoundSample missing("s\\not-there.raw", 11025, 8, 1);  // never opened without a device
    EXPECT_FALSE(sample.isLoaded());
    sample.play();
    sample.playLooped();
    sample.stop();
    EXPECT_EQ(sample.setFrequency(9000), 11025);
    sample.playAtFrequency(5000);
    EXPECT_EQ(sample.setFrequency(7000), 5000);
    sample.playDelayed(1);
    EXPECT_EQ(delayedSoundCount(), 1);
    tickDelayedSounds();
    EXPECT_EQ(delayedSoundCount(), 0);
    closeTrace();
    EXPECT_TRUE(audio_.events().empty());
    EXPECT_TRUE(audio_.voices().empty());
    EXPECT_EQ(readFile(tracePath()), "") << "nothing sounds, so nothing is traced";
}

TEST_F(SoundTest, AnEmptyFileStaysSilentWithOneLine) {
    writeSound("s\\empty.raw", {});
    openDevice();
    testing::internal::CaptureStderr();
    SoundSample empty("s\\empty.raw", 22050, 8, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "parapet: sound file " +
                                                          (dir_ / "s" / "empty.raw").string() +
                                                          " is empty; it stays silent\n");
    EXPECT_FALSE(empty.isLoaded());
    empty.play();
    EXPECT_TRUE(audio_.voices().empty() && audio_.events().empty());
}

// A sound file the game cannot use means a broken installation: the start-up ends naming the
// file, the data directory and the real reason. A file far larger than any of the game's
// sounds is refused before it is read.
TEST_F(SoundTest, AFileThatCannotBeUsedEndsTheRunSayingWhy) {
    fs::create_directories(dir_ / "m" / "folder.raw");
    ASSERT_EQ(::mkfifo((dir_ / "m" / "pipe.raw").c_str(), 0644), 0);
    fs::create_symlink("/proc/self/mem", dir_ / "m" / "ioerror.raw");
    writeSound("m\\huge.raw", {});
    fs::resize_file(dir_ / "m" / "huge.raw", maxSoundFileBytes + 1);  // sparse: costs no disk
    const std::pair<const char*, std::string> cases[] = {
        {"m\\mus03.raw", "is missing"},
        {"m\\folder.raw", "cannot be read: it is a directory"},
        {"m\\pipe.raw", "cannot be read: it is not a regular file"},
        {"m\\ioerror.raw", "cannot be read: Input/output error"},
        {"m\\huge.raw", "is larger than 16 MiB"},
    };
    openDevice();
    for (const auto& [name, reason] : cases)
        EXPECT_EXIT(SoundSample(name, 22050, 8, 1), testing::ExitedWithCode(1),
                    reason + ".*data directory " + dir_.string())
            << name;
}

TEST_F(DelayedSoundTest, DueEntriesPlayInSlotOrderAndASampleMayWaitTwice) {
    c->playDelayed(3);  // slot 0
    a->playDelayed(2);  // slot 1
    b->playDelayed(3);  // slot 2
    a->playDelayed(3);  // slot 3
    b->playDelayed(1);  // slot 4
    EXPECT_TRUE(playedVoices().empty());
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{1}));
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{1, 0}));
    tickDelayedSounds();
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{1, 0, 2, 1, 0}));
    EXPECT_EQ(delayedSoundCount(), 0);
}

TEST_F(DelayedSoundTest, FreedSlotInTheMiddleIsFilledNext) {
    a->playDelayed(9);  // slot 0
    b->playDelayed(1);  // slot 1, free again after the first tick
    c->playDelayed(3);  // slot 2
    tickDelayedSounds();
    ASSERT_EQ(playedVoices(), (std::vector<int>{1}));
    ASSERT_EQ(delayedSoundCount(), 2);
    // Into slot 1, so it plays ahead of c when both fall due at the same tick.
    b->playDelayed(2);
    tickDelayedSounds();
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(delayedSoundCount(), 1);
}

TEST_F(DelayedSoundTest, QueueHoldsSixtyFourAndDropsTheSixtyFifth) {
    for (int i = 0; i < 64; ++i) a->playDelayed(2);
    b->playDelayed(1);  // dropped
    EXPECT_EQ(delayedSoundCount(), 64);
    tickDelayedSounds();
    EXPECT_TRUE(playedVoices().empty()) << "the dropped sound never plays";
    tickDelayedSounds();
    EXPECT_EQ(playedVoices(), std::vector<int>(64, 0));
    EXPECT_EQ(delayedSoundCount(), 0);
}

TEST(TrackNames, TheNumberRunsUpWithItsCarry) {
    char name[12] = "m\\mus08.raw";
    for (const char* next : {"m\\mus09.raw", "m\\mus10.raw", "m\\mus11.raw"}) {
        advanceTrackName(name);
        EXPECT_STREQ(name, next);
    }
}

TEST_F(SoundTest, GameSoundsLoadInOrderWithTheirRatesAndVolumes) {
    for (const EffectFile& e : effectFiles) writeSound(e.file, {0x80});
    for (int i = 1; i <= 8; ++i) writeSound("m\\mus0" + std::to_string(i) + ".raw", {0x80, 0x81});
    openDevice();
    loadSounds();
    ASSERT_EQ(audio_.voices().size(), 28u);
    for (int i = 0; i < effectCount; ++i) {
        ASSERT_NE(effects[i], nullptr);
        EXPECT_EQ(audio_.voices()[static_cast<size_t>(i)].rate, effectFiles[i].rate)
            << effectFiles[i].file;
        EXPECT_EQ(effect(effectFiles[i].file), effects[i]);
    }
    for (int i = 0; i < musicTrackCount; ++i) {
        ASSERT_NE(musicTrack[i], nullptr);
        EXPECT_EQ(std::string(musicTrack[i]->name()), "m\\mus0" + std::to_string(i + 1) + ".raw");
        EXPECT_EQ(musicTrack[i]->frequency(), 22050);
    }
    EXPECT_EQ(effect("s\\nothing.raw"), nullptr);
    EXPECT_EQ(effect("S\\SPLAT3.RAW"), nullptr) << "names are exact";

    // Volumes set music and effects apart, clamped, and reach samples loaded later.
    auto volumes = [&] {
        std::vector<int> music, sfx;
        for (SoundSample* s : musicTrack) music.push_back(audio_.voices()[s->voice()].volume);
        for (SoundSample* s : effects) sfx.push_back(audio_.voices()[s->voice()].volume);
        return std::pair{music, sfx};
    };
    struct Case {
        int music, effects, wantMusic, wantEffects;
    };
    for (Case c : {Case{40, 70, 40, 70}, Case{150, -3, 100, 0}, Case{100, 100, 100, 100}}) {
        setSoundVolumes(c.music, c.effects);
        auto [music, sfx] = volumes();
        EXPECT_EQ(music, std::vector<int>(musicTrackCount, c.wantMusic)) << c.music;
        EXPECT_EQ(sfx, std::vector<int>(effectCount, c.wantEffects)) << c.effects;
    }
    setSoundVolumes(30, 60);
    SoundSample lateTrack("m\\mus01.raw", 22050, 8, 1), lateEffect("s\\oof.raw", 11025, 8, 1);
    EXPECT_EQ(audio_.voices()[lateTrack.voice()].volume, 30);
    EXPECT_EQ(audio_.voices()[lateEffect.voice()].volume, 60);
    setSoundVolumes(100, 100);
    for (SoundSample*& s : effects) delete std::exchange(s, nullptr);
    for (SoundSample*& s : musicTrack) delete std::exchange(s, nullptr);
}
