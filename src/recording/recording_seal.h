#pragma once
#include <string>
#include <string_view>

// A recording ends with "checksum <16 hex digits>": FNV-1a (64 bits) of every byte before
// that line. It says nothing of what the lines mean, only that none was changed, lost or cut.

// The text with its checksum line appended.
std::string sealRecording(std::string text);
// Checks the last line; on success `body` is the text before it. On failure `error` says
// whether the file was cut short or changed.
bool unsealRecording(std::string_view text, std::string_view& body, std::string& error);
