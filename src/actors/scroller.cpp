#include "actors/scroller.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/font.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"

namespace {
// The game's screens have 640 pixels across.
constexpr int screenWidth = 640;

std::vector<const char*>& texts() {
    static std::vector<const char*> known;
    return known;
}
}  // namespace

int scrollerTextId(const char* text) {
    for (size_t i = 0; i < texts().size(); ++i)
        if (texts()[i] == text) return static_cast<int>(i);
    texts().push_back(text);
    return static_cast<int>(texts().size() - 1);
}

const char* scrollerTextById(int id) {
    if (id < 0 || id >= static_cast<int>(texts().size())) return nullptr;
    return texts()[id];
}

Scroller::Scroller(Font* font, const char* text, int y)
    : period_(font->cellWidth()),
      cellWidth_(font->cellWidth()),
      cellHeight_(font->cellHeight()),
      y_(y),
      font_(static_cast<uint8_t>(font->id())),
      text_(static_cast<uint8_t>(scrollerTextId(text))) {}

void* Scroller::operator new(size_t) {
    if (void* slot = theScrollerPool.allocate()) return slot;
    std::fprintf(stderr, "parapet: internal error: more than %d text lines at once\n",
                 scrollerSlots);
    std::abort();
}

// The row of glyphs is the scroller's own; whoever ends a scroller takes the row out of the
// engine first (retireScroller) or ends the engine's drawing with it.
void Scroller::operator delete(void* object) {
    auto* scroller = static_cast<Scroller*>(object);
    destroyLabel(scroller->label_);
    theScrollerPool.release(object);
}

void Scroller::setSpeed(double pixelsPerUpdate) {
    speed_ = pixelsPerUpdate;
    // A standing (or NaN) speed would make the period infinite; it then never steps.
    const double period = cellWidth_ / speed_;
    if (!(period < static_cast<double>(INT_MAX)))
        period_ = INT_MAX;
    else if (period < 0.0)
        period_ = 0;
    else
        period_ = static_cast<int>(period);
}

void Scroller::rewind() {
    textPos_ = 0;
    ticks_ = period_;
    if (label_ == nullptr) return;
    const int blank = fontById(font_)->cellFor(' ');
    for (Actor* a = label_->actor(); a != nullptr; a = a->firstChild()) a->setGlyphCell(blank);
}

void Scroller::show() {
    if (label_ != nullptr) label_->actor()->showTree();
    shown_ = true;
}

void Scroller::hide() {
    if (label_ != nullptr) label_->actor()->hideTree();
    shown_ = false;
}

void Scroller::update() {
    Font* font = fontById(font_);
    if (label_ == nullptr) {
        if (!onStage_) return;
        // Three cells more than the screen holds: one hangs off the left edge, and the row
        // glides up to a cell left before it jumps back, so the right edge never shows a gap.
        slots_ = screenWidth / cellWidth_ + 3;
        const std::string spaces(slots_, ' ');
        label_ = new Label(spaces.c_str(), font, cellWidth_ - font->cellWidth());
        Actor* row = label_->actor();
        row->setPosition(-cellWidth_, y_);
        row->addTreeToStage();
        row->showTree();
    }
    Actor* row = label_->actor();
    if (ticks_ < INT_MAX) ++ticks_;
    row->setVelocityX(-speed_);
    if (ticks_ < period_) return;
    ticks_ = 0;

    // The owner may rewrite the text while it runs, shorter too: wrap as soon as the end
    // of the text lies at or before textPos, never reading past it.
    const char* text = scrollerTextById(text_);
    if (text == nullptr) text = "";
    for (int i = 0; i <= textPos_; ++i) {
        if (text[i] == '\0') {
            textPos_ = 0;
            break;
        }
    }
    if (text[0] == '\0') return;
    const int cell = font->cellFor(text[textPos_]);

    Actor* a = row;
    while (Actor* next = a->firstChild()) {
        a->setGlyphCell(next->glyphCell());
        a = next;
    }
    a->setGlyphCell(cell);
    ++textPos_;
    row->setPosition(-cellWidth_, y_);
}
