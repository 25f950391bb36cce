#include "program/highscore_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/file_util.h"
#include "base/atomic_file.h"
#include "base/file_lock.h"

HighscoreRead readHighscoreFile(const std::string& path, HighscoreTable& table,
                                std::string& reason) {
    ReadableFile file = openRegularFile(path);
    if (file.fd < 0) {
        reason = file.reason;
        return file.missing ? HighscoreRead::missing : HighscoreRead::unreadable;
    }
    unsigned char data[highscoreFileBytes];
    size_t got = 0;
    bool ok = readUpTo(file.fd, data, sizeof data, got, reason);
    ::close(file.fd);
    if (!ok) return HighscoreRead::unreadable;
    table = decodeHighscoreTable(data, static_cast<long>(got));
    return HighscoreRead::read;
}

bool saveHighscoreFile(const std::string& path, const HighscoreTable& ours, HighscoreTable& saved,
                       std::string& error) {
    std::string target;
    if (!replaceableFile(path, target, error)) return false;
    FileLock lock(target + ".lock");
    if (!lock.held()) {
        error = "cannot lock it (" + lock.error() + ")";
        return false;
    }
    HighscoreTable onDisk;
    std::string reason;
    switch (readHighscoreFile(target, onDisk, reason)) {
        case HighscoreRead::missing:
            saved = ours;
            break;
        case HighscoreRead::read:
            saved = betterHighscores(ours, onDisk, true);
            break;
        case HighscoreRead::unreadable:
            error = "the file there now cannot be read (" + reason + ")";
            return false;
    }
    unsigned char image[highscoreFileBytes];
    encodeHighscoreTable(saved, image);
    return writeFileAtomically(path, std::string_view(reinterpret_cast<char*>(image), sizeof image),
                               error);
}
