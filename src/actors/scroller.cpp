#include "actors/scroller.h"

#include <climits>
#include <string>

#include "actors/actor.h"
#include "actors/font.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"

Scroller::Scroller(Font* font, const char* text, int y)
    : period_(font->cellWidth()),
      cellWidth_(font->cellWidth()),
      cellHeight_(font->cellHeight()),
      y_(y),
      text_(text),
      font_(font) {}

// The row of glyphs is the scroller's own; whoever ends a scroller takes the row out of the
// engine first (retireScroller) or ends the engine's drawing with it.
Scroller::~Scroller() { destroyLabel(label_); }

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
    const int blank = font_->cellFor(' ');
    for (Actor* a = label_->actor(); a != nullptr;
         a = a->childCount() > 0 ? a->firstChild() : nullptr)
        a->currentFrame()->setCell(blank);
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
    if (label_ == nullptr) {
        if (engine_ == nullptr) return;
        // Three cells more than the screen holds: one hangs off the left edge, and the row
        // glides up to a cell left before it jumps back, so the right edge never shows a gap.
        slots_ = engine_->screenWidth() / cellWidth_ + 3;
        const std::string spaces(slots_, ' ');
        label_ = new Label(spaces.c_str(), font_, cellWidth_ - font_->cellWidth());
        Actor* row = label_->actor();
        row->setPosition(-cellWidth_, y_);
        row->addTreeTo(engine_);
        row->showTree();
    }
    Actor* row = label_->actor();
    if (ticks_ < INT_MAX) ++ticks_;
    row->setVelocityX(-speed_);
    if (ticks_ < period_) return;
    ticks_ = 0;

    // The owner may rewrite the text while it runs, shorter too: wrap as soon as the end
    // of the text lies at or before textPos, never reading past it.
    const char* text = text_ != nullptr ? text_ : "";
    for (int i = 0; i <= textPos_; ++i) {
        if (text[i] == '\0') {
            textPos_ = 0;
            break;
        }
    }
    if (text[0] == '\0') return;
    const int cell = font_->cellFor(text[textPos_]);

    Actor* a = row;
    while (a->childCount() > 0) {
        Actor* next = a->firstChild();
        a->currentFrame()->setCell(next->currentFrame()->cell());
        a = next;
    }
    a->currentFrame()->setCell(cell);
    ++textPos_;
    row->setPosition(-cellWidth_, y_);
}
