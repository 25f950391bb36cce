#pragma once
#include <cstddef>
#include <string>

// File names are the game's own ("g\\Title.raw"); every function maps them to real paths
// (shell/paths) and passes other names through unchanged.

// Reads at most capacity bytes of the file into buffer. Returns 0 after reading; 1 when nothing
// could be read, with `why` saying so for a message ("is missing", "is empty", "cannot be
// read: Is a directory").
int readWholeFile(const char* fileName, void* buffer, size_t capacity, std::string& why);
// Writes length bytes over the start of the file (creating it, never truncating it).
// Returns 0 on success; non-zero, with a line on stderr naming the file, on failure.
int writeFile(const void* data, const char* fileName, long length);

// A file opened for reading that is known to be a regular one. Opening never blocks: a FIFO
// or a device in the file's place is refused, never waited on.
struct ReadableFile {
    int fd = -1;
    long long size = 0;    // as the file system tells it; a read may still find less or more
    bool missing = false;  // the file does not exist (the one failure that is no fault)
    std::string reason;    // why it could not be opened, for a message
};
ReadableFile openRegularFile(const std::string& path);
// Reads until length bytes or the end of the file; false with the reason on a read error.
bool readUpTo(int fd, void* buffer, size_t length, size_t& got, std::string& reason);
