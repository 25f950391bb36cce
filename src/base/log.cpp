#include "base/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/quote_text.h"

bool logEnabled = false;

namespace {
FILE* logFile = nullptr;
std::string logPath;

// A log that cannot be written (a full disk) is said once and then left off: the game itself
// goes on, the log is only there to help.
void checkWritten(bool written) {
    if (written && std::fflush(logFile) == 0) return;
    std::fprintf(stderr, "parapet: cannot write the log file %s: %s; the log stops here\n",
                 quotePath(logPath).c_str(), errno != 0 ? std::strerror(errno) : "write error");
    std::fclose(logFile);
    logFile = nullptr;
}
}  // namespace

void openLog(const char* path) {
    if (!logEnabled || logFile != nullptr || path == nullptr) return;
    logFile = std::fopen(path, "w");
    logPath = path;
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
    errno = 0;
    checkWritten(std::fputs(text, logFile) >= 0);
}

void logFormat(const char* format, ...) {
    if (logFile == nullptr) return;
    va_list args;
    va_start(args, format);
    errno = 0;
    bool written = std::vfprintf(logFile, format, args) >= 0;
    va_end(args);
    checkWritten(written);
}
