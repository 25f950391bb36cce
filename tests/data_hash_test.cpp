#include "base/data_hash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(DataHash, ChangesWithAnyGameFileButNotWithTheHighscores) {
    fs::path dir = fs::temp_directory_path() / "parapet_data_hash_test";
    fs::remove_all(dir);
    write(dir / "g" / "Title.raw", "picture");
    write(dir / "s" / "coming.raw", "sound");
    std::string base = hashDataDirectory(dir.string());
    EXPECT_EQ(base.size(), 16u);
    EXPECT_EQ(hashDataDirectory(dir.string()), base);

    write(dir / "g" / "gx.raw", "scores");
    write(dir / "notes.txt", "outside the data folders");
    EXPECT_EQ(hashDataDirectory(dir.string()), base);

    write(dir / "s" / "coming.raw", "sounD");
    std::string changed = hashDataDirectory(dir.string());
    EXPECT_NE(changed, base);
    write(dir / "s" / "coming.raw", "sound");
    fs::rename(dir / "s" / "coming.raw", dir / "s" / "going.raw");  // same bytes, other name
    EXPECT_NE(hashDataDirectory(dir.string()), base);
    write(dir / "m" / "track.raw", "");  // even an empty new file counts
    EXPECT_NE(hashDataDirectory(dir.string()), changed);
    fs::remove_all(dir);
}

}  // namespace
