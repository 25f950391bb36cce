// Renders every effect and tune into the game's 8-bit files, and WAV copies to listen to.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "assetgen.h"
#include "catalog/sound_files.h"
#include "sound_effects.h"
#include "sound_tracks.h"
#include "sound_wav.h"

namespace {
using snd::Buffer;

struct EffectRecipe {
    Sound sound;  // the game's name for it, which gives its file and rate
    Buffer (*make)(double rate);
    double peak;  // ceiling of the soft limiter
    double rms;   // loudness aimed at, so sounds sit together in the game's mix
    bool loops;
};

// Slow and low, the way an arena announcer leans on every word; the game's name most of all.
Buffer announceComing(double rate) {
    return snd::makeAnnouncement("Here they come!", rate, 21, 120, 30);
}
Buffer announceTitle(double rate) { return snd::makeAnnouncement("Parapet!", rate, 22, 85, 24); }
Buffer announceDefend(double rate) {
    return snd::makeAnnouncement("Defend the wall!", rate, 23, 115, 30);
}

// The chainsaw idles under everything else for long stretches once called, so it sits well
// under the music (at least 6 dB under the quietest track, whose spiky peaks hold it lowest);
// the cries and the splat are the game's punctuation and sit highest.
const EffectRecipe effectRecipes[] = {
    {Sound::splat, snd::makeSplat, 0.95, 0.30, false},
    {Sound::wildScream, snd::makeWildScream, 0.9, 0.27, false},
    {Sound::wildScream2, snd::makeShortScream, 0.9, 0.27, false},
    {Sound::oof, snd::makeOof, 0.9, 0.28, false},
    {Sound::fadeScream, snd::makeFadeScream, 0.9, 0.24, false},
    {Sound::chainsawLoop, snd::makeChainsawLoop, 0.7, 0.048, true},
    {Sound::chainsawSlash, snd::makeChainsawSlash, 0.9, 0.28, false},
    {Sound::clang, snd::makeClang, 0.9, 0.2, false},
    {Sound::crowdOhh, snd::makeCrowdOhh, 0.85, 0.22, false},
    {Sound::nuclear, snd::makeCrowdRoar, 0.9, 0.26, false},
    {Sound::cheer, snd::makeCheer, 0.85, 0.22, false},
    {Sound::coming, announceComing, 0.95, 0.24, false},
    {Sound::vorlantide, announceTitle, 0.95, 0.24, false},
    {Sound::chanceFor, announceDefend, 0.95, 0.24, false},
    {Sound::tschonk, snd::makeMenuClick, 0.8, 0.24, false},
    {Sound::death1, snd::makeDeathCry, 0.9, 0.27, false},
    {Sound::death2, snd::makeDeathGurgle, 0.9, 0.27, false},
    {Sound::smartUp, snd::makePowerUp, 0.8, 0.2, false},
    {Sound::swish, snd::makeSwish, 0.8, 0.22, false},
    {Sound::stahl, snd::makeSteelRing, 0.85, 0.18, false},
};
constexpr int kEffectCount = sizeof effectRecipes / sizeof effectRecipes[0];
static_assert(kEffectCount == effectCount, "a recipe for every effect the game plays");
static_assert(snd::kSongCount == musicTrackCount, "a tune for every track the game plays");
const int kMusicRate = soundFile(musicTrackSound(0)).rate;

// A sound's file below the data directory, as a path ("s/splat3.raw").
std::string soundPath(Sound sound) {
    std::string file = soundFile(sound).file;
    file[file.find('\\')] = '/';
    return file;
}
// The same file's name without folder and extension, for its preview.
std::string soundName(Sound sound) {
    std::string path = soundPath(sound);
    size_t slash = path.find('/');
    return path.substr(slash + 1, path.rfind('.') - slash - 1);
}

// A filter would start from rest and end settled, which a loop's join would hear; taking
// away the mean treats every sample of the loop alike.
void removeMean(Buffer& x) {
    double mean = 0;
    for (float v : x) mean += v;
    mean /= static_cast<double>(x.size());
    for (float& v : x) v = static_cast<float>(v - mean);
}

// A section-long offset (an intro whose bass swings one way more than the other) would still
// click when the music starts or stops there, so the offset is filtered away as it drifts.
// The filter runs over the loop twice and keeps the second pass: it then enters the loop
// exactly as it leaves it, and the join stays seamless.
void removeDriftingDc(Buffer& x, double rate) {
    snd::OnePole settle;
    for (float v : x) settle.highpass(v, 10.0, rate);
    for (float& v : x) v = settle.highpass(v, 10.0, rate);
}

// A loop cannot fade in without a dip on every pass, so it starts instead where it rises
// most gently over its first 2 ms (a quiet gap between two firings of the engine): calling
// the chainsaw then does not click.
void startGently(Buffer& x, double rate) {
    const size_t rise = static_cast<size_t>(rate * 0.002), n = x.size();
    const double top = snd::peak(x);
    size_t best = 0;
    double bestExcess = 1e9;
    for (size_t start = 0; start < n; ++start) {
        double excess = -1e9;
        for (size_t k = 0; k < rise; ++k)
            excess = std::max(excess, std::fabs(x[(start + k) % n]) - top * k / rise);
        if (excess < bestExcess) {
            bestExcess = excess;
            best = start;
        }
    }
    std::rotate(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(best), x.end());
}

std::vector<uint8_t> renderEffect(const EffectRecipe& r) {
    const int rate = soundFile(r.sound).rate;
    Buffer x = r.make(rate);
    if (r.loops) {
        removeMean(x);
        snd::normalise(x, r.peak, r.rms);
        startGently(x, rate);
    } else {
        snd::removeDc(x, rate);
        snd::normalise(x, r.peak, r.rms);
        // After the limiter, whose knee would otherwise steepen the rise again.
        snd::softEdges(x, rate);
    }
    return snd::toUnsigned8(x);
}

std::vector<uint8_t> renderMusic(int index) {
    // Music plays under the effects, so it keeps well clear of full scale.
    Buffer x = snd::renderSong(snd::levelSong(index), kMusicRate);
    // Centred on silence, so music starting or stopping does not click; again after the
    // limiter, whose bending of uneven peaks can shift the middle a little.
    removeDriftingDc(x, kMusicRate);
    removeMean(x);
    snd::normalise(x, 0.72, 0.15);
    removeMean(x);
    return snd::toUnsigned8(x);
}

bool writeWav(const std::string& path, const std::vector<uint8_t>& pcm, int rate) {
    auto bytes = snd::encodeWav8(pcm, rate);
    return writeBytes(path, bytes.data(), bytes.size());
}

bool readBytes(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "assetgen: cannot read %s\n", path.c_str());
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}
}  // namespace

