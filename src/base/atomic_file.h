#pragma once
#include <string>

// Writes the whole file beside its final place, flushes it to the disk and renames it over
// the old one, so a crash or a full disk leaves either the old file or the new one. On
// failure returns false with the reason in `error` and leaves no temporary file behind.
bool writeFileAtomically(const std::string& path, const std::string& contents, std::string& error);
