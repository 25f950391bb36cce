#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "actors/animation_table.h"

namespace {

// The animation table written out a second time, by hand and in another shape, so that a
// slip in either copy shows up as a difference.
//
//   "sheet | frames | mirror | hot x | hot y"
//   frames: cell/duration, ":skip" after a non-zero skip, "_" for a blank cell,
//           "@N" for the frames of row N
//   mirror: "-" none, "X" left-right on every frame
//   hot x, hot y: one value for every frame, or one per frame; "v*n" repeats v n times
const std::map<int, std::string> listing = {
    {0, "4 | 33/255:-1 | - | 0 | 0"},
    {1, "4 | 34/255:-1 | - | 0 | 0"},
    {2, "4 | 35/255:-1 | - | 0 | 0"},
    {3, "0 | 1/8 2/8 3/4 4/4 5/4 6/4 5/4 4/4 3/4 7/4 8/4 9/4 8/4 7/4:-12 | - | 0 | 0"},
    {4, "0 | @3 | X | 0 | 0"},
    {5, "0 | 0/255:-1 | - | 0 | 0"},
    {6, "1 | 5/2 4/2 3/2 2/2 1/2 0/2:-1 | - | 0 | 0"},
    {7, "1 | @6 | X | 0 | 0"},
    {8, "1 | 0/2 1/2 2/2 3/2 4/2 5/2 _/255:-1 | - | 0 | 0"},
    {9, "1 | @8 | X | 0 | 0"},
    {10, "2 | 0/255:-1 | - | 0 | 0"},
    {11, "0 | 10/6 11/6 12/6 13/6 12/6 11/6 10/6 14/6 15/6 16/6 15/6 14/6:-12 | - "
         "| 0*8 14*3 0 | 0"},
    {12, "0 | @11 | X | 0*8 -20*3 0 | 0"},
    {13, "0 | 17/255:-1 | - | 0 | 0"},
    {14, "0 | 18/5 19/5 20/5 21/5:-1 | - | 0 | 0"},
    {15, "3 | 0/5 1/5 2/5 1/5 0/5 3/5 4/5 3/5:-8 | - | 0 | 0"},
    {16, "3 | @15 | X | 0 | 0"},
    {17, "3 | 5/8 6/8 7/8 8/8 9/8 10/8 11/8 12/8 13/8 5/8:-10 | - | 0 | -43"},
    {18, "3 | 5/7 6/7 7/7 8/7 9/7 10/7 11/7 12/7 13/7 5/7:-10 | - | 0 | -43"},
    {19, "3 | 5/6 6/6 7/6 8/6 9/6 10/6 11/6 12/6 13/6 5/6:-10 | - | 0 | -43"},
    {20, "3 | 5/4 6/4 7/4 8/4 9/4 10/4 11/4 12/4 13/4 5/4:-10 | - | 0 | -43"},
    {21, "3 | 14/8 15/8 16/8 17/8 18/8 19/8 20/8:-1 | - | 0 | -25"},
    {22, "3 | 22/5 22/5:-2 | - | 0 | 0 2"},
    {23, "3 | @22 | X | 0 | 0 2"},
    {24, "3 | 21/10 22/2 23/2 24/2 25/20 24/8 23/8 22/8:-8 | - | 0 | 0"},
    {25, "3 | @24 | X | 0 | 0"},
    {26, "3 | 5/255:-1 | - | 0 | -43"},
    {27, "0 | 22/255:-1 | - | 0 | 0"},
    {28, "4 | 0/255:-1 | - | 0 | 0"},
    {29, "0 | 23/8 24/8 25/8 26/8 25/8 24/8 23/8 27/8 28/8 27/8:-10 | - | 0 "
         "| 0 -2 0 -2 0 -2 0 -2 0 -2"},
    {30, "0 | @29 | X | 0 | 0 -2 0 -2 0 -2 0 -2 0 -2"},
    {31, "0 | 29/4 30/16 31/2 32/2:-1 | - | 20 | 0 -2 0 -2"},
    {32, "0 | @31 | X | -20 | 0 -2 0 -2"},
    {33, "0 | 33/1 48/1 33/1 48/1 33/1 48/1 33/1 48/1 33/1 48/1 33/1 34/2 35/6 34/2 "
         "33/255:-1 | - | 30*11 40 50 40 30 | 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0"},
    {34, "0 | @33 | X | -30*11 -40 -50 -40 -30 | 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0"},
    {35, "0 | 36/6 37/6 38/6 39/6 38/6 37/6:-1 | - | 45 | 0"},
    {36, "0 | @35 | X | -45 | 0"},
    {37, "0 | 40/255:-1 | X | 0 | 0"},
    {38, "3 | 26/15 27/6 28/15 29/3 30/3 31/3 32/3 _/255 | - | 0 | 0"},
    {39, "3 | @38 | X | 0 | 0"},
    {40, "3 | 33/25 34/5 35/5 36/5 37/5 34/5 35/5 36/5 37/5 38/25 39/5 40/5 41/5:33 "
         "5/34:5 35/5 _/255 | - | 0 | 0"},
    {41, "3 | @40 | X | 0 | 0"},
    {42, "3 | 45/12 46/4 47/4 48/4 49/4 50/4 _/255:-1 | - | 0 | 0"},
    {43, "3 | @42 | X | 0 | 0"},
    {44, "0 | 23/1 23/1:-2 | - | 0 | 0 -2"},
    {45, "0 | @44 | X | 0 | 0 -2"},
    {46, "4 | 5/2 6/2 7/2 8/2 9/2 10/2 11/2 12/2:-7 | X | 0 | 0"},
    {47, "4 | @46 | - | 0 | 0"},
    {48, "4 | 1/2 2/2 3/2 4/2:10 1/2 11/2 12/2 13/2 14/2 15/2 16/2 17/2:-11 | X | 0 | 0"},
    {49, "4 | @48 | - | 0 | 0"},
    {50, "0 | 41/1 42/1 _/255:-1 | - | 0 | 0"},
    {51, "4 | 30/255:-1 | - | 0 | 0"},
    {52, "4 | 31/255:-1 | - | 0 | 0"},
    {53, "4 | 32/255:-1 | - | 0 | 0"},
    {54, "4 | 27/255:-1 | - | 0 | 0"},
    {55, "4 | 28/255:-1 | - | 0 | 0"},
    {56, "4 | 29/255:-1 | - | 0 | 0"},
    {57, "0 | 43/255:-1 | - | 0 | 0"},
};

struct ListedFrame {
    int cell, duration, skip, mirror, hotX, hotY;
};
struct ListedRow {
    int sheet = -1;
    std::vector<ListedFrame> frames;
};

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// "30*11 40" -> 30 x 11, 40; a single value is spread over every frame.
std::vector<int> hotSpots(const std::string& field, size_t count) {
    std::vector<int> values;
    for (const std::string& w : words(field)) {
        auto star = w.find('*');
        int v = std::stoi(w.substr(0, star));
        int n = star == std::string::npos ? 1 : std::stoi(w.substr(star + 1));
        values.insert(values.end(), n, v);
    }
    if (values.size() == 1) values.assign(count, values[0]);
    return values;
}

ListedRow listedRow(int row) {
    const auto fields = split(listing.at(row), '|');
    EXPECT_EQ(fields.size(), 5u) << "row " << row;
    ListedRow out;
    out.sheet = std::stoi(fields[0]);
    const auto frameWords = words(fields[1]);
    if (frameWords.size() == 1 && frameWords[0][0] == '@') {
        out.frames = listedRow(std::stoi(frameWords[0].substr(1))).frames;
    } else {
        for (const std::string& w : frameWords) {
            ListedFrame f{};
            auto slash = w.find('/');
            auto colon = w.find(':');
            std::string cell = w.substr(0, slash);
            f.cell = cell == "_" ? -1 : std::stoi(cell);
            f.duration = std::stoi(w.substr(slash + 1, colon - slash - 1));
            f.skip = colon == std::string::npos ? 0 : std::stoi(w.substr(colon + 1));
            out.frames.push_back(f);
        }
    }
    const std::string mirror = words(fields[2]).at(0);
    const auto hx = hotSpots(fields[3], out.frames.size());
    const auto hy = hotSpots(fields[4], out.frames.size());
    EXPECT_EQ(hx.size(), out.frames.size()) << "row " << row;
    EXPECT_EQ(hy.size(), out.frames.size()) << "row " << row;
    for (size_t j = 0; j < out.frames.size(); ++j) {
        out.frames[j].mirror = mirror == "X" ? 1 : 0;
        out.frames[j].hotX = j < hx.size() ? hx[j] : 9999;
        out.frames[j].hotY = j < hy.size() ? hy[j] : 9999;
    }
    return out;
}

}  // namespace

