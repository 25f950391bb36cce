#include "program/highscores.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/file_util.h"
#include "rules/game_state.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "base/trace.h"

namespace {
constexpr const char* highscoreFile = "g\\gx.raw";
constexpr const char* defaultName = "Zorvik";
constexpr int recordSize = 14;
constexpr int nameBytes = 8;
constexpr int scoreBytes = 6;
constexpr int fileBytes = 3 * recordSize;

void setDefaultEntry(int i) {
    std::memset(highscoreName[i], 0, sizeof highscoreName[i]);
    std::strcpy(highscoreName[i], defaultName);
    highscoreValue[i] = 0;
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

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

// Writes all of data to fd, riding out short writes and interrupted calls.
bool writeAll(int fd, const unsigned char* data, size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

// The rename is only durable once the directory entry itself has reached the disk.
bool syncDirectory(const std::string& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void reportSaveFailure(const std::string& path, const std::string& reason) {
    std::fprintf(stderr,
                 "parapet: could not save the highscores to %s: %s (the previous file is kept; "
                 "check that the save directory is writable)\n",
                 quotePath(path).c_str(), reason.c_str());
}

// The highscore file of this run when it exists but could not be read.
struct RefusedFile {
    bool refused = false;
    std::string path;
    std::string reason;
} refusedFile;

enum class Found { missing, read, unreadable };

Found readHighscoreFile(const std::string& path, std::string& reason) {
    ReadableFile file = openRegularFile(path);
    if (file.fd < 0) {
        reason = file.reason;
        return file.missing ? Found::missing : Found::unreadable;
    }
    unsigned char data[fileBytes];
    size_t got = 0;
    bool ok = readUpTo(file.fd, data, sizeof data, got, reason);
    ::close(file.fd);
    if (!ok) return Found::unreadable;
    decodeHighscores(data, static_cast<long>(got));
    return Found::read;
}

// The file a save replaces: where a symbolic link gx.raw leads (through any chain of them),
// so the link the player made, into a synced folder say, stays a link and its target current.
std::filesystem::path saveTarget(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

// A save killed between creating its temporary file and the rename leaves the file behind;
// the next save clears those whose process is gone.
void removeStaleTemps(const std::string& dir, const std::string& base) {
    namespace fs = std::filesystem;
    const std::string prefix = base + ".tmp.";
    std::error_code ec;
    for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 ||
            name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = static_cast<pid_t>(std::stol(digits));
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}
}  // namespace

namespace {
bool highscoresWritable = true;
}

void setHighscoresWritable(bool writable) { highscoresWritable = writable; }

void resetHighscores() {
    for (int i = 0; i < 3; ++i) setDefaultEntry(i);
}

void encodeHighscores(unsigned char out[42]) {
    std::memset(out, 0, fileBytes);
    for (int i = 0; i < 3; ++i) {
        unsigned char* record = out + recordSize * i;
        // Only the name's own characters are stored; the rest of the field stays NUL so no
        // stale bytes of the buffer end up in the file.
        size_t nameLength = strnlen(highscoreName[i], nameBytes);
        std::memcpy(record, highscoreName[i], nameLength);
        // A value of more than six digits keeps its first six: the field is fixed by the
        // file format and older files must stay readable.
        char text[16];
        std::snprintf(text, sizeof text, "%d", highscoreValue[i]);
        size_t textLength = strnlen(text, scoreBytes);
        std::memcpy(record + nameBytes, text, textLength);
    }
    for (int i = 0; i < fileBytes; ++i) out[i] = static_cast<unsigned char>(out[i] ^ 0xFF);
}

void decodeHighscores(const unsigned char* data, long length) {
    for (int i = 0; i < 3; ++i) {
        if (data == nullptr || length < static_cast<long>(recordSize) * (i + 1)) {
            // A record the file does not hold whole cannot be trusted in any part.
            setDefaultEntry(i);
            continue;
        }
        unsigned char plain[recordSize];
        for (int k = 0; k < recordSize; ++k)
            plain[k] = static_cast<unsigned char>(data[recordSize * i + k] ^ 0xFF);
        std::memset(highscoreName[i], 0, sizeof highscoreName[i]);
        for (int k = 0; k < nameBytes && isLetter(plain[k]); ++k)
            highscoreName[i][k] = static_cast<char>(plain[k]);
        highscoreValue[i] = parseScoreField(plain + nameBytes);
    }
}

void loadHighscores() {
    refusedFile = {};
    std::string savePath = resolveSavePath(highscoreFile);
    std::string reason;
    Found found = readHighscoreFile(savePath, reason);
    if (found == Found::missing) {
        // The data directory's copy is only a starting table: a save never replaces it, so
        // failing to read it costs nothing but the message.
        std::string dataPath = resolveDataPath(highscoreFile);
        if (readHighscoreFile(dataPath, reason) == Found::unreadable) {
            resetHighscores();
            std::fprintf(stderr,
                         "parapet: cannot read the highscore file %s: %s; playing with "
                         "the built-in table\n",
                         quotePath(dataPath).c_str(), reason.c_str());
        }
        return;
    }
    if (found == Found::unreadable) {
        // The player's records may be in there: play on, but never write over them.
        resetHighscores();
        refusedFile = {true, savePath, reason};
        std::fprintf(stderr,
                     "parapet: cannot read the highscore file %s: %s; playing with the built-in "
                     "table, and the file is left as it is\n",
                     quotePath(savePath).c_str(), reason.c_str());
    }
}

int saveHighscores() {
    if (!highscoresWritable) return 0;

    namespace fs = std::filesystem;
    std::string path = resolveSavePath(highscoreFile);
    if (refusedFile.refused) {
        std::fprintf(stderr,
                     "parapet: the new highscore cannot be kept: the highscore file %s could not "
                     "be read at start-up (%s), so it is left as it is\n",
                     quotePath(refusedFile.path).c_str(), refusedFile.reason.c_str());
        return 1;
    }
    std::string dir = fs::path(path).parent_path().string();
    std::error_code ec;
    if (!dir.empty()) {
        fs::create_directories(dir, ec);
        if (ec) {
            reportSaveFailure(path, "cannot create " + quotePath(dir) + ": " + ec.message());
            return 1;
        }
    }

    unsigned char image[fileBytes];
    encodeHighscores(image);

    // Written beside the real file and renamed over it, so a crash or a full disk at any
    // moment leaves either the old table or the new one, never half of each.
    fs::path target = saveTarget(path);
    std::string targetDir = target.parent_path().string();
    removeStaleTemps(targetDir, target.filename().string());
    std::string temp = target.string() + ".tmp." + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        reportSaveFailure(path, std::strerror(errno));
        return 1;
    }
    bool written = writeAll(fd, image, sizeof image);
    int writeError = errno;
    bool synced = written && ::fsync(fd) == 0;
    int syncError = errno;
    bool closed = ::close(fd) == 0;
    if (!written || !synced || !closed) {
        ::unlink(temp.c_str());
        reportSaveFailure(path, std::strerror(!written ? writeError : !synced ? syncError : errno));
        return 1;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int renameError = errno;
        ::unlink(temp.c_str());
        reportSaveFailure(path, std::strerror(renameError));
        return 1;
    }
    syncDirectory(targetDir);
    traceHighscoreSaved(path);
    return 0;
}

bool isNewHighscore(int players, const int* scores, int& bestPlayer, int& bestScore) {
    bestPlayer = 0;
    bestScore = 0;
    if (players < 1 || players > 3 || scores == nullptr) return false;
    bestScore = scores[0];
    for (int k = 1; k < players; ++k) {
        if (scores[k] > bestScore) {
            bestScore = scores[k];
            bestPlayer = k;
        }
    }
    return bestScore > highscoreValue[players - 1];
}
