#include "rules/highscore_table.h"

#include <cstdio>
#include <cstring>

#include "rules/game_state.h"

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

HighscoreTable worldHighscores() {
    HighscoreTable table;
    std::memcpy(table.name, highscoreName, sizeof table.name);
    std::memcpy(table.value, highscoreValue, sizeof table.value);
    return table;
}

void setWorldHighscores(const HighscoreTable& table) {
    std::memcpy(highscoreName, table.name, sizeof table.name);
    std::memcpy(highscoreValue, table.value, sizeof table.value);
}

void resetHighscores() { setWorldHighscores(builtInHighscores()); }

void encodeHighscores(unsigned char out[highscoreFileBytes]) {
    encodeHighscoreTable(worldHighscores(), out);
}

void decodeHighscores(const unsigned char* data, long length) {
    setWorldHighscores(decodeHighscoreTable(data, length));
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

void keepBetterHighscores(const unsigned char* theirs, bool theirsWinTies) {
    setWorldHighscores(betterHighscores(
        worldHighscores(), decodeHighscoreTable(theirs, highscoreFileBytes), theirsWinTies));
    game.highscoresChanged = 1;
}
