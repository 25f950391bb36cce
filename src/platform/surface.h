#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// A rectangle with inclusive left/top and exclusive right/bottom.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A 16-bit RGB565 picture in plain memory: width x height consecutive pixels, no pitch.
// Everything the game draws is drawn on these, so both backends show the same pixels.
class Surface {
public:
    Surface(int width, int height);
    virtual ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int bitCount() const { return 16; }

    // Direct pixel access. Locking is bookkeeping only (the memory never moves); it keeps
    // the old lock/unlock discipline visible where pixels are touched directly.
    uint16_t* lock();
    void unlock();
    bool isLocked() const { return lockCount_ > 0; }
    uint16_t* pixels() { return pixels_.data(); }
    const uint16_t* pixels() const { return pixels_.data(); }

    void fill(uint16_t colour);
    // Whole-surface copy; surfaces of different sizes copy their common top-left area.
    void copyFrom(const Surface& source);

    // Copies the w x h rectangle at (sx, sy) of source to (dx, dy) of this surface,
    // mirrored left-right and/or up-down if asked, skipping source pixels of value 0 when
    // colourKey is set, clipped to clip and to this surface. Never fails.
    void blit(const Surface& source, int sx, int sy, int w, int h, int dx, int dy, bool mirrorX,
              bool mirrorY, bool colourKey, const Rect& clip);

    // Precomputes the opaque runs of every row of every cellWidth x cellHeight cell, so that
    // keyed blits of whole cells skip transparency cheaply. fill, copyFrom and blits onto this
    // surface drop the runs; after writing pixels through lock(), call this again.
    void buildOpaqueRuns(int cellWidth, int cellHeight);
    // The smallest rectangle within cell `cell` (as drawn, mirrored or not) that holds every
    // pixel a keyed blit draws; false when there are no runs to tell (then assume the whole
    // cell). An empty rectangle for a cell with nothing to draw.
    bool opaqueBounds(int cell, bool mirrorX, bool mirrorY, Rect& out) const;

private:
    int width_;
    int height_;
    int lockCount_ = 0;
    std::vector<uint16_t> pixels_;
    struct RunTable;
    std::unique_ptr<RunTable> runs_;
};
