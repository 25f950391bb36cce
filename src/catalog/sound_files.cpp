#include "catalog/sound_files.h"

namespace {

struct SoundTable {
    SoundFile files[soundCount] = {
        {"s\\splat3.raw", 11025},          {"s\\wildscream.raw", 22050},
        {"s\\wildscream2.raw", 11025},     {"s\\oof.raw", 11025},
        {"s\\fadescream.raw", 11025},      {"s\\chainsaw_loop.raw", 11025},
        {"s\\chainsaw_slash1.raw", 11025}, {"s\\clang.raw", 8000},
        {"s\\Crowdohh.raw", 8000},         {"s\\Nuclear.raw", 7500},
        {"s\\Cheer.raw", 11025},           {"s\\coming.raw", 22050},
        {"s\\vorlantide.raw", 22050},      {"s\\chancefor.raw", 22050},
        {"s\\tschonk.raw", 22050},         {"s\\death1.raw", 22050},
        {"s\\death2.raw", 22050},          {"s\\smartup.raw", 22050},
        {"s\\swish.raw", 22050},           {"s\\stahl.raw", 22050},
    };
    char musicNames[musicTrackCount][12] = {};

    SoundTable() {
        // "m\mus01.raw" counted up the way the game always named its tracks.
        char name[12] = "m\\mus01.raw";
        for (int i = 0; i < musicTrackCount; ++i) {
            for (int k = 0; k < 12; ++k) musicNames[i][k] = name[k];
            files[effectCount + i] = {musicNames[i], 22050};
            advanceTrackName(name);
        }
    }
};

const SoundTable& table() {
    static const SoundTable sounds;
    return sounds;
}

}  // namespace

const SoundFile& soundFile(Sound sound) { return table().files[soundIndex(sound)]; }

void advanceTrackName(char name[12]) {
    // The two-digit number sits in characters 6 and 7 of "m\mus01.raw".
    if (name[6] == '9') {
        name[6] = '0';
        ++name[5];
    } else {
        ++name[6];
    }
}
