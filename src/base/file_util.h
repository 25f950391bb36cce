#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// File names are the game's own ("g\\Title.raw"); every function maps them to real paths
// (shell/paths) and passes other names through unchanged.

// Reads at most capacity bytes of the file into buffer. Returns 0 after reading; 1 when nothing
// could be read, with `why` saying so for a message ("is missing", "is empty", "cannot be
// read: Is a directory").
int readWholeFile(const char* fileName, void* buffer, size_t capacity, std::string& why);
// Replaces the file with length bytes through the one atomic writer (shell/atomic_file),
// making its directory first. Returns 0 on success; non-zero, with a line on stderr naming
// the file, on failure.
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

// Reads a whole regular file of at most maxBytes, handing its bytes to `sink` in pieces as
// they come, so a caller that parses as it goes keeps no copy; the sink returns false to stop
// reading. False with the reason ("it is a directory", "it is larger than 1 MiB", "cannot be
// read (...)"), and `missing` set when there is no such file. Never blocks on a pipe, never
// reads a device, and stops at the cap even for a file that grows while it is read.
bool readCappedFile(const std::string& path, size_t maxBytes,
                    const std::function<bool(std::string_view)>& sink, bool& missing,
                    std::string& reason);
