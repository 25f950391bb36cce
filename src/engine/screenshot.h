#pragma once

class Surface;

// Writes the surface as an uncompressed 24-bit BMP. Returns 0 after writing, 1 without a
// surface, 2 when the buffer cannot be allocated, or writeFile's failure code.
int saveScreenshot(Surface* surface, const char* fileName);
