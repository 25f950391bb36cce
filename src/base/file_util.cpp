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
    // Said here, or the open below blames a missing directory for what went wrong making it.
    if (ec) {
        std::fprintf(stderr, "parapet: cannot write file %s: cannot create the directory %s: %s\n",
                     quotePath(path).c_str(), quotePath(parent.string()).c_str(),
                     ec.message().c_str());
        return 1;
    }

    // No O_TRUNC: an older, longer file keeps its tail, as the game always did.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "parapet: cannot write file %s: %s\n", quotePath(path).c_str(),
                     std::strerror(errno));
        return 1;
    }
    const char* p = static_cast<const char*>(data);
    long left = length > 0 ? length : 0;
    while (left > 0) {
        ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "parapet: cannot write file %s: %s\n", quotePath(path).c_str(),
                         n < 0 ? std::strerror(errno) : "nothing written");
            ::close(fd);
            return 1;
        }
        p += n;
        left -= n;
    }
    if (::close(fd) != 0) {
        std::fprintf(stderr, "parapet: cannot write file %s: %s\n", quotePath(path).c_str(),
                     std::strerror(errno));
        return 1;
    }
    return 0;
}
