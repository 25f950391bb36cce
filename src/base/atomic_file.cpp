#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int maxLinkHops = 40;  // as the kernel allows
constexpr std::string_view tempMarker = ".tmp.";

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Names the game itself writes. Only their leftovers are cleared from a directory: --record
// or --screenshot-dir may point into a folder where other programs keep files of their own.
bool isGameFileName(std::string_view name) {
    return name == "gx.raw" || name == "parapet.ini" || endsWith(name, ".replay") ||
           (endsWith(name, ".bmp") && (name.rfind("snap", 0) == 0 || name.rfind("frame-", 0) == 0));
}

// Removes <name>.tmp.<pid> files of the target's own name or the game's names whose process
// is gone: a write killed between creating its temporary file and the rename leaves one.
void removeStaleTemps(const std::string& dir, const std::string& targetName) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return;
    while (dirent* entry = ::readdir(d)) {
        std::string_view name = entry->d_name;
        size_t marker = name.rfind(tempMarker);
        if (marker == std::string_view::npos) continue;
        std::string_view base = name.substr(0, marker);
        std::string_view digits = name.substr(marker + tempMarker.size());
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        if (base != targetName && !isGameFileName(base)) continue;
        pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool replaceableFile(const std::string& path, std::string& target, std::string& error) {
    fs::path p = path;
    for (int hops = 0; hops <= maxLinkHops; ++hops) {
        struct stat info {};
        if (::lstat(p.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                error = std::strerror(errno);
                return false;
            }
            target = p.string();  // created by the write
            return true;
        }
        if (S_ISREG(info.st_mode)) {
            target = p.string();
            return true;
        }
        if (S_ISDIR(info.st_mode)) {
            error = "it is a directory";
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            error = "it is not a regular file (a device, pipe or socket)";
            return false;
        }
        std::error_code ec;
        fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            error = ec.message();
            return false;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    error = std::strerror(ELOOP);
    return false;
}

bool writeFileAtomically(const std::string& path, std::string_view contents, std::string& error) {
    std::string target;
    if (!replaceableFile(path, target, error)) return false;
    fs::path targetPath = target;
    std::string dir = targetPath.parent_path().string();
    removeStaleTemps(dir, targetPath.filename().string());

    // An old file keeps its permissions (a private settings file stays private).
    mode_t mode = 0644;
    struct stat old {};
    bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing) mode = old.st_mode & 07777;

    std::string temp = target + std::string(tempMarker) + std::to_string(::getpid());
    // A file of that name can only be a leftover of a killed process that had our pid; one
    // planted as a link must not lead the write elsewhere.
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = (!replacing || ::fchmod(fd, mode) == 0) && writeAll(fd, contents) && ::fsync(fd) == 0;
    int failure = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = std::strerror(failure);
        return false;
    }
    // The rename is only durable once the directory entry itself has reached the disk.
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}
