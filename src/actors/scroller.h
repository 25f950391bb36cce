#pragma once

class Engine;
class Font;
class Label;

// A ticker line: a fixed row of glyph actors just wider than the screen that glides left and
// steps one cell at a time, bringing in the next character of a text that wraps for ever.
class Scroller {
public:
    Scroller(Font* font, const char* text, int y);
    virtual ~Scroller();

    void setSpeed(double pixelsPerUpdate);
    void setEngine(Engine* engine) { engine_ = engine; }
    void rewind();
    void show();
    void hide();
    bool isShown() const { return shown_; }
    void update();

    Label* label() const { return label_; }
    int slots() const { return slots_; }
    int period() const { return period_; }
    int textPos() const { return textPos_; }

private:
    Engine* engine_ = nullptr;
    Label* label_ = nullptr;
    int period_;
    int slots_ = 0;
    bool shown_ = false;
    int ticks_ = 0;
    int cellWidth_;
    int cellHeight_;
    int y_;
    int textPos_ = 0;
    const char* text_;
    double speed_ = 1.0;
    Font* font_;
};
