// The generated sound effects and music as the game loads and mixes them: what it loads must
// exist, fit its use, be audible, never distort or click, loop cleanly where it loops, and,
// like the pictures, come out the same from every run and every build of the generator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "catalog/sound_files.h"
#include "platform/mixer.h"
#include "support/screen_run.h"
#include "support/signal_analysis.h"
#include "support/test_sheets.h"

namespace fs = std::filesystem;

namespace {

using Pcm = std::vector<uint8_t>;

// A sound's recording ("s\\oof.raw") in the data directory `dir`.
Pcm dataFile(Sound sound, const fs::path& dir = PARAPET_DATA_DIR) {
    std::string name = soundFile(sound).file;
    std::replace(name.begin(), name.end(), '\\', '/');
    return readFileBytes((dir / name).string());
}
std::string nameOf(Sound sound) { return soundFile(sound).file; }

// Length limits follow from how the game uses each effect: the title plays "chancefor" three
// seconds after "vorlantide", so the first line must be over by then; the click repeats on
// every key press; a chainsaw cut is queued once per 18-20 frame stroke. Music loops for a
// whole level.
struct Length {
    double minSeconds, maxSeconds;
};
const Length kLengths[effectCount] = {
    {0.15, 0.8},  {0.8, 3.0}, {0.3, 1.5}, {0.1, 0.8}, {0.8, 3.0}, {0.3, 3.0}, {0.2, 0.8},
    {0.2, 1.5},   {0.8, 4.0}, {1.0, 5.0}, {1.0, 5.0}, {0.5, 3.0}, {0.3, 2.9}, {0.5, 3.0},
    {0.03, 0.25}, {0.4, 2.0}, {0.4, 2.0}, {0.3, 1.5}, {0.1, 0.8}, {0.4, 2.5},
};

int centred(uint8_t v) { return static_cast<int>(v) - 128; }

double rmsOf(const Pcm& p, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, p.size());
    if (to <= from) return 0;
    double s = 0;
    for (size_t i = from; i < to; ++i) s += centred(p[i]) * centred(p[i]);
    return std::sqrt(s / static_cast<double>(to - from)) / 128.0;
}

