#pragma once
#include <cstdint>
#include <vector>

class Surface;

// Where a screen buffer may differ from the background it is refilled from, in tiles of 16 x 8
// pixels: the refill after each frame copies only those, not the whole screen.
class DirtyTiles {
public:
    static constexpr int tileWidth = 16;
    static constexpr int tileHeight = 8;

    DirtyTiles(int width, int height);

    void markAll() { all_ = true; }
    // The w x h rectangle at (x, y); whatever lies off the screen is left out.
    void mark(int x, int y, int w, int h);
    bool allMarked() const { return all_; }
    bool anyMarked() const;
    // Copies every marked tile of `from` onto `to` (both the screen's size); then nothing is
    // marked.
    void restore(Surface& to, const Surface& from);

private:
    int width_;
    int height_;
    int columns_;
    bool all_ = true;
    std::vector<uint64_t> rows_;  // one bit per tile of each tile row
};
