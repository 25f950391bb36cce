#include "program/window_icon.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/display.h"
#include "base/paths.h"

bool showWindowIcon(Display& display) {
    const std::string path = resolveDataPath(windowIconName);
    std::vector<uint8_t> rgba(size_t(windowIconSize) * windowIconSize * 4);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(rgba.data()), std::streamsize(rgba.size()));
    if (!in || in.gcount() != std::streamsize(rgba.size())) {
        std::fprintf(
            stderr, "parapet: cannot read the window icon %s (%s); the window keeps a plain icon\n",
            path.c_str(), in.is_open() ? "shorter than 64 x 64 RGBA pixels" : "cannot open it");
        return false;
    }
    display.setIcon(rgba.data(), windowIconSize, windowIconSize);
    return true;
}
