#pragma once
#include <string>

// JSON Lines trace of a run (--trace FILE): one object per event, with the frame it
// happened in (engine frame steps completed + 1).
bool openTrace(const char* path);
// False when a write failed since openTrace (said on stderr when it happened).
bool closeTrace();
bool traceEnabled();
// The frame events are recorded against; the shell keeps it current.
void setTraceFrame(int frame);
int traceFrame();

void traceSound(const char* op, const char* file, int hz);
void traceState(int from, int to);
void traceScore(int player, int score);
void traceHighscoreSaved(const std::string& path);
void traceScreenshot(const std::string& path);
void traceEnd(int frame);
// Any other event: `fields` is the JSON text of further members without braces, e.g.
// "\"x\":3" (may be empty).
void traceEvent(const char* event, const std::string& fields);
// A JSON string literal (quotes and escapes) of text.
std::string jsonString(const std::string& text);
