#pragma once
#include <cstdint>
#include <memory>

class Engine;

// One cell of a sprite sheet as it is drawn: optionally mirrored, with a hot spot and an
// opacity mask in drawn orientation (used for pixel-exact collisions).
class SpriteFrame {
public:
    SpriteFrame(int sheet, bool mirrorX, bool mirrorY, int hotX, int hotY, int cell,
                Engine* engine);
    virtual ~SpriteFrame();
    SpriteFrame(const SpriteFrame&) = delete;
    SpriteFrame& operator=(const SpriteFrame&) = delete;

    int sheet() const { return sheet_; }
    int cell() const { return cell_; }
    int hotX() const { return hotX_; }
    int hotY() const { return hotY_; }
    bool mirrorX() const { return mirrorX_; }
    bool mirrorY() const { return mirrorY_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    Engine* engine() const { return engine_; }
    bool hasMask() const { return mask_ != nullptr; }

    // Changes only the cell shown; the mask stays the one built at construction.
    void setCell(int cell) { cell_ = cell; }
    // Mask byte at column x, row y; the caller keeps x and y inside the cell.
    bool isOpaque(int x, int y) const { return mask_[y * cellWidth_ + x] != 0; }

private:
    void buildMask();

    Engine* engine_;
    std::unique_ptr<uint8_t[]> mask_;
    int sheet_;
    int cell_;
    bool mirrorX_;
    bool mirrorY_;
    int cellWidth_;
    int cellHeight_;
    int hotX_;
    int hotY_;
};