// Longest run of samples pinned at either rail: a flat top longer than a few samples is
// audible as distortion.
size_t longestClip(const Pcm& p) {
    size_t best = 0, run = 0;
    for (uint8_t v : p) {
        run = (v == 0 || v == 255) ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

// The q-th quantile of the first or second differences over the recording: what counts as an
// ordinary step for this sound.
double stepQuantile(const Pcm& p, int order, double q) {
    std::vector<int> d;
    for (size_t i = 2; i < p.size(); ++i) {
        int a = centred(p[i]), b = centred(p[i - 1]), c = centred(p[i - 2]);
        d.push_back(order == 1 ? std::abs(a - b) : std::abs(a - 2 * b + c));
    }
    std::sort(d.begin(), d.end());
    return d.empty() ? 0 : d[static_cast<size_t>(q * (d.size() - 1))];
}

constexpr int deviceRate = 48000;  // what mixAlone plays at

// The music starts and stops anywhere and loops for a whole level; the chainsaw idles in a
// loop.
TEST(SoundFiles, EverySoundFitsItsUseIsAudibleNeverClipsAndLoopsWithoutAJump) {
    std::vector<double> levels;  // the effects'
    for (int i = 0; i < soundCount; ++i) {
        const Sound sound = soundAt(i);
        SCOPED_TRACE(nameOf(sound));
        const Pcm p = dataFile(sound);
        ASSERT_GE(p.size(), 2u);
        const size_t n = p.size();
        const int rate = soundFile(sound).rate;
        const Length length = isMusic(sound) ? Length{40.0, 90.0} : kLengths[i];
        EXPECT_GE(static_cast<double>(n) / rate, length.minSeconds);
        EXPECT_LE(static_cast<double>(n) / rate, length.maxSeconds);
        const double level = rmsOf(p);
        EXPECT_LT(level, 0.5) << "a level this high leaves no room for the mix";
        EXPECT_LE(longestClip(p), 3u);
        EXPECT_LE(
            size_t(std::count_if(p.begin(), p.end(), [](uint8_t v) { return v == 0 || v == 255; })),
            n / 1000);
        // The chainsaw's idle sits under the music on purpose (below).
        const bool idle = sound == Sound::chainsawLoop, music = isMusic(sound);
        if (!music) levels.push_back(idle ? 0.0 : level);
        if (!music && !idle) {
            EXPECT_GE(level, 0.08) << "too quiet to hear over the music";
            // The game restarts and stops samples at any moment; a one-shot that begins or
            // ends away from the centre line clicks every time.
            EXPECT_LE(std::abs(centred(p.front())), 2);
            EXPECT_LE(std::abs(centred(p.back())), 2);
            continue;
        }
        // A broken loop clicks: its join is a step or a kink bigger than nearly every
        // other one in the sound. (The engine's own firing edges are big, and many.)
        EXPECT_LE(std::abs(centred(p[0]) - centred(p[n - 1])),
                  std::max(2.0, stepQuantile(p, 1, 0.999)));
        EXPECT_LE(std::abs(centred(p[0]) - 2 * centred(p[n - 1]) + centred(p[n - 2])),
                  std::max(2.0, stepQuantile(p, 2, 0.999)));
        if (idle) continue;
        // Every four-second stretch has music in it: no section dropped out, no tail of
        // silence before the loop comes round; and no two-second stretch sits off the middle.
        EXPECT_GT(level, 0.05);
        for (size_t from = 0; from + 4 * rate <= n; from += 4 * rate)
            EXPECT_GT(rmsOf(p, from, from + 4 * rate), level / 4.0)
                << "quiet stretch at " << from / rate << " s";
        for (size_t from = 0; from + 2 * rate <= n; from += rate) {
            double sum = 0;
            for (size_t k = from; k < from + 2 * rate; ++k) sum += p[k];
            ASSERT_NEAR(sum / (2 * rate), 128.0, 1.0) << "off the middle at " << from / rate;
        }
    }
    // No effect may drown the others or vanish among them: all levels within about 12 dB.
    double loudest = *std::max_element(levels.begin(), levels.end());
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i] > 0) {
            EXPECT_GT(levels[i], loudest / 4.0) << nameOf(soundAt(int(i)));
        }
}

// Uncorrelated openings mean no two levels share a tune by mistake.
TEST(SoundFiles, MusicTracksAreEightDifferentTunes) {
    std::vector<Pcm> openings;
    for (int i = 0; i < musicTrackCount; ++i) {
        openings.push_back(dataFile(musicTrackSound(i)));
        openings.back().resize(10 * 22050, 128);
    }
    for (int a = 0; a < musicTrackCount; ++a)
        for (int b = a + 1; b < musicTrackCount; ++b) {
            double num = 0, a2 = 0, b2 = 0;
            for (size_t i = 0; i < openings[a].size(); ++i) {
                const int x = centred(openings[a][i]), y = centred(openings[b][i]);
                num += x * y, a2 += x * x, b2 += y * y;
            }
            EXPECT_LT(std::fabs(num / std::sqrt(a2 * b2 + 1e-9)), 0.5)
                << nameOf(musicTrackSound(a)) << " vs " << nameOf(musicTrackSound(b));
        }
}

