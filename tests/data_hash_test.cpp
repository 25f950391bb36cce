#include "base/data_hash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;

TEST(DataHash, ChangesWithAnyGameFileButNotWithTheHighscores) {
    const fs::path dir = makeTempDir("data_hash");
    for (const char* folder : {"g", "s", "m"}) fs::create_directories(dir / folder);
    writeText(dir / "g" / "Title.raw", "picture");
    writeText(dir / "s" / "coming.raw", "sound");
    std::string base = hashDataDirectory(dir.string());
    EXPECT_EQ(base.size(), 16u);
    EXPECT_EQ(hashDataDirectory(dir.string()), base);

    writeText(dir / "g" / "gx.raw", "scores");
    writeText(dir / "notes.txt", "outside the data folders");
    EXPECT_EQ(hashDataDirectory(dir.string()), base);

    writeText(dir / "s" / "coming.raw", "sounD");
    std::string changed = hashDataDirectory(dir.string());
    EXPECT_NE(changed, base);
    writeText(dir / "s" / "coming.raw", "sound");
    fs::rename(dir / "s" / "coming.raw", dir / "s" / "going.raw");  // same bytes, other name
    EXPECT_NE(hashDataDirectory(dir.string()), base);
    writeText(dir / "m" / "track.raw", "");  // even an empty new file counts
    EXPECT_NE(hashDataDirectory(dir.string()), changed);
    fs::remove_all(dir);
}

}  // namespace
