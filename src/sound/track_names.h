#pragma once

// Raises the two-digit track number of a music file name in place ("m\\mus09.raw" ->
// "m\\mus10.raw").
void advanceTrackName(char name[12]);