// Once called, the chainsaw idles for the rest of the level under whichever track it has.
TEST(GameSoundMix, TheChainsawIdlesAtLeastSixDecibelsUnderEveryTrack) {
    const SoundFile& saw = soundFile(Sound::chainsawLoop);
    const double sawDb =
        rmsDb(mixAlone(dataFile(Sound::chainsawLoop), saw.rate, 5 * deviceRate, true));
    for (int track = 0; track < musicTrackCount; ++track) {
        const SoundFile& music = soundFile(musicTrackSound(track));
        Pcm pcm = dataFile(musicTrackSound(track));
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
        Pcm pcm = dataFile(soundAt(i));
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

// The stored replay's sound events (several games in a row with hits, screams, smart bombs,
// the chainsaw and the music) mixed as a player hears them.
TEST(GameSoundMix, ABusyGameNeverReachesFullScale) {
    std::vector<screen_run::Event> trace = screen_run::parseTrace(
        readText(std::string(PARAPET_SOURCE_DIR) + "/tests/data/replay_trace.jsonl"));
    ASSERT_FALSE(trace.empty());
    const int lastFrame = trace.back().frame();
    ASSERT_GT(lastFrame, 60 * 30) << "at least a minute of play";

    constexpr size_t framePeriod = deviceRate * 33 / 1000;  // the game's 33 ms frame
    Mixer mixer(deviceRate);
    std::map<std::string, int> voices;  // by file name, as the trace names them
    for (int i = 0; i < soundCount; ++i)
        voices[nameOf(soundAt(i))] =
            mixer.addVoice(dataFile(soundAt(i)), soundFile(soundAt(i)).rate);
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
        for (int16_t value : mixLeft(mixer, framePeriod)) {
            loudest = std::max(loudest, std::abs(int{value}));
            if (std::abs(int{value}) > Mixer::limiterKnee) ++limited;
        }
    }
    std::printf("busy game: loudest sample %d of 32767, %zu samples above the limiter's knee\n",
                loudest, limited);  // of the left channel; the right is the same
    EXPECT_LT(loudest, 32767);
    EXPECT_GT(limited, 0u) << "the game should be loud enough to reach the limiter at times";
}

// Recordings and network games compare a hash of the data, so no compiler, optimisation,
// processor or stray memory may change a byte of it. The second run is therefore assetgen
// as the machine's other compiler builds it without optimisation (the build makes it
// everywhere but in the sanitizer build), on glibc's maths routines for processors without
// FMA or AVX2, with every fresh allocation filled with a pattern instead of zeros. Both runs
// go into a folder of this process's own; the previews come along with the first run.
TEST(AssetgenRun, TwoBuildsWriteIdenticalFilesAndPlayablePreviews) {
#ifdef PARAPET_OTHER_ASSETGEN
    const std::string second = PARAPET_OTHER_ASSETGEN;
#else
    const std::string second = PARAPET_ASSETGEN;
#endif
    const fs::path root =
        fs::temp_directory_path() / ("parapet-assetgen-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const std::string preview = " --preview \"" + (root / "preview").string() + "\"";
    for (const std::string& run :
         {"\"" PARAPET_ASSETGEN "\" \"" + (root / "a").string() + "\"" + preview,
          "GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA,-FMA4,-AVX MALLOC_PERTURB_=165 \"" + second +
              "\" \"" + (root / "b").string() + "\""})
        ASSERT_EQ(std::system((run + " >/dev/null 2>&1").c_str()), 0) << run;
    size_t compared = 0;
    for (const char* sub : {"g", "s", "m"}) {
        for (const auto& entry : fs::directory_iterator(root / "a" / sub)) {
            Pcm mine = readFileBytes(entry.path().string());
            ASSERT_FALSE(mine.empty()) << entry.path();
            fs::path name = fs::path(sub) / entry.path().filename();
            Pcm theirs = readFileBytes((root / "b" / name).string());
            auto [at, ignored] =
                std::mismatch(mine.begin(), mine.end(), theirs.begin(), theirs.end());
            EXPECT_TRUE(mine == theirs) << name.string() << " differs between " PARAPET_ASSETGEN
                                        << " and " << second << " from byte " << at - mine.begin();
            ++compared;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "a" / sub), {}),
                  std::distance(fs::directory_iterator(root / "b" / sub), {}));
    }
    EXPECT_GE(compared, size_t{soundCount + 9});

    // The previews hold exactly the samples the game plays, behind a plain 44-byte header
    // (the header itself is the WAV writer's, read back in sound_synth_test).
    for (int i = 0; i < soundCount; ++i) {
        const Pcm raw = dataFile(soundAt(i), root / "a");
        const std::string file = nameOf(soundAt(i));
        const Pcm wav =
            readFileBytes((root / "preview" / (file.substr(2, file.size() - 6) + ".wav")).string());
        EXPECT_TRUE(wav.size() >= 44 + raw.size() &&
                    std::equal(raw.begin(), raw.end(), wav.begin() + 44))
            << file;
    }
    fs::remove_all(root);
}

}  // namespace
