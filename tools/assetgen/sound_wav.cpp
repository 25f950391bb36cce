#include "sound_wav.h"

#include <algorithm>
#include <cstring>

namespace snd {

namespace {
uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
}  // namespace

bool parseWav(const std::vector<uint8_t>& bytes, Wav& wav) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    int channels = 0, bits = 0;
    wav.rate = 0;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + pos;
        size_t size = le32(chunk + 4);
        size_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + 16 > bytes.size()) return false;
            if (le16(bytes.data() + body) != 1) return false;  // PCM only
            channels = le16(bytes.data() + body + 2);
            wav.rate = le32(bytes.data() + body + 4);
            bits = le16(bytes.data() + body + 14);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (channels <= 0 || (bits != 8 && bits != 16) || wav.rate <= 0) return false;
            // Streaming writers leave the size at its maximum: take what is really there.
            size_t avail = std::min(size, bytes.size() - body);
            size_t frame = static_cast<size_t>(channels) * (bits / 8);
            size_t frames = avail / frame;
            wav.samples.resize(frames);
            for (size_t f = 0; f < frames; ++f) {
                double sum = 0;
                for (int c = 0; c < channels; ++c) {
                    const uint8_t* s = bytes.data() + body + f * frame + c * (bits / 8);
                    sum += bits == 8 ? (s[0] - 128) / 128.0 : static_cast<int16_t>(le16(s)) / 32768.0;
                }
                wav.samples[f] = static_cast<float>(sum / channels);
            }
            return frames > 0;
        }
        // Chunks are padded to an even length.
        if (size > bytes.size()) return false;
        pos = body + size + (size & 1);
    }
    return false;
}

std::vector<uint8_t> encodeWav8(const std::vector<uint8_t>& pcm, int rate) {
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
    };
    out.reserve(44 + pcm.size() + 1);
    const uint32_t padded = static_cast<uint32_t>(pcm.size() + (pcm.size() & 1));
    tag("RIFF");
    put32(36 + padded);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(static_cast<uint32_t>(rate));
    put32(static_cast<uint32_t>(rate));  // bytes per second: one byte per sample
    put16(1);                            // block align
    put16(8);
    tag("data");
    put32(static_cast<uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    if (pcm.size() & 1) out.push_back(128);
    return out;
}

}  // namespace snd
