#include "base/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/quote_text.h"

namespace {
FILE* traceFile = nullptr;
int currentFrame = 1;
std::string tracePath;
bool traceLost = false;  // a write failed; nothing more is written

// Said once, when the first write fails: a trace with a hole is worth nothing to whoever
// compares it, so the run's exit status says so too.
void loseTrace(int err) {
    traceLost = true;
    std::fprintf(stderr, "parapet: cannot write the trace file %s: %s; the trace is incomplete\n",
                 quotePath(tracePath).c_str(), std::strerror(err));
}

void writeLine(const char* event, const std::string& fields) {
    if (traceFile == nullptr || traceLost) return;
    if (std::fprintf(traceFile, "{\"frame\":%d,\"event\":\"%s\"%s%s}\n", currentFrame, event,
                     fields.empty() ? "" : ",", fields.c_str()) < 0 ||
        std::fflush(traceFile) != 0)
        loseTrace(errno);
}
}  // namespace

bool openTrace(const char* path) {
    closeTrace();
    traceLost = false;
    tracePath = path;
    traceFile = std::fopen(path, "w");
    return traceFile != nullptr;
}

bool closeTrace() {
    if (traceFile != nullptr && std::fclose(traceFile) != 0 && !traceLost) loseTrace(errno);
    traceFile = nullptr;
    return !traceLost;
}

bool traceEnabled() { return traceFile != nullptr; }
void setTraceFrame(int frame) { currentFrame = frame; }
int traceFrame() { return currentFrame; }

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
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
