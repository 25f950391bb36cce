#include "recording/recording_seal.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view sealWord = "checksum ";
constexpr size_t hexDigits = 16;

std::string checksumOf(std::string_view text) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    char hex[hexDigits + 1];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

std::string sealRecording(std::string text) {
    std::string sum = checksumOf(text);
    text.append(sealWord).append(sum).append("\n");
    return text;
}

bool unsealRecording(std::string_view text, std::string_view& body, std::string& error) {
    std::string_view rest = text;
    if (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
    size_t lineStart = rest.rfind('\n');
    lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    std::string_view line = rest.substr(lineStart);
    if (line.substr(0, sealWord.size()) != sealWord) {
        error = "truncated: no checksum line at the end";
        return false;
    }
    std::string_view sum = line.substr(sealWord.size());
    body = text.substr(0, lineStart);
    if (sum.size() < hexDigits) {
        error = "truncated: the checksum line is cut short";
        return false;
    }
    if (sum != checksumOf(body)) {
        error = "corrupt: the checksum does not match; the file was changed after it was written";
        return false;
    }
    return true;
}
