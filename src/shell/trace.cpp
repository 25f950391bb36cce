#include "shell/trace.h"

#include <cstdio>

namespace {
FILE* traceFile = nullptr;
int currentFrame = 1;

void writeLine(const char* event, const std::string& fields) {
    if (traceFile == nullptr) return;
    std::fprintf(traceFile, "{\"frame\":%d,\"event\":\"%s\"%s%s}\n", currentFrame, event,
                 fields.empty() ? "" : ",", fields.c_str());
    std::fflush(traceFile);
}
}  // namespace

bool openTrace(const char* path) {
    closeTrace();
    traceFile = std::fopen(path, "w");
    return traceFile != nullptr;
}

void closeTrace() {
    if (traceFile != nullptr) std::fclose(traceFile);
    traceFile = nullptr;
}

bool traceEnabled() { return traceFile != nullptr; }
void setTraceFrame(int frame) { currentFrame = frame; }
int traceFrame() { return currentFrame; }

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

void traceEvent(const char* event, const std::string& fields) { writeLine(event, fields); }

void traceSound(const char* op, const char* file, int hz) {
    if (traceFile == nullptr) return;
    writeLine("sound", "\"op\":" + jsonString(op) + ",\"file\":" + jsonString(file ? file : "") +
                           ",\"hz\":" + std::to_string(hz));
}

void traceState(int from, int to) {
    writeLine("state", "\"from\":" + std::to_string(from) + ",\"to\":" + std::to_string(to));
}

void traceScore(int player, int score) {
    writeLine("score",
              "\"player\":" + std::to_string(player) + ",\"score\":" + std::to_string(score));
}

void traceHighscoreSaved(const std::string& path) {
    writeLine("highscore_saved", "\"path\":" + jsonString(path));
}

void traceScreenshot(const std::string& path) {
    writeLine("screenshot", "\"path\":" + jsonString(path));
}

void traceEnd(int frame) {
    currentFrame = frame;
    writeLine("end", "");
}
