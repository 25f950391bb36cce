#pragma once
#include <cstddef>

// File names are the game's own ("g\\Title.raw"); every function maps them to real paths
// (shell/paths) and passes other names through unchanged.

// Size in bytes, 0 when the file cannot be opened.
long fileSize(const char* fileName);
// Reads at most capacity bytes of the file into buffer. Returns 0 after reading, 1 when the
// file is missing or empty (nothing read). A file that exists but cannot be read is fatal.
int readWholeFile(const char* fileName, void* buffer, size_t capacity);
// Reads length bytes from offset; 0 after reading. A file that cannot be opened is fatal.
int readFileRange(const char* fileName, void* buffer, long offset, long length);
// Names the file on stderr and in the log, then ends the process with exit code 1.
[[noreturn]] void fatalFileError(const char* fileName);
// Writes length bytes over the start of the file (creating it, never truncating it).
// Returns 0 on success; non-zero, with a line on stderr naming the file, on failure.
int writeFile(const void* data, const char* fileName, long length);
