// Checks on the generated sound effects and music: what the game loads must exist, be
// audible, not distort, loop cleanly where it loops, and, like the pictures, come out the
// same from every run and every build of the generator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Pcm = std::vector<uint8_t>;

struct EffectInfo {
    const char* name;
    int rate;
    double minSeconds, maxSeconds;
};

// Length limits follow from how the game uses each sound: the title plays "chancefor" three
// seconds after "vorlantide", so the first line must be over by then; the click repeats on
// every key press; a chainsaw cut is queued once per 18-20 frame stroke.
const EffectInfo kEffects[] = {
    {"splat3", 11025, 0.15, 0.8},         {"wildscream", 22050, 0.8, 3.0},
    {"wildscream2", 11025, 0.3, 1.5},     {"oof", 11025, 0.1, 0.8},
    {"fadescream", 11025, 0.8, 3.0},      {"chainsaw_loop", 11025, 0.3, 3.0},
    {"chainsaw_slash1", 11025, 0.2, 0.8}, {"clang", 8000, 0.2, 1.5},
    {"Crowdohh", 8000, 0.8, 4.0},         {"Nuclear", 7500, 1.0, 5.0},
    {"Cheer", 11025, 1.0, 5.0},           {"coming", 22050, 0.5, 3.0},
    {"vorlantide", 22050, 0.3, 2.9},      {"chancefor", 22050, 0.5, 3.0},
    {"tschonk", 22050, 0.03, 0.25},       {"death1", 22050, 0.4, 2.0},
    {"death2", 22050, 0.4, 2.0},          {"smartup", 22050, 0.3, 1.5},
    {"swish", 22050, 0.1, 0.8},           {"stahl", 22050, 0.4, 2.5},
};
constexpr int kMusicRate = 22050;
constexpr int kTrackCount = 8;

std::string trackName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "mus%02d", i + 1);
    return buf;
}

Pcm readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Pcm((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

fs::path dataDir() { return fs::path(PARAPET_DATA_DIR); }
fs::path effectPath(const fs::path& dir, const char* name) {
    return dir / "s" / (std::string(name) + ".raw");
}
fs::path trackPath(const fs::path& dir, int i) { return dir / "m" / (trackName(i) + ".raw"); }

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

// The q-th quantile of |x[i+1] - x[i]| (first differences) or of the second differences,
// over the inside of the recording: what counts as an ordinary step for this sound.
double stepQuantile(const Pcm& p, int order, double q) {
    std::vector<int> d;
    for (size_t i = 2; i < p.size(); ++i) {
        int a = centred(p[i]), b = centred(p[i - 1]), c = centred(p[i - 2]);
        d.push_back(order == 1 ? std::abs(a - b) : std::abs(a - 2 * b + c));
    }
    std::sort(d.begin(), d.end());
    return d.empty() ? 0 : d[static_cast<size_t>(q * (d.size() - 1))];
}

// Jump and bend where the end of a loop meets its start, measured the same way.
int seamStep(const Pcm& p) { return std::abs(centred(p.front()) - centred(p.back())); }
int seamBend(const Pcm& p) {
    size_t n = p.size();
    return std::abs(centred(p[0]) - 2 * centred(p[n - 1]) + centred(p[n - 2]));
}

// Normalised correlation of two equally long recordings.
double correlation(const Pcm& a, const Pcm& b) {
    double num = 0, a2 = 0, b2 = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        num += centred(a[i]) * centred(b[i]);
        a2 += centred(a[i]) * centred(a[i]);
        b2 += centred(b[i]) * centred(b[i]);
    }
    return (a2 > 0 && b2 > 0) ? num / std::sqrt(a2 * b2) : 0;
}

// env: variables set for this run only, as "NAME=value " words.
std::string runAssetgen(const std::string& env, const char* tool, const fs::path& out,
                        const std::string& extra) {
    std::string cmd = env + "\"" + tool + "\" \"" + out.string() + "\" " + extra + " 2>&1";
    std::string log;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return "popen failed";
    char buf[512];
    while (fgets(buf, sizeof buf, pipe)) log += buf;
    int status = pclose(pipe);
    if (status != 0) log += "\nexit status " + std::to_string(status);
    return status == 0 ? std::string() : log;
}

// ---- the files the build made ----

TEST(SoundFiles, EveryEffectFitsItsUseIsAudibleAndNeverClipsForLong) {
    std::vector<double> levels;
    for (const auto& e : kEffects) {
        SCOPED_TRACE(e.name);
        Pcm p = readFile(effectPath(dataDir(), e.name));
        ASSERT_GE(p.size(), 2u);
        double seconds = static_cast<double>(p.size()) / e.rate;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);
        // The chainsaw's idle sits under the music on purpose (game_sound_mix_test).
        const bool idle = std::string(e.name) == "chainsaw_loop";
        levels.push_back(idle ? 0.0 : rmsOf(p));
        if (!idle) {
            EXPECT_GE(levels.back(), 0.08) << "too quiet to hear over the music";
        }
        EXPECT_LT(levels.back(), 0.5) << "a level this high leaves no room for the mix";
        EXPECT_LE(longestClip(p), 3u);
        EXPECT_LE(
            size_t(std::count_if(p.begin(), p.end(), [](uint8_t v) { return v == 0 || v == 255; })),
            p.size() / 1000);
        // The game restarts and stops samples at any moment; a one-shot that begins or ends
        // away from the centre line clicks every time.
        if (!idle) {
            EXPECT_LE(std::abs(centred(p.front())), 2);
            EXPECT_LE(std::abs(centred(p.back())), 2);
        }
    }
    // No effect may drown the others or vanish among them: all levels within about 12 dB.
    double loudest = *std::max_element(levels.begin(), levels.end());
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i] > 0) {
            EXPECT_GT(levels[i], loudest / 4.0) << kEffects[i].name;
        }
}

