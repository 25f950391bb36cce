#include "platform/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// Opaque runs of every row of every cell of a sheet. A keyed blit of a whole cell then only
// touches the pixels that will be drawn: sprites are mostly transparent, and testing every
// pixel against the key costs more than the drawing itself.
struct Surface::RunTable {
    struct Run {
        uint16_t row;  // within the cell
        uint16_t start;
        uint16_t length;
    };
    // Runs of one picture: those of row r of cell c are runs[rowStart[i]] ..
    // runs[rowStart[i + 1] - 1] with i = c * cellHeight + r; start is relative to the cell.
    // bounds[c] is the smallest rectangle within the cell holding all its runs.
    struct Runs {
        std::vector<uint32_t> rowStart;
        std::vector<Run> runs;
        std::vector<Rect> bounds;
    };
    int cellWidth = 0;
    int cellHeight = 0;
    int columns = 0;
    int rows = 0;
    Runs plain;
    // Every cell mirrored left-right within itself, with its own runs: a mirrored sprite is
    // then copied forwards like any other instead of pixel by pixel backwards.
    std::vector<uint16_t> mirroredPixels;
    Runs mirrored;
};

Surface::Surface(int width, int height)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

Surface::~Surface() = default;

uint16_t* Surface::lock() {
    ++lockCount_;
    return pixels_.data();
}

void Surface::unlock() {
    if (lockCount_ > 0) --lockCount_;
}

void Surface::fill(uint16_t colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
    runs_.reset();
}

void Surface::copyFrom(const Surface& source) {
    runs_.reset();
    if (source.width_ == width_ && source.height_ == height_) {
        std::memcpy(pixels_.data(), source.pixels_.data(), pixels_.size() * sizeof(uint16_t));
        return;
    }
    int w = std::min(width_, source.width_);
    int h = std::min(height_, source.height_);
    for (int y = 0; y < h; ++y)
        std::memcpy(&pixels_[static_cast<size_t>(y) * width_],
                    &source.pixels_[static_cast<size_t>(y) * source.width_],
                    static_cast<size_t>(w) * sizeof(uint16_t));
}

namespace {

// Copies a short run of pixels with a few wide moves (overlapping at the end) instead of a
// call into the library: sprite rows are mostly a few dozen pixels, where the call dominates.
inline void copyRun(uint16_t* dst, const uint16_t* src, int n) {
    if (n >= 16) {
        int i = 0;
        for (; i + 16 <= n; i += 16) std::memcpy(dst + i, src + i, 32);
        if (i < n) std::memcpy(dst + n - 16, src + n - 16, 32);
    } else if (n >= 8) {
        std::memcpy(dst, src, 16);
        std::memcpy(dst + n - 8, src + n - 8, 16);
    } else if (n >= 4) {
        std::memcpy(dst, src, 8);
        std::memcpy(dst + n - 4, src + n - 4, 8);
    } else if (n >= 2) {
        std::memcpy(dst, src, 4);
        std::memcpy(dst + n - 2, src + n - 2, 4);
    } else if (n == 1) {
        *dst = *src;
    }
}

// The target rectangle actually written: the w x h rectangle at (dx, dy) cut by the clip
// rectangle and the target's own edges.
bool clippedTarget(int dx, int dy, int w, int h, const Rect& clip, int targetW, int targetH,
                   Rect& out) {
    out.left = std::max({dx, clip.left, 0});
    out.top = std::max({dy, clip.top, 0});
    out.right = std::min({dx + w, clip.right, targetW});
    out.bottom = std::min({dy + h, clip.bottom, targetH});
    return out.left < out.right && out.top < out.bottom;
}

}  // namespace

