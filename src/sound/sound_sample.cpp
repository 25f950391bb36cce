#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "shell/log.h"
#include "shell/paths.h"
#include "shell/trace.h"
#include "sound/sound.h"

namespace {

// A missing sound file means a broken installation: say where we looked and stop.
[[noreturn]] void missingSoundFile(const char* gameName, const std::string& path) {
    std::fprintf(stderr,
                 "parapet: sound file %s is missing (looked for %s in the data directory %s); "
                 "use --data DIR or PARAPET_DATA to point at the game's data\n",
                 gameName, path.c_str(), paths().dataDir.c_str());
    logFormat("cannot open %s\n", path.c_str());
    std::exit(1);
}

// Reads the whole file; false when it cannot be read (it exists: missing files end the run).
bool readSoundFile(const char* gameName, const std::string& path, std::vector<uint8_t>& data) {
    errno = 0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) missingSoundFile(gameName, path);
        std::fprintf(stderr, "parapet: cannot read sound file %s (%s); it stays silent\n",
                     path.c_str(), std::strerror(errno));
        return false;
    }
    uint8_t chunk[16384];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.insert(data.end(), chunk, chunk + got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "parapet: cannot read sound file %s; it stays silent\n", path.c_str());
        return false;
    }
    if (data.empty()) {
        std::fprintf(stderr, "parapet: sound file %s is empty; it stays silent\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

SoundSample::SoundSample(const char* path, int samplesPerSecond, int bitsPerSample, int channels)
    : frequency_(samplesPerSecond), bitsPerSample_(bitsPerSample) {
    (void)channels;  // every recording of the game is mono
    std::snprintf(name_, sizeof name_, "%s", path != nullptr ? path : "");
    if (!soundEnabled) return;
    std::string file = resolveDataPath(name_);
    std::vector<uint8_t> data;
    if (!readSoundFile(name_, file, data)) return;
    voice_ = soundDevice()->createVoice(data.data(), data.size(), samplesPerSecond);
    if (voice_ < 0) {
        std::fprintf(stderr, "parapet: the sound device refused %s; it stays silent\n",
                     file.c_str());
        return;
    }
    loaded_ = true;
    applyVolume();
}

SoundSample::~SoundSample() {
    // The voice belongs to the audio output, which lives until the end of the run.
}

void SoundSample::play() {
    if (!soundEnabled) return;
    traceSound("play", name_, frequency_);
    if (loaded_) soundDevice()->play(voice_, false);
}

void SoundSample::playLooped() {
    if (!soundEnabled) return;
    traceSound("loop", name_, frequency_);
    if (loaded_) soundDevice()->play(voice_, true);
}

void SoundSample::stop() {
    if (!soundEnabled) return;
    traceSound("stop", name_, frequency_);
    if (loaded_) soundDevice()->stop(voice_);
}

int SoundSample::setFrequency(int hz) {
    int previous = frequency_;
    frequency_ = hz;
    if (soundEnabled && loaded_) soundDevice()->setFrequency(voice_, hz);
    return previous;
}

void SoundSample::playAtFrequency(int hz) {
    setFrequency(hz);
    play();
}
