#include "sound/sound.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/trace.h"
#include "catalog/sound_files.h"
#include "platform/headless/headless_platform.h"
#include "program/event_output.h"
#include "support/files.h"
#include "support/test_sheets.h"
#include "world/world.h"

namespace fs = std::filesystem;

namespace {

using Op = RecordingAudio::Op;

// A data directory of its own with tiny recordings, a clean sound state, and a fresh world
// whose sound events (what it asks the shell to play, in order) the test collects.
class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        closeSound();
        closeTrace();
        dir_ = makeTempDir("sound");
        fs::create_directories(dir_ / "s");
        fs::create_directories(dir_ / "m");
        paths().dataDir = dir_.string();
        clearWorld();
        theEvents = &events;
    }
    void TearDown() override {
        theEvents = nullptr;
        closeSound();
        closeTrace();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void writeSound(std::string gameName, const std::vector<uint8_t>& bytes) {
        gameName[1] = '/';
        writeFileBytes((dir_ / gameName).string(), bytes);
    }

    void openDevice() { ASSERT_EQ(initSound(&audio_, 8, 22050), 0); }

    std::string tracePath() const { return (dir_ / "trace.jsonl").string(); }

    // The events so far, sent on as a frame's output sends them.
    void perform() {
        TestEngine t;
        EventOutput(t.engine).perform(events, EventOutput::Writes::nothing, [] {});
    }
    // The sounds played so far.
    std::vector<Sound> played() const {
        std::vector<Sound> out;
        for (const GameEvent& e : events)
            if (e.kind == EventKind::sound && static_cast<SoundOp>(e.a) == SoundOp::play)
                out.push_back(static_cast<Sound>(e.b));
        return out;
    }

    fs::path dir_;
    SavedPaths savedPaths_;
    RecordingAudio audio_;
    std::vector<GameEvent> events;
    static constexpr Sound a = Sound::oof, b = Sound::swish, c = Sound::clang;
};

}  // namespace

// (How the events are traced, pitch included, the stored replay's trace shows.)
TEST_F(SoundTest, EventsReachTheDeviceWithTheFrequencyInEffect) {
    writeSound("s\\coming.raw", {0x80, 0x10, 0xF0});  // odd length
    openDevice();
    playSound(Sound::coming);
    playSound(Sound::coming);  // a sounding sample restarts: the device is told to play again
    setSoundFrequency(Sound::coming, 8000);
    playSoundAt(Sound::coming, 44100);
    loopSound(Sound::coming);
    stopSound(Sound::coming);
    EXPECT_EQ(theSounds.frequency[static_cast<int>(Sound::coming)], 44100);

    releaseSounds();
    soundSamples[static_cast<int>(Sound::coming)] = new SoundSample("s\\coming.raw", 22050, 8, 1);
    ASSERT_EQ(audio_.voices().size(), 1u);
    EXPECT_EQ(audio_.voices()[0].samples, (std::vector<uint8_t>{0x80, 0x10, 0xF0}));
    EXPECT_EQ(audio_.voices()[0].rate, 22050);
    perform();
    releaseSounds();
    const auto& e = audio_.events();
    ASSERT_EQ(e.size(), 7u);
    Op ops[] = {Op::play, Op::play, Op::frequency, Op::frequency, Op::play, Op::loop, Op::stop};
    for (size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i].op, ops[i]) << i;
    EXPECT_EQ(e[2].hz, 8000);
    EXPECT_EQ(e[3].hz, 44100);
}

