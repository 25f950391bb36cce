#pragma once
// Sound as a listener gets it, for the mixer, device and sound-file tests: voices mixed the way
// the device plays them, their loudness and their spectrum.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/mixer.h"

// The next `frames` frames of the mix, as the left channel; a right channel that differs
// fails the test.
std::vector<int16_t> mixLeft(Mixer& mixer, size_t frames);
// One recording alone at `hz`, started from silence, through a mixer at `outputRate`.
std::vector<int16_t> mixAlone(const std::vector<uint8_t>& recording, int hz, size_t frames,
                              bool looped, int outputRate = 48000);

// Mean power of the samples in [from, to), in dB above one unit squared.
double rmsDb(const std::vector<int16_t>& signal, size_t from = 0, size_t to = SIZE_MAX);

// Power spectrum (in dB, any reference) of the first power-of-two frames of a signal under a
// Blackman-Harris window, whose side lobes lie below -92 dB so a loud tone does not smear over
// the quiet bins being measured. Bin k is k * rate / size Hz.
std::vector<double> powerSpectrumDb(const std::vector<int16_t>& signal, size_t size);

// The loudest bin in [fromHz, toHz), in dB.
double loudestDb(const std::vector<double>& spectrum, int rate, double fromHz, double toHz);
