#pragma once

// The diagnostic log: off until openLog; every line is flushed at once.
extern bool logEnabled;
void openLog(const char* path);
void closeLog();
bool logIsOpen();
// Writes the text as it is (no newline added).
void logLine(const char* text);
// Writes the printf-formatted text.
void logFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
