// assetgen: makes every picture, sound and music file the game reads.
//   assetgen OUTDIR                  writes OUTDIR/g, OUTDIR/s, OUTDIR/m
//   assetgen OUTDIR --preview DIR    also writes PNG contact sheets and WAV files into DIR
//   assetgen OUTDIR --icons DIR      also writes the desktop icons (PNG per size) into DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "assetgen.h"
#include "icon.h"

int main(int argc, char** argv) {
    std::string outDir;
    std::string previewDir;
    std::string iconDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            previewDir = argv[++i];
        } else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
            iconDir = argv[++i];
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: assetgen OUTDIR [--preview DIR] [--icons DIR]\n");
            return 2;
        } else {
            outDir = argv[i];
        }
    }
    if (outDir.empty()) {
        std::fprintf(stderr, "usage: assetgen OUTDIR [--preview DIR] [--icons DIR]\n");
        return 2;
    }
    bool ok = generatePictures(outDir) && generateSounds(outDir) && writeWindowIcon(outDir);
    if (ok && !iconDir.empty()) ok = writeIcons(iconDir);
    if (ok && !previewDir.empty())
        ok = previewPictures(outDir, previewDir) && previewSounds(outDir, previewDir);
    return ok ? 0 : 1;
}
