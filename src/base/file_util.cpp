#include "base/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/quote_text.h"

ReadableFile openRegularFile(const std::string& path) {
    ReadableFile file;
    // O_NONBLOCK so a FIFO without a writer cannot hang the game at start-up.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        file.missing = errno == ENOENT || errno == ENOTDIR;
        file.reason = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        file.reason = std::strerror(errno);
        ::close(fd);
        return file;
    }
    if (!S_ISREG(info.st_mode)) {
        file.reason = S_ISDIR(info.st_mode) ? "it is a directory" : "it is not a regular file";
        ::close(fd);
        return file;
    }
    file.fd = fd;
    file.size = info.st_size;
    return file;
}

bool readUpTo(int fd, void* buffer, size_t length, size_t& got, std::string& reason) {
    got = 0;
    char* p = static_cast<char*>(buffer);
    while (got < length) {
        ssize_t n = ::read(fd, p + got, length - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return true;
}

bool readCappedFile(const std::string& path, size_t maxBytes,
                    const std::function<bool(std::string_view)>& sink, bool& missing,
                    std::string& reason) {
    ReadableFile file = openRegularFile(path);
    missing = file.missing;
    if (file.fd < 0) {
        reason = file.reason;
        return false;
    }
    const std::string tooLarge =
        maxBytes >= (1u << 20) ? "it is larger than " + std::to_string(maxBytes >> 20) + " MiB"
                               : "it is larger than " + std::to_string(maxBytes) + " bytes";
    bool ok = file.size >= 0 && static_cast<unsigned long long>(file.size) <= maxBytes;
    if (!ok) reason = tooLarge;
    size_t total = 0;
    char chunk[65536];
    while (ok) {
        size_t got = 0;
        if (!readUpTo(file.fd, chunk, sizeof chunk, got, reason)) {
            reason = "cannot be read (" + reason + ")";
            ok = false;
            break;
        }
        total += got;
        if (total > maxBytes) {
            reason = tooLarge;
            ok = false;
            break;
        }
        if (got > 0 && !sink(std::string_view(chunk, got))) break;
        if (got < sizeof chunk) break;
    }
    ::close(file.fd);
    return ok;
}

int readWholeFile(const char* fileName, void* buffer, size_t capacity, std::string& why) {
    ReadableFile file = openRegularFile(resolveDataPath(fileName));
    if (file.fd < 0) {
        why = file.missing ? "is missing" : "cannot be read: " + file.reason;
        return 1;
    }
    // The caller's buffer is sized for the picture, not for the file: a longer file is cut.
    size_t got = 0;
    std::string reason;
    bool ok = readUpTo(file.fd, buffer, capacity, got, reason);
    ::close(file.fd);
    if (!ok) {
        why = "cannot be read: " + reason;
        return 1;
    }
    if (got == 0) {
        why = "is empty";
        return 1;
    }
    return 0;
}

int writeFile(const void* data, const char* fileName, long length) {
    std::string path = resolveSavePath(fileName);
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    // Said here, or the write below blames a missing directory for what went wrong making it.
    if (ec) {
        std::fprintf(stderr, "parapet: cannot write file %s: cannot create the directory %s: %s\n",
                     quotePath(path).c_str(), quotePath(parent.string()).c_str(),
                     ec.message().c_str());
        return 1;
    }
    std::string error;
    std::string_view bytes(static_cast<const char*>(data),
                           length > 0 ? static_cast<size_t>(length) : 0);
    if (!writeFileAtomically(path, bytes, error)) {
        std::fprintf(stderr, "parapet: cannot write file %s: %s\n", quotePath(path).c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}
