#pragma once
#include <cstddef>

// The line the menu scrolls across the top: all three highscores with their names.
// Always NUL-terminated within size bytes.
void buildHighscoreText(char* buffer, size_t size);
