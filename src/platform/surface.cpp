#include "platform/surface.h"

#include <algorithm>
#include <cstring>

// Opaque runs of every row of every cell of a sheet. A keyed blit of a whole cell then only
// touches the pixels that will be drawn: sprites are mostly transparent, and testing every
// pixel against the key costs more than the drawing itself.
struct Surface::RunTable {
    struct Run {
        uint16_t start;
        uint16_t length;
    };
    int cellWidth = 0;
    int cellHeight = 0;
    int columns = 0;
    int rows = 0;
    // Runs of row r of cell c are runs[rowStart[i]] .. runs[rowStart[i + 1] - 1] with
    // i = c * cellHeight + r; start is relative to the cell's left edge.
    std::vector<uint32_t> rowStart;
    std::vector<Run> runs;
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
        for (int ty = t.top; ty < t.bottom; ++ty) {
            const int row = mirrorY ? h - 1 - (ty - dy) : ty - dy;
            const uint16_t* srcRow = &source.pixels_[static_cast<size_t>(sy + row) * source.width_ + sx];
            uint16_t* dstRow = &pixels_[static_cast<size_t>(ty) * width_];
            const size_t i = static_cast<size_t>(cell) * h + row;
            const RunTable::Run* run = table->runs.data() + table->rowStart[i];
            const RunTable::Run* end = table->runs.data() + table->rowStart[i + 1];
            for (; run != end; ++run) {
                int a = run->start;
                int b = a + run->length;
                if (!mirrorX) {
                    int from = std::max(dx + a, t.left);
                    int to = std::min(dx + b, t.right);
                    if (from < to)
                        std::memcpy(dstRow + from, srcRow + (from - dx),
                                    static_cast<size_t>(to - from) * sizeof(uint16_t));
                } else {
                    // Source column c lands on target column dx + w - 1 - c.
                    int from = std::max(dx + w - b, t.left);
                    int to = std::min(dx + w - a, t.right);
                    const uint16_t* s = srcRow + (dx + w - 1 - from);
                    for (int x = from; x < to; ++x) dstRow[x] = *s--;
                }
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

void Surface::buildOpaqueRuns(int cellWidth, int cellHeight) {
    runs_.reset();
    if (cellWidth <= 0 || cellHeight <= 0 || cellWidth > 0xFFFF) return;
    auto table = std::make_unique<RunTable>();
    table->cellWidth = cellWidth;
    table->cellHeight = cellHeight;
    table->columns = width_ / cellWidth;
    table->rows = height_ / cellHeight;
    const int cells = table->columns * table->rows;
    table->rowStart.reserve(static_cast<size_t>(cells) * cellHeight + 1);
    for (int c = 0; c < cells; ++c) {
        const int left = (c % table->columns) * cellWidth;
        const int top = (c / table->columns) * cellHeight;
        for (int r = 0; r < cellHeight; ++r) {
            table->rowStart.push_back(static_cast<uint32_t>(table->runs.size()));
            const uint16_t* row = &pixels_[static_cast<size_t>(top + r) * width_ + left];
            int x = 0;
            while (x < cellWidth) {
                while (x < cellWidth && row[x] == 0) ++x;
                int start = x;
                while (x < cellWidth && row[x] != 0) ++x;
                if (x > start)
                    table->runs.push_back({static_cast<uint16_t>(start),
                                           static_cast<uint16_t>(x - start)});
            }
        }
    }
    table->rowStart.push_back(static_cast<uint32_t>(table->runs.size()));
    runs_ = std::move(table);
}