void Surface::blit(const Surface& source, int sx, int sy, int w, int h, int dx, int dy,
                   bool mirrorX, bool mirrorY, bool colourKey, const Rect& clip) {
    if (w <= 0 || h <= 0) return;
    // A source rectangle reaching outside the source is refused, as the blitter would.
    if (sx < 0 || sy < 0 || sx + w > source.width_ || sy + h > source.height_) return;
    Rect t;
    if (!clippedTarget(dx, dy, w, h, clip, width_, height_, t)) return;
    if (&source != this) runs_.reset();

    const RunTable* table = source.runs_.get();
    if (colourKey && table != nullptr && w == table->cellWidth && h == table->cellHeight &&
        sx % w == 0 && sy % h == 0 && sx / w < table->columns && sy / h < table->rows) {
        const int cell = (sy / h) * table->columns + sx / w;
        const uint16_t* picture = mirrorX ? table->mirroredPixels.data() : source.pixels_.data();
        const RunTable::Runs& runs = mirrorX ? table->mirrored : table->plain;
        const bool unclipped = t.left == dx && t.right == dx + w;
        if (unclipped && t.top == dy && t.bottom == dy + h) {
            // The usual case, a sprite wholly on screen: one pass over the cell's runs.
            const RunTable::Run* run = runs.runs.data() + runs.rowStart[static_cast<size_t>(cell) * h];
            const RunTable::Run* end =
                runs.runs.data() + runs.rowStart[static_cast<size_t>(cell + 1) * h];
            const uint16_t* src = picture + static_cast<size_t>(sy) * source.width_ + sx;
            uint16_t* dst = pixels_.data() + static_cast<size_t>(dy) * width_ + dx;
            const int flipRow = mirrorY ? h - 1 : 0;
            const int rowSign = mirrorY ? -1 : 1;
            for (; run != end; ++run) {
                const int targetRow = flipRow + rowSign * run->row;
                copyRun(dst + static_cast<ptrdiff_t>(targetRow) * width_ + run->start,
                        src + static_cast<ptrdiff_t>(run->row) * source.width_ + run->start,
                        run->length);
            }
            return;
        }
        for (int ty = t.top; ty < t.bottom; ++ty) {
            const int row = mirrorY ? h - 1 - (ty - dy) : ty - dy;
            const uint16_t* srcRow = picture + static_cast<size_t>(sy + row) * source.width_ + sx;
            uint16_t* dstRow = &pixels_[static_cast<size_t>(ty) * width_];
            const size_t i = static_cast<size_t>(cell) * h + row;
            const RunTable::Run* run = runs.runs.data() + runs.rowStart[i];
            const RunTable::Run* end = runs.runs.data() + runs.rowStart[i + 1];
            if (unclipped) {
                for (; run != end; ++run)
                    copyRun(dstRow + dx + run->start, srcRow + run->start, run->length);
                continue;
            }
            for (; run != end; ++run) {
                const int from = std::max(dx + run->start, t.left);
                const int to = std::min(dx + run->start + run->length, t.right);
                if (from < to) copyRun(dstRow + from, srcRow + (from - dx), to - from);
            }
        }
        return;
    }

    for (int ty = t.top; ty < t.bottom; ++ty) {
        const int row = mirrorY ? h - 1 - (ty - dy) : ty - dy;
        const uint16_t* srcRow = &source.pixels_[static_cast<size_t>(sy + row) * source.width_ + sx];
        uint16_t* dstRow = &pixels_[static_cast<size_t>(ty) * width_];
        for (int tx = t.left; tx < t.right; ++tx) {
            const int col = mirrorX ? w - 1 - (tx - dx) : tx - dx;
            const uint16_t p = srcRow[col];
            if (colourKey && p == 0) continue;
            dstRow[tx] = p;
        }
    }
}

namespace {

template <typename Runs>
void findRuns(const uint16_t* pixels, int width, int cellWidth, int cellHeight, int columns,
              int cells, Runs& out) {
    std::vector<uint32_t>& rowStart = out.rowStart;
    auto& runs = out.runs;
    rowStart.reserve(static_cast<size_t>(cells) * cellHeight + 1);
    out.bounds.reserve(static_cast<size_t>(cells));
    for (int c = 0; c < cells; ++c) {
        const int left = (c % columns) * cellWidth;
        const int top = (c / columns) * cellHeight;
        Rect bounds{cellWidth, cellHeight, 0, 0};
        for (int r = 0; r < cellHeight; ++r) {
            rowStart.push_back(static_cast<uint32_t>(runs.size()));
            const uint16_t* row = pixels + static_cast<size_t>(top + r) * width + left;
            int x = 0;
            while (x < cellWidth) {
                while (x < cellWidth && row[x] == 0) ++x;
                const int start = x;
                while (x < cellWidth && row[x] != 0) ++x;
                if (x <= start) continue;
                runs.push_back({static_cast<uint16_t>(r), static_cast<uint16_t>(start),
                                static_cast<uint16_t>(x - start)});
                bounds = Rect{std::min(bounds.left, start), std::min(bounds.top, r),
                              std::max(bounds.right, x), std::max(bounds.bottom, r + 1)};
            }
        }
        if (bounds.left >= bounds.right) bounds = Rect{};
        out.bounds.push_back(bounds);
    }
    rowStart.push_back(static_cast<uint32_t>(runs.size()));
}

}  // namespace

void Surface::buildOpaqueRuns(int cellWidth, int cellHeight) {
    runs_.reset();
    if (cellWidth <= 0 || cellHeight <= 0 || cellWidth > 0xFFFF || cellHeight > 0xFFFF) return;
    auto table = std::make_unique<RunTable>();
    table->cellWidth = cellWidth;
    table->cellHeight = cellHeight;
    table->columns = width_ / cellWidth;
    table->rows = height_ / cellHeight;
    const int cells = table->columns * table->rows;

    table->mirroredPixels = pixels_;
    for (int y = 0; y < table->rows * cellHeight; ++y)
        for (int c = 0; c < table->columns; ++c) {
            uint16_t* row = &table->mirroredPixels[static_cast<size_t>(y) * width_ + c * cellWidth];
            std::reverse(row, row + cellWidth);
        }

    findRuns(pixels_.data(), width_, cellWidth, cellHeight, table->columns, cells, table->plain);
    findRuns(table->mirroredPixels.data(), width_, cellWidth, cellHeight, table->columns, cells,
             table->mirrored);
    runs_ = std::move(table);
}

bool Surface::opaqueBounds(int cell, bool mirrorX, bool mirrorY, Rect& out) const {
    const RunTable* table = runs_.get();
    if (table == nullptr || cell < 0 || cell >= table->columns * table->rows) return false;
    out = (mirrorX ? table->mirrored : table->plain).bounds[static_cast<size_t>(cell)];
    if (mirrorY && out.bottom > out.top)
        out = Rect{out.left, table->cellHeight - out.bottom, out.right, table->cellHeight - out.top};
    return true;
}
