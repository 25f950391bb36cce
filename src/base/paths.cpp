#include "base/paths.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

#ifndef PARAPET_DATA_FROM_BINARY
#define PARAPET_DATA_FROM_BINARY "../share/games/parapet"
#endif

Paths& paths() {
    static Paths thePaths;
    return thePaths;
}

namespace {

// "g\\Title.raw" -> ("g", "Title.raw") when the name starts with a drive or folder prefix
// the game uses; false for anything else.
bool splitGameName(const std::string& name, std::string& prefix, std::string& rest) {
    auto slash = name.find('\\');
    if (slash == std::string::npos) return false;
    prefix = name.substr(0, slash);
    rest = name.substr(slash + 1);
    return prefix == "g" || prefix == "s" || prefix == "m" || prefix == "c:";
}

std::string join(const std::string& dir, const std::string& a, const std::string& b = "") {
    fs::path p = dir.empty() ? fs::path(".") : fs::path(dir);
    p /= a;
    if (!b.empty()) p /= b;
    return p.string();
}

}  // namespace

std::string resolveDataPath(const char* gameName) {
    std::string name = gameName ? gameName : "";
    std::string prefix, rest;
    if (!splitGameName(name, prefix, rest)) return name;
    if (prefix == "c:") return join(paths().screenshotDir, rest);
    return join(paths().dataDir, prefix, rest);
}

std::string resolveSavePath(const char* gameName) {
    std::string name = gameName ? gameName : "";
    std::string prefix, rest;
    if (!splitGameName(name, prefix, rest)) return name;
    if (prefix == "c:") return join(paths().screenshotDir, rest);
    return join(paths().saveDir, rest);
}

std::string dataDirBeside(const std::string& exeDir) {
    // The build tree keeps data/ beside the program; an installed game keeps it where the
    // build's install layout put it, relative to the program so that a staged or unpacked
    // tree works as well as the final place. ../share/parapet is the plain layout's.
    const fs::path dir = exeDir;
    std::error_code ec;
    for (const char* relative : {"data", PARAPET_DATA_FROM_BINARY, "../share/parapet"}) {
        fs::path candidate = (dir / relative).lexically_normal();
        if (fs::is_directory(candidate, ec)) return candidate.string();
    }
    return (dir / "data").string();
}

std::string defaultDataDir(const char* argv0) {
    if (const char* env = std::getenv("PARAPET_DATA"); env != nullptr && *env != '\0') return env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 != nullptr) exe = fs::absolute(argv0, ec);
    return dataDirBeside(exe.parent_path().string());
}

std::string defaultSaveDir() {
    // A relative XDG_DATA_HOME is invalid by the XDG base directory rules and is ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        return (fs::path(xdg) / "parapet").string();
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return (fs::path(home) / ".local" / "share" / "parapet").string();
    return "parapet-save";
}