TEST(AnimationRows, EveryRowMatchesTheHandWrittenListing) {
    ASSERT_EQ(listing.size(), static_cast<size_t>(animationRowCount));
    for (int row = 0; row < animationRowCount; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const ListedRow want = listedRow(row);
        const AnimationRowData& got = animationRows[row];
        EXPECT_EQ(got.sheet, want.sheet);
        ASSERT_EQ(got.frameCount, static_cast<int>(want.frames.size()));
        for (int j = 0; j < got.frameCount; ++j) {
            SCOPED_TRACE("frame " + std::to_string(j));
            const ListedFrame& f = want.frames[j];
            EXPECT_EQ(got.cells[j], f.cell);
            EXPECT_EQ(got.durations[j], f.duration);
            EXPECT_EQ(got.skips[j], f.skip);
            EXPECT_EQ(got.mirror[j], f.mirror);
            EXPECT_EQ(got.hotX[j], f.hotX);
            EXPECT_EQ(got.hotY[j], f.hotY);
        }
    }
}

// Whatever a row's skips say, stepping must stay inside the row: a skip that lands before
// frame 0 would index before the frame array (running past the end is held at the last).
TEST(AnimationRows, NoSkipLeadsBeforeTheFirstFrame) {
    for (int row = 0; row < animationRowCount; ++row) {
        const AnimationRowData& r = animationRows[row];
        for (int j = 0; j < r.frameCount; ++j)
            EXPECT_GE(j + r.skips[j] + 1, 0) << "row " << row << " frame " << j;
    }
}

TEST(AnimationRows, DurationsScaleToTheUpdateCountsTheGameIsTimedBy) {
    const std::pair<int, int> authoredToUpdates[] = {
        {1, 0},  {2, 1},   {3, 1},   {4, 2},   {5, 3},   {6, 3},   {7, 4},   {8, 5},
        {10, 6}, {12, 7},  {15, 9},  {16, 10}, {20, 13}, {25, 16}, {34, 22}, {255, 165},
    };
    for (auto [authored, updates] : authoredToUpdates)
        EXPECT_EQ(scaledDuration(authored), updates) << authored;
}
