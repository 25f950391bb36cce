#pragma once
#include <string>

// An exclusive lock on a lock file (flock), made if missing and never followed if it is a
// link; held until destroyed, and let go by the system if the process dies. Copies of the
// game sharing a save directory take it around a read-merge-write of a shared file.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    // Why the lock could not be taken (the system's reason).
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};