bool generateSounds(const std::string& outDir) {
    // Every job is independent and seeded on its own, so the split across threads cannot
    // change a byte of the output.
    const int jobs = kEffectCount + snd::kSongCount;
    std::atomic<int> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        for (int j = next++; j < jobs; j = next++) {
            // Tunes take longest, so they go first and the effects fill in behind them.
            if (j < snd::kSongCount) {
                auto data = renderMusic(j);
                if (!writeBytes(outDir + "/" + soundPath(musicTrackSound(j)), data.data(), data.size()))
                    ok = false;
            } else {
                const EffectRecipe& r = effectRecipes[j - snd::kSongCount];
                auto data = renderEffect(r);
                if (!writeBytes(outDir + "/" + soundPath(r.sound), data.data(), data.size()))
                    ok = false;
            }
        }
    };
    unsigned cores = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < cores; ++i) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
    return ok;
}

bool previewSounds(const std::string& outDir, const std::string& previewDir) {
    std::vector<uint8_t> pcm;
    for (const EffectRecipe& r : effectRecipes) {
        if (!readBytes(outDir + "/" + soundPath(r.sound), pcm)) return false;
        if (!writeWav(previewDir + "/" + soundName(r.sound) + ".wav", pcm,
                      soundFile(r.sound).rate))
            return false;
    }
    for (int i = 0; i < snd::kSongCount; ++i) {
        Sound track = musicTrackSound(i);
        if (!readBytes(outDir + "/" + soundPath(track), pcm)) return false;
        if (!writeWav(previewDir + "/" + soundName(track) + ".wav", pcm, kMusicRate)) return false;
    }
    return true;
}
