// Announcer lines. espeak-ng speaks them when the build machine has it; the dry speech is
// then made to sound like a man on a loudspeaker in an arena. Without espeak-ng a sung
// stand-in keeps the build working and the game's timing the same.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sound_effects.h"
#include "sound_vocal.h"
#include "sound_wav.h"

namespace snd {

namespace {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Speaks `text` into a temporary WAV and reads it back; false when espeak-ng is missing or
// fails, which the caller answers with the stand-in.
bool espeak(const std::string& text, int speed, int pitch, Wav& wav) {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "assetgen-voice-XXXXXX").string();
    if (ec) pattern = "/tmp/assetgen-voice-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    close(fd);
    const std::string path = name.data();
    std::string cmd = "espeak-ng -v en-us+m3 -s " + std::to_string(speed) + " -p " + std::to_string(pitch) +
                      " -a 180 -w " + shellQuote(path) + " " + shellQuote(text) + " >/dev/null 2>&1";
    bool ok = std::system(cmd.c_str()) == 0;
    if (ok) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ok = parseWav(bytes, wav);
    }
    std::remove(path.c_str());
    return ok;
}

// Trims the synthesiser's leading and trailing silence so the line starts when it is played.
void trimSilence(Buffer& x, double threshold) {
    size_t first = 0, last = x.size();
    while (first < x.size() && std::fabs(x[first]) < threshold) ++first;
    while (last > first && std::fabs(x[last - 1]) < threshold) --last;
    if (first >= last) return;
    first = first > 200 ? first - 200 : 0;
    last = std::min(x.size(), last + 400);
    x = Buffer(x.begin() + static_cast<std::ptrdiff_t>(first), x.begin() + static_cast<std::ptrdiff_t>(last));
}

// Loudspeaker voice: no rumble, a forward presence peak, a little horn-like saturation,
// and the arena's reverb behind it.
void announcerTone(Buffer& x, double rate) {
    Svf low, presence;
    for (float& v : x) {
        double hp = low.highpass(v, 160, 0.7, rate);
        double p = presence.bandpass(hp, 2600, 1.2, rate);
        v = static_cast<float>(std::tanh(1.8 * (hp + 0.7 * p)) / std::tanh(1.8));
    }
    x.resize(x.size() + static_cast<size_t>(0.5 * rate), 0.0f);
    reverb(x, rate, 0.07, 0.55, 0.3);
    trimSilence(x, 0.002);
}

// The stand-in: one sung syllable per vowel of the phrase, with the falling melody of an
// exclamation, and a hiss wherever the phrase has an s, t, f or h sound.
Buffer standInVoice(const std::string& text, double rate, uint64_t seed) {
    Rng rng(seed);
    struct Syllable {
        Vowel vowel;
        double hiss;
    };
    std::vector<Syllable> sy;
    bool inVowel = false;
    double pendingHiss = 0;
    for (char ch : text) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        Vowel v{};
        bool vowel = true;
        switch (c) {
            case 'a': v = vowels::A; break;
            case 'e': v = vowels::E; break;
            case 'i': v = vowels::I; break;
            case 'o': v = vowels::O; break;
            case 'u': v = vowels::UH; break;
            default: vowel = false;
        }
        if (vowel && !inVowel) {
            sy.push_back({v, pendingHiss});
            pendingHiss = 0;
        }
        if (!vowel && std::strchr("sthfc", c) && c != 0) pendingHiss = 1;
        inVowel = vowel;
    }
    if (sy.empty()) sy.push_back({vowels::A, 0});
    const double syl = 0.24;
    Buffer out(static_cast<size_t>((sy.size() * syl + 0.3) * rate), 0.0f);
    for (size_t k = 0; k < sy.size(); ++k) {
        VoiceShape s;
        s.rate = rate;
        s.seconds = syl * 1.1;
        double top = 150.0 - 40.0 * k / std::max<size_t>(1, sy.size() - 1) + (k == 0 ? 20 : 0);
        s.pitch = [=](double t) { return top - 25.0 * t; };
        Vowel v = sy[k].vowel;
        s.vowel = [=](double) { return v; };
        s.amplitude = [=](double t) { return smoothstep(t / 0.03) * (1.0 - smoothstep((t - syl * 0.75) / (syl * 0.3))); };
        s.breath = 0.05;
        Buffer voice = sing(s, rng);
        size_t at = static_cast<size_t>(k * syl * rate);
        mixInto(out, voice, at, 1.0);
        if (sy[k].hiss > 0) {
            Svf h;
            for (size_t i = 0; i < static_cast<size_t>(0.06 * rate) && at + i < out.size(); ++i)
                out[at + i] += static_cast<float>(0.04 * h.bandpass(rng.bipolar(), 5000, 1.0, rate));
        }
    }
    return out;
}

}  // namespace

Buffer makeAnnouncement(const std::string& text, double rate, uint64_t seed, int wordsPerMinute, int pitch) {
    Wav wav;
    Buffer out;
    if (!std::getenv("ASSETGEN_NO_ESPEAK") && espeak(text, wordsPerMinute, pitch, wav)) {
        out = resample(wav.samples, wav.rate, rate);
    } else {
        std::fprintf(stderr, "assetgen: espeak-ng not available, using a sung stand-in for \"%s\"\n", text.c_str());
        out = standInVoice(text, rate, seed);
    }
    announcerTone(out, rate);
    return out;
}

}  // namespace snd
