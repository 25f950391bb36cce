#include "engine/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "shell/log.h"
#include "shell/paths.h"

namespace {

// errno of the failure that led to fatalFileError; the log calls in between may change it.
const char* reasonFor(int err) { return err != 0 ? std::strerror(err) : "read error"; }

[[noreturn]] void failReading(const char* fileName, int err) {
    errno = err;
    fatalFileError(fileName);
}

}  // namespace

long fileSize(const char* fileName) {
    std::string path = resolveDataPath(fileName);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return 0;
    // A directory opens too, and seeking to its end gives a size nobody can allocate.
    struct stat info {};
    if (::fstat(::fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(f);
        return 0;
    }
    long size = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::fclose(f);
    return size > 0 ? size : 0;
}

int readWholeFile(const char* fileName, void* buffer, size_t capacity) {
    long size = fileSize(fileName);
    if (size == 0) return 1;
    std::string path = resolveDataPath(fileName);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) failReading(fileName, errno);
    // The caller's buffer is sized for the picture, not for the file: a longer file is cut.
    size_t wanted = std::min(static_cast<size_t>(size), capacity);
    size_t got = std::fread(buffer, 1, wanted, f);
    if (got < wanted && std::ferror(f)) {
        int err = errno;
        std::fclose(f);
        failReading(fileName, err);
    }
    std::fclose(f);
    return 0;
}

int readFileRange(const char* fileName, void* buffer, long offset, long length) {
    std::string path = resolveDataPath(fileName);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) failReading(fileName, errno);
    if (length > 0) {
        if (std::fseek(f, offset, SEEK_SET) != 0) {
            int err = errno;
            std::fclose(f);
            failReading(fileName, err);
        }
        size_t got = std::fread(buffer, 1, static_cast<size_t>(length), f);
        if (got < static_cast<size_t>(length) && std::ferror(f)) {
            int err = errno;
            std::fclose(f);
            failReading(fileName, err);
        }
    }
    std::fclose(f);
    return 0;
}

void fatalFileError(const char* fileName) {
    int err = errno;
    std::string path = resolveDataPath(fileName);
    std::fprintf(stderr, "cannot read data file %s: %s\n", path.c_str(), reasonFor(err));
    if (logIsOpen()) {
        logLine(fileName);
        closeLog();
    }
    std::exit(1);
}

int writeFile(const void* data, const char* fileName, long length) {
    std::string path = resolveSavePath(fileName);
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);

    // No O_TRUNC: an older, longer file keeps its tail, as the game always did.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "cannot write file %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    const char* p = static_cast<const char*>(data);
    long left = length > 0 ? length : 0;
    while (left > 0) {
        ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "cannot write file %s: %s\n", path.c_str(),
                         n < 0 ? std::strerror(errno) : "nothing written");
            ::close(fd);
            return 1;
        }
        p += n;
        left -= n;
    }
    if (::close(fd) != 0) {
        std::fprintf(stderr, "cannot write file %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
