#include "program/highscore_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/file_util.h"
#include "base/atomic_file.h"

namespace {

constexpr int recordSize = 14;
constexpr int nameBytes = 8;
constexpr int scoreBytes = 6;

// Reads the score field the way the old reader's atoi did (blanks, a sign, digits up to the
// first other character), but from at most six bytes so a hand-edited file cannot push it
// past the field or overflow.
int parseScoreField(const unsigned char* field) {
    int i = 0;
    while (i < scoreBytes && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < scoreBytes && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < scoreBytes && field[i] >= '0' && field[i] <= '9'; ++i)
        value = value * 10 + (field[i] - '0');
    return negative ? -value : value;
}

void setBuiltIn(HighscoreTable& table, int i) {
    std::memset(table.name[i], 0, sizeof table.name[i]);
    std::strcpy(table.name[i], "Zorvik");
    table.value[i] = 0;
}

// The lock a save holds while it reads, merges and writes; released when closed (also when
// the process dies).
class SaveLock {
public:
    explicit SaveLock(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = std::strerror(errno);
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            error_ = std::strerror(errno);
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
    ~SaveLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    bool held() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

}  // namespace

HighscoreTable builtInHighscores() {
    HighscoreTable table;
    for (int i = 0; i < 3; ++i) setBuiltIn(table, i);
    return table;
}

void encodeHighscoreTable(const HighscoreTable& table, unsigned char out[highscoreFileBytes]) {
    std::memset(out, 0, highscoreFileBytes);
    for (int i = 0; i < 3; ++i) {
        unsigned char* record = out + recordSize * i;
        // Only the name's own characters are stored; the rest of the field stays NUL so no
        // stale bytes of the buffer end up in the file.
        std::memcpy(record, table.name[i], strnlen(table.name[i], nameBytes));
        // A value of more than six digits keeps its first six: the field is fixed by the
        // file format and older files must stay readable.
        char text[16];
        std::snprintf(text, sizeof text, "%d", table.value[i]);
        std::memcpy(record + nameBytes, text, strnlen(text, scoreBytes));
    }
    for (int i = 0; i < highscoreFileBytes; ++i) out[i] = static_cast<unsigned char>(out[i] ^ 0xFF);
}

HighscoreTable decodeHighscoreTable(const unsigned char* data, long length) {
    HighscoreTable table = builtInHighscores();
    for (int i = 0; i < 3; ++i) {
        // A record the file does not hold whole cannot be trusted in any part.
        if (data == nullptr || length < static_cast<long>(recordSize) * (i + 1)) continue;
        unsigned char plain[recordSize];
        for (int k = 0; k < recordSize; ++k)
            plain[k] = static_cast<unsigned char>(data[recordSize * i + k] ^ 0xFF);
        // All eight bytes, whatever they are: a byte the font cannot draw shows as the font
        // shows any unknown character, and the name reads back as it was written.
        std::memcpy(table.name[i], plain, nameBytes);
        table.name[i][nameBytes] = '\0';
        table.value[i] = parseScoreField(plain + nameBytes);
    }
    return table;
}

HighscoreTable betterHighscores(const HighscoreTable& ours, const HighscoreTable& theirs,
                                bool theirsWinTies) {
    HighscoreTable better = ours;
    for (int i = 0; i < 3; ++i) {
        bool theirsStands =
            theirs.value[i] > ours.value[i] || (theirs.value[i] == ours.value[i] && theirsWinTies);
        if (!theirsStands) continue;
        std::memcpy(better.name[i], theirs.name[i], sizeof better.name[i]);
        better.value[i] = theirs.value[i];
    }
    return better;
}

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
    SaveLock lock(target + ".lock");
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
