#include "platform/display.h"

#include <utility>

Display::Display(int width, int height)
    : front_(std::make_unique<Surface>(width, height)),
      back_(std::make_unique<Surface>(width, height)) {}

Display::~Display() = default;

void Display::flip() { std::swap(front_, back_); }