TEST_F(SoundTest, WithoutADeviceNothingSoundsAndNothingIsTraced) {
    writeSound("s\\a.raw", {1, 2});
    audio_.setOpenSucceeds(false);
    std::string message = stderrOf([&] { EXPECT_NE(initSound(&audio_, 8, 22050), 0); });
    EXPECT_NE(message.find("sound"), std::string::npos);
    EXPECT_FALSE(soundEnabled);

    ASSERT_TRUE(openTrace(tracePath().c_str()));
    SoundSample sample("s\\a.raw", 11025, 8, 1);
    SoundSample missing("s\\not-there.raw", 11025, 8, 1);  // never opened without a device
    EXPECT_FALSE(sample.isLoaded());
    playSound(Sound::oof);
    loopSound(Sound::oof);
    stopSound(Sound::oof);
    perform();
    closeTrace();
    EXPECT_TRUE(audio_.events().empty());
    EXPECT_TRUE(audio_.voices().empty());
    EXPECT_EQ(readText(tracePath()), "") << "nothing sounds, so nothing is traced";
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

// A sound file the game cannot use means a broken installation: the sample says so, naming
// the file, the data directory and the real reason, for the start-up to report. A file far
// larger than any of the game's sounds is refused before it is read.
TEST_F(SoundTest, AFileThatCannotBeUsedSaysWhy) {
    fs::create_directories(dir_ / "m" / "folder.raw");
    ASSERT_EQ(::mkfifo((dir_ / "m" / "pipe.raw").c_str(), 0644), 0);
    fs::create_symlink("/proc/self/mem", dir_ / "m" / "ioerror.raw");
    writeSound("m\\huge.raw", {});
    fs::resize_file(dir_ / "m" / "huge.raw", maxSoundFileBytes + 1);  // sparse: costs no disk
    const std::pair<const char*, std::string> cases[] = {
        {"m\\folder.raw", "cannot be read: it is a directory"},
        {"m\\pipe.raw", "cannot be read: it is not a regular file"},
        {"m\\ioerror.raw", "cannot be read: Input/output error"},
        {"m\\huge.raw", "is larger than 16 MiB"},
    };
    openDevice();
    for (const auto& [name, reason] : cases) {
        SoundSample sample(name, 22050, 8, 1);
        EXPECT_FALSE(sample.isLoaded()) << name;
        EXPECT_THAT(sample.problem(), testing::ContainsRegex(reason + ".*data directory .*" +
                                                             dir_.filename().string()))
            << name;
    }
}

// Due entries play in slot order, and a slot freed in the middle is the next one filled, so
// its sound plays ahead of a later slot's falling due at the same tick.
TEST_F(SoundTest, DueEntriesPlayInSlotOrderAndASoundMayWaitTwice) {
    playSoundDelayed(c, 3);  // slot 0
    playSoundDelayed(a, 2);  // slot 1
    playSoundDelayed(b, 1);  // slot 2
    playSoundDelayed(a, 3);  // slot 3
    tickDelayedSounds();
    EXPECT_EQ(played(), (std::vector<Sound>{b}));
    playSoundDelayed(b, 2);  // into slot 2
    tickDelayedSounds();
    EXPECT_EQ(played(), (std::vector<Sound>{b, a}));
    tickDelayedSounds();
    EXPECT_EQ(played(), (std::vector<Sound>{b, a, c, b, a}));
    EXPECT_EQ(theSounds.queuedCount, 0);
}

TEST_F(SoundTest, QueueHoldsSixtyFourAndDropsTheSixtyFifth) {
    for (int i = 0; i < 64; ++i) playSoundDelayed(a, 2);
    playSoundDelayed(b, 1);  // dropped
    EXPECT_EQ(theSounds.queuedCount, 64);
    tickDelayedSounds();
    EXPECT_TRUE(played().empty()) << "the dropped sound never plays";
    tickDelayedSounds();
    EXPECT_EQ(played(), std::vector<Sound>(64, a));
    EXPECT_EQ(theSounds.queuedCount, 0);
}

TEST_F(SoundTest, APitchOnceSetStaysForLaterPlaysAndAFreshWorldStartsAtTheRecordedRate) {
    playSoundAt(Sound::splat, 12479);
    playSound(Sound::splat);
    EXPECT_EQ(events.back().c, 12479);
    clearWorld();
    for (int i = 0; i < soundCount; ++i)
        EXPECT_EQ(theSounds.frequency[i], soundFile(soundAt(i)).rate) << soundFile(soundAt(i)).file;
}

TEST_F(SoundTest, GameSoundsLoadInOrderWithTheirRatesAndVolumes) {
    for (int i = 0; i < soundCount; ++i) writeSound(soundFile(soundAt(i)).file, {0x80, 0x81});
    openDevice();
    loadSounds();
    ASSERT_EQ(audio_.voices().size(), size_t{soundCount});
    for (int i = 0; i < soundCount; ++i) {
        ASSERT_NE(soundSamples[i], nullptr);
        EXPECT_EQ(audio_.voices()[static_cast<size_t>(i)].rate, soundFile(soundAt(i)).rate)
            << soundFile(soundAt(i)).file;
    }

    // Volumes set music and effects apart, clamped, and reach samples loaded later.
    struct Case {
        int music, effects, wantMusic, wantEffects;
    };
    for (Case v : {Case{40, 70, 40, 70}, Case{150, -3, 100, 0}, Case{100, 100, 100, 100}}) {
        setSoundVolumes(v.music, v.effects);
        for (int i = 0; i < soundCount; ++i)
            EXPECT_EQ(audio_.voices()[soundSamples[i]->voice()].volume,
                      isMusic(soundAt(i)) ? v.wantMusic : v.wantEffects)
                << soundFile(soundAt(i)).file << " at " << v.music << "% and " << v.effects << "%";
    }
    setSoundVolumes(30, 60);
    SoundSample lateTrack("m\\mus01.raw", 22050, 8, 1), lateEffect("s\\oof.raw", 11025, 8, 1);
    EXPECT_EQ(audio_.voices()[lateTrack.voice()].volume, 30);
    EXPECT_EQ(audio_.voices()[lateEffect.voice()].volume, 60);
    setSoundVolumes(100, 100);
    releaseSounds();
}
