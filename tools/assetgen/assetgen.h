#pragma once
#include <string>

// Writes every picture file of g/ into outDir/g; returns false on a write error.
bool generatePictures(const std::string& outDir);
// Writes every sound effect of s/ and music track of m/ into outDir/s and outDir/m.
bool generateSounds(const std::string& outDir);
// Contact sheets and animation strips (PNG) into previewDir.
bool previewPictures(const std::string& outDir, const std::string& previewDir);
// One WAV per sound and track into previewDir.
bool previewSounds(const std::string& outDir, const std::string& previewDir);
// Writes bytes to path, creating its directory; false (with a line on stderr) on failure.
bool writeBytes(const std::string& path, const void* data, size_t size);
