#include "engine/dirty_tiles.h"

#include <algorithm>
#include <cstring>

#include "platform/surface.h"

DirtyTiles::DirtyTiles(int width, int height)
    : width_(width),
      height_(height),
      columns_((width + tileWidth - 1) / tileWidth),
      rows_(static_cast<size_t>((height + tileHeight - 1) / tileHeight), 0) {}

void DirtyTiles::mark(int x, int y, int w, int h) {
    if (all_) return;
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + w, width_), bottom = std::min(y + h, height_);
    if (left >= right || top >= bottom) return;
    // Wider screens than 64 tiles keep no map: everything is copied.
    if (columns_ > 64) {
        all_ = true;
        return;
    }
    int firstColumn = left / tileWidth, lastColumn = (right - 1) / tileWidth;
    uint64_t bits = (lastColumn - firstColumn == 63 ? ~uint64_t{0}
                                                     : ((uint64_t{1} << (lastColumn - firstColumn + 1)) - 1))
                    << firstColumn;
    for (int row = top / tileHeight; row <= (bottom - 1) / tileHeight; ++row) rows_[row] |= bits;
}

bool DirtyTiles::anyMarked() const {
    if (all_) return true;
    for (uint64_t row : rows_)
        if (row != 0) return true;
    return false;
}

void DirtyTiles::restore(Surface& to, const Surface& from) {
    if (all_) {
        to.copyFrom(from);
        all_ = false;
        std::fill(rows_.begin(), rows_.end(), 0);
        return;
    }
    uint16_t* target = to.pixels();
    const uint16_t* source = from.pixels();
    for (size_t row = 0; row < rows_.size(); ++row) {
        uint64_t bits = rows_[row];
        rows_[row] = 0;
        int top = static_cast<int>(row) * tileHeight;
        int bottom = std::min(top + tileHeight, height_);
        while (bits != 0) {
            int first = __builtin_ctzll(bits);
            uint64_t fromFirst = bits >> first;
            int run = fromFirst == ~uint64_t{0} ? 64 - first : __builtin_ctzll(~fromFirst);
            bits &= run + first >= 64 ? 0 : ~uint64_t{0} << (first + run);
            int left = first * tileWidth;
            int right = std::min((first + run) * tileWidth, width_);
            size_t bytes = static_cast<size_t>(right - left) * sizeof(uint16_t);
            for (int y = top; y < bottom; ++y) {
                size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + left;
                std::memcpy(target + at, source + at, bytes);
            }
        }
    }
}
