// The highscore file: any bytes, whether handed to the decoder or read from the save
// directory, must give a table of terminated names that survives a save unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "program/highscores.h"
#include "fuzz_support.h"
#include "base/paths.h"

namespace {

void checkTable() {
    char names[3][9];
    int values[3];
    for (int i = 0; i < 3; ++i) {
        if (::strnlen(highscoreName[i], sizeof highscoreName[i]) >= sizeof highscoreName[i])
            std::abort();
        std::memcpy(names[i], highscoreName[i], sizeof names[i]);
        values[i] = highscoreValue[i];
    }
    unsigned char image[42];
    encodeHighscores(image);
    decodeHighscores(image, sizeof image);
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(names[i], highscoreName[i]) != 0 || values[i] != highscoreValue[i])
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetHighscores();
    decodeHighscores(data, static_cast<long>(size));
    checkTable();

    const std::string& dir = fuzz::tempDir();
    paths().saveDir = dir;
    paths().dataDir = dir;
    fuzz::writeBytes(dir + "/gx.raw", data, size);
    resetHighscores();
    loadHighscores();
    checkTable();
    return 0;
}
