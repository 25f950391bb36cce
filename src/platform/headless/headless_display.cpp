#include "platform/headless/headless_display.h"

HeadlessDisplay::HeadlessDisplay(int width, int height) : Display(width, height) {}

HeadlessDisplay::~HeadlessDisplay() = default;

void HeadlessDisplay::present() {}

void HeadlessDisplay::pumpEvents() {}

bool HeadlessDisplay::closeRequested() const { return closeRequested_; }
