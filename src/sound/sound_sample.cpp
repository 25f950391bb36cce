#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/file_util.h"
#include "platform/audio.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "sound/sound.h"

namespace {

// A broken installation: says which file and why, for the program to report.
std::string unusableSoundFile(const char* gameName, const std::string& path,
                              const std::string& reason) {
    logFormat("cannot open %s\n", path.c_str());
    return "parapet: sound file " + std::string(gameName) + " " + reason + " (looked for " +
           quotePath(path) + " in the data directory " + quotePath(paths().dataDir) +
           "); use --data DIR or PARAPET_DATA to point at the game's data";
}

// Reads the whole file; false for an empty one (it stays silent) and for one that cannot be
// read (then `problem` says why).
bool readSoundFile(const char* gameName, const std::string& path, std::vector<uint8_t>& data,
                   std::string& problem) {
    ReadableFile file = openRegularFile(path);
    if (file.fd < 0) {
        problem = unusableSoundFile(gameName, path,
                                    file.missing ? "is missing" : "cannot be read: " + file.reason);
        return false;
    }
    // Checked before reading: a huge file in the data directory would otherwise stall the
    // start-up and take all the memory. The size is checked again while reading, for files
    // whose size the file system does not know.
    const std::string tooLarge = "is larger than " + std::to_string(maxSoundFileBytes >> 20) +
                                 " MiB, far more than any of the game's sounds";
    if (file.size > static_cast<long long>(maxSoundFileBytes)) {
        ::close(file.fd);
        problem = unusableSoundFile(gameName, path, tooLarge);
        return false;
    }
    // One byte more than the file system says, to notice a file that is longer than that.
    data.resize(static_cast<size_t>(file.size) + 1);
    size_t got = 0;
    std::string reason;
    bool ok = true;
    while (ok) {
        size_t n = 0;
        ok = readUpTo(file.fd, data.data() + got, data.size() - got, n, reason);
        got += n;
        if (got < data.size() || got > maxSoundFileBytes) break;
        data.resize(std::min(maxSoundFileBytes + 1, data.size() * 2));
    }
    ::close(file.fd);
    if (!ok) problem = unusableSoundFile(gameName, path, "cannot be read: " + reason);
    if (got > maxSoundFileBytes) problem = unusableSoundFile(gameName, path, tooLarge);
    if (!problem.empty()) return false;
    data.resize(got);
    // The one byte read for nothing is not worth a copy of the whole file; a file that was
    // not the size its directory said gives its room back.
    if (data.capacity() > got + 1) data.shrink_to_fit();
    if (data.empty()) {
        std::fprintf(stderr, "parapet: sound file %s is empty; it stays silent\n",
                     quotePath(path).c_str());
        return false;
    }
    return true;
}

}  // namespace

SoundSample::SoundSample(const char* path, int samplesPerSecond, int bitsPerSample, int channels) {
    (void)bitsPerSample;
    (void)channels;  // every recording of the game is mono
    std::snprintf(name_, sizeof name_, "%s", path != nullptr ? path : "");
    if (!soundEnabled) return;
    std::string file = resolveDataPath(name_);
    std::vector<uint8_t> data;
    if (!readSoundFile(name_, file, data, problem_)) return;
    voice_ = soundDevice()->createVoice(std::move(data), samplesPerSecond);
    if (voice_ < 0) {
        std::fprintf(stderr, "parapet: the sound device refused %s; it stays silent\n",
                     quotePath(file).c_str());
        return;
    }
    loaded_ = true;
    applyVolume();
}

SoundSample::~SoundSample() {
    // The voice belongs to the audio output, which lives until the end of the run.
}

void SoundSample::play() {
    if (soundEnabled && loaded_) soundDevice()->play(voice_, false);
}

void SoundSample::playLooped() {
    if (soundEnabled && loaded_) soundDevice()->play(voice_, true);
}

void SoundSample::stop() {
    if (soundEnabled && loaded_) soundDevice()->stop(voice_);
}

void SoundSample::setFrequency(int hz) {
    if (soundEnabled && loaded_) soundDevice()->setFrequency(voice_, hz);
}
