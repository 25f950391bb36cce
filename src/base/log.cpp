#include "base/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/quote_text.h"

bool logEnabled = false;

namespace {
FILE* logFile = nullptr;
}

void openLog(const char* path) {
    if (!logEnabled || logFile != nullptr || path == nullptr) return;
    logFile = std::fopen(path, "w");
    if (logFile == nullptr)
        std::fprintf(stderr, "parapet: cannot open log file %s: %s\n", quotePath(path).c_str(),
                     std::strerror(errno));
}

void closeLog() {
    if (logFile != nullptr) std::fclose(logFile);
    logFile = nullptr;
}

bool logIsOpen() { return logFile != nullptr; }

void logLine(const char* text) {
    if (logFile == nullptr || text == nullptr) return;
    std::fputs(text, logFile);
    std::fflush(logFile);
}

void logFormat(const char* format, ...) {
    if (logFile == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(logFile, format, args);
    va_end(args);
    std::fflush(logFile);
}
