#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Power spectrum (in dB, any reference) of the first power-of-two frames of a signal under a
// Blackman-Harris window, whose side lobes lie below -92 dB so a loud tone does not smear over
// the quiet bins being measured. Bin k is k * rate / size Hz.
std::vector<double> powerSpectrumDb(const std::vector<int16_t>& signal, size_t size);

// The loudest bin in [fromHz, toHz), in dB.
double loudestDb(const std::vector<double>& spectrum, int rate, double fromHz, double toHz);
