// A small tracker for the level music. A song is a list of sections; each section has a
// chord per bar (or two), a lead melody in note names, and short patterns that turn the
// chords into bass lines, chord stabs or arpeggios, and drum grooves.
//
// Text conventions, all split on spaces:
//   chords   "Am F C G"; "Am,G" shares a bar between two chords. Qualities: m 7 m7 maj7
//            dim sus2 sus4 5; "C/E" sets the bass note.
//   melody   bars separated by '|'; the tokens of a bar divide it evenly, so 8 tokens are
//            eighths and 16 are sixteenths. "E5" "F#4" "Bb3" play, "-" holds, "." rests.
//   bass     one bar of steps: R root, 3 third, 5 fifth, 7 seventh, 8 octave, r root an
//            octave down, "-" hold, "." rest.
//   harmony  one bar of steps: C the whole chord, 1..4 one chord tone (arpeggio),
//            "-" hold, "." rest.
//   drums    rows of one bar each, separated by '/', each starting with its drum:
//            k kick, s snare, h closed hat, o open hat, c crash, t low tom, m high tom.
//            'x' hits, 'X' accents, 'o' a ghost note, '.' nothing.
#pragma once
#include <string>
#include <vector>

#include "sound_dsp.h"

namespace snd {

struct Instrument {
    enum class Wave { Pulse, Saw, DoubleSaw, Triangle, Sine };
    Wave wave = Wave::Pulse;
    double width = 0.5;          // pulse width
    double detuneCents = 0;      // second oscillator of DoubleSaw, or a chorus on Pulse
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.08;
    double cutoff = 3000, cutoffEnv = 0, q = 0.8;  // lowpass, opened by cutoffEnv at the note's start
    double vibratoHz = 5.5, vibratoDepth = 0, vibratoDelay = 0.2;  // depth in semitones
    double gain = 1.0;
    double gateFraction = 0.92;  // how much of a step a note holds before its release
    int octave = 0;              // transposes the part by whole octaves
};

struct Section {
    std::string chords;
    std::string lead;
    std::string counter;   // second melody for the harmony instrument, optional
    std::string bass;
    std::string harmony;
    std::string drums;
    std::string fill;      // drums for the last bar of the section, optional
    int repeat = 1;
    bool harmonise = false;  // the counter instrument doubles the lead a chord tone below
};

struct Song {
    double bpm = 120;
    int beatsPerBar = 4;
    double swing = 0;      // 0 straight; 0.1 pushes every off-beat late by a tenth of a beat
    Instrument lead, counter, harmony, bass;  // set `counter` whenever a section uses it
    double leadEcho = 0;   // feedback echo on the lead, in beats; 0 off
    double drumLevel = 1.0;
    double kickPitch = 1.0;  // scales the kick's pitch sweep; lower is heavier
    int harmonyCentre = 62;  // chord voicings cluster around this MIDI note
    bool crashOnSections = true;  // a cymbal marks the first bar of every section
    uint64_t seed = 1;
    std::vector<Section> sections;
};

struct SongStats {
    size_t loopSamples = 0;
    int bars = 0;
};

// Renders the song as one seamless loop at `rate`.
Buffer renderSong(const Song& song, double rate, SongStats* stats = nullptr);

// The parser's pieces, exposed so they can be checked on their own.
// A chord's pitch classes, root first; the bass note's class goes to bassPitchClass.
std::vector<int> chordTones(const std::string& symbol, int* bassPitchClass = nullptr);
// MIDI number of a note name like "C4" (60), "F#3", "Bb5"; -1 when it is not one.
int noteNumber(const std::string& name);

}  // namespace snd
