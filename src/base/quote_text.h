#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text that came from outside the game (a script line, an option, a file name) made safe to
// repeat in a message: at most `limit` bytes of it, then "...", with every byte a terminal
// could take as a control (and every byte of broken UTF-8) written as \xNN.
constexpr size_t quoteLimit = 80;
// File names are longer than words and worth seeing whole when they are sane.
constexpr size_t quotePathLimit = 240;
std::string quoteText(std::string_view text, size_t limit = quoteLimit);
inline std::string quotePath(std::string_view path) { return quoteText(path, quotePathLimit); }