TEST(SoundFiles, LoopsJoinWithoutAJumpAndTracksKeepPlaying) {
    std::vector<std::pair<std::string, Pcm>> loops;
    loops.emplace_back("chainsaw_loop", readFile(effectPath(dataDir(), "chainsaw_loop")));
    for (int i = 0; i < kTrackCount; ++i)
        loops.emplace_back(trackName(i), readFile(trackPath(dataDir(), i)));
    for (const auto& [name, p] : loops) {
        SCOPED_TRACE(name);
        ASSERT_GT(p.size(), 1000u);
        // A broken loop clicks: its join is a step or a kink bigger than nearly every
        // other one in the sound. (The engine's own firing edges are big, and many.)
        EXPECT_LE(seamStep(p), std::max(2.0, stepQuantile(p, 1, 0.999)));
        EXPECT_LE(seamBend(p), std::max(2.0, stepQuantile(p, 2, 0.999)));
        if (name == "chainsaw_loop") continue;
        double seconds = static_cast<double>(p.size()) / kMusicRate;
        EXPECT_GE(seconds, 40.0);
        EXPECT_LE(seconds, 90.0);
        EXPECT_LE(longestClip(p), 3u);
        // Every four-second stretch has music in it: no section dropped out, no tail of
        // silence before the loop comes round.
        double whole = rmsOf(p);
        EXPECT_GT(whole, 0.05);
        const size_t window = 4 * kMusicRate;
        for (size_t from = 0; from + window <= p.size(); from += window)
            EXPECT_GT(rmsOf(p, from, from + window), whole / 4.0)
                << "quiet stretch at " << from / kMusicRate << " s";
    }
}

TEST(SoundFiles, MusicTracksAreEightDifferentTunes) {
    // Uncorrelated openings mean no two levels share a tune by mistake.
    const size_t ten = 10 * kMusicRate;
    std::vector<Pcm> openings;
    for (int i = 0; i < kTrackCount; ++i) {
        openings.push_back(readFile(trackPath(dataDir(), i)));
        openings.back().resize(ten);
    }
    for (int a = 0; a < kTrackCount; ++a)
        for (int b = a + 1; b < kTrackCount; ++b)
            EXPECT_LT(std::fabs(correlation(openings[a], openings[b])), 0.5)
                << trackName(a) << " vs " << trackName(b);
}

// ---- running the generator ----

// Recordings and network games compare a hash of the data, so no compiler, optimisation,
// processor or stray memory may change a byte of it. The second run is therefore assetgen
// as the machine's other compiler builds it without optimisation (the build makes it
// everywhere but in the sanitizer build), on glibc's maths routines for processors without
// FMA or AVX2, with every fresh allocation filled with a pattern instead of zeros.
#ifdef PARAPET_OTHER_ASSETGEN
const char* const kSecondAssetgen = PARAPET_OTHER_ASSETGEN;
#else
const char* const kSecondAssetgen = PARAPET_ASSETGEN;
#endif
const char* const kSecondRunEnv =
    "GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA,-FMA4,-AVX MALLOC_PERTURB_=165 ";

// "" when both files hold the same bytes, else where they part.
std::string firstDifference(const Pcm& a, const Pcm& b) {
    auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() && ib == b.end()) return "";
    return "first difference at byte offset " + std::to_string(ia - a.begin()) + " (sizes " +
           std::to_string(a.size()) + " and " + std::to_string(b.size()) + ")";
}

// Both runs go into a folder of this process's own, so parallel test processes never share
// one. The previews come along with the first run rather than costing a third.
TEST(AssetgenRun, TwoBuildsWriteIdenticalFilesAndPlayablePreviews) {
    const fs::path root =
        fs::temp_directory_path() / ("parapet-assetgen-" + std::to_string(::getpid()));
    fs::remove_all(root);
    ASSERT_EQ(runAssetgen("", PARAPET_ASSETGEN, root / "a",
                          "--preview \"" + (root / "preview").string() + "\""),
              "");
    ASSERT_EQ(runAssetgen(kSecondRunEnv, kSecondAssetgen, root / "b", ""), "");
    size_t compared = 0;
    for (const char* sub : {"g", "s", "m"}) {
        for (const auto& entry : fs::directory_iterator(root / "a" / sub)) {
            Pcm mine = readFile(entry.path());
            ASSERT_FALSE(mine.empty()) << entry.path();
            fs::path name = fs::path(sub) / entry.path().filename();
            std::string difference = firstDifference(mine, readFile(root / "b" / name));
            EXPECT_EQ(difference, "") << name.string() << " differs between " PARAPET_ASSETGEN
                                      << " and " << kSecondAssetgen;
            ++compared;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "a" / sub), {}),
                  std::distance(fs::directory_iterator(root / "b" / sub), {}));
    }
    EXPECT_GE(compared, std::size(kEffects) + kTrackCount + 9);

    // The previews hold exactly the samples the game plays, behind a plain 44-byte header
    // (the header itself is the WAV writer's, read back in sound_synth_test).
    auto checkPreview = [&](const std::string& name, const Pcm& raw) {
        Pcm wav = readFile(root / "preview" / (name + ".wav"));
        EXPECT_TRUE(wav.size() >= 44 + raw.size() &&
                    std::equal(raw.begin(), raw.end(), wav.begin() + 44))
            << name;
    };
    for (const auto& e : kEffects) checkPreview(e.name, readFile(effectPath(root / "a", e.name)));
    for (int i = 0; i < kTrackCount; ++i)
        checkPreview(trackName(i), readFile(trackPath(root / "a", i)));
    fs::remove_all(root);
}

}  // namespace
