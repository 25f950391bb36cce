// The level music: eight tunes that differ in tempo, key and mood, so a player can tell
// by ear how far the game has gone. Early levels march and bounce; later ones chase.
#include "sound_tracks.h"

// Sections name only the parts they play; the rest stay empty on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace snd {

namespace {
using Wave = Instrument::Wave;

Instrument pulseLead(double width, double vibrato) {
    Instrument i;
    i.wave = Wave::Pulse;
    i.width = width;
    i.attack = 0.006;
    i.decay = 0.18;
    i.sustain = 0.65;
    i.release = 0.09;
    i.cutoff = 3200;
    i.cutoffEnv = 2500;
    i.q = 0.9;
    i.vibratoDepth = vibrato;
    i.vibratoDelay = 0.22;
    i.gain = 0.32;
    return i;
}

Instrument sawLead(double cutoff) {
    Instrument i;
    i.wave = Wave::Saw;
    i.attack = 0.012;
    i.decay = 0.25;
    i.sustain = 0.7;
    i.release = 0.12;
    i.cutoff = cutoff;
    i.cutoffEnv = 2200;
    i.q = 1.3;
    i.vibratoDepth = 0.18;
    i.vibratoDelay = 0.2;
    i.gain = 0.3;
    return i;
}

Instrument brass() {
    Instrument i;
    i.wave = Wave::DoubleSaw;
    i.detuneCents = 9;
    i.attack = 0.012;
    i.decay = 0.14;
    i.sustain = 0.45;
    i.release = 0.07;
    i.cutoff = 1100;
    i.cutoffEnv = 2600;
    i.q = 1.1;
    i.gain = 0.3;
    i.gateFraction = 0.6;
    return i;
}

Instrument pad(double cutoff) {
    Instrument i;
    i.wave = Wave::DoubleSaw;
    i.detuneCents = 13;
    i.attack = 0.3;
    i.decay = 0.6;
    i.sustain = 0.8;
    i.release = 0.45;
    i.cutoff = cutoff;
    i.cutoffEnv = 400;
    i.q = 0.9;
    i.gain = 0.09;
    return i;
}

Instrument arp(double width) {
    Instrument i;
    i.wave = Wave::Pulse;
    i.width = width;
    i.attack = 0.002;
    i.decay = 0.09;
    i.sustain = 0.25;
    i.release = 0.05;
    i.cutoff = 1800;
    i.cutoffEnv = 2500;
    i.q = 1.0;
    i.gain = 0.16;
    i.gateFraction = 0.8;
    return i;
}

Instrument sawBass(double cutoff) {
    Instrument i;
    i.wave = Wave::Saw;
    i.attack = 0.004;
    i.decay = 0.12;
    i.sustain = 0.6;
    i.release = 0.05;
    i.cutoff = cutoff;
    i.cutoffEnv = 900;
    i.q = 1.6;
    i.gain = 0.5;
    i.gateFraction = 0.85;
    return i;
}

Instrument pulseBass() {
    Instrument i;
    i.wave = Wave::Pulse;
    i.width = 0.4;
    i.attack = 0.004;
    i.decay = 0.15;
    i.sustain = 0.7;
    i.release = 0.05;
    i.cutoff = 700;
    i.cutoffEnv = 600;
    i.q = 1.0;
    i.gain = 0.45;
    i.gateFraction = 0.8;
    return i;
}

// A march: D major, brass stabs on the off-beats, snare rolls, a tune to stand to.
Song march() {
    Song s;
    s.bpm = 116;
    s.seed = 11;
    s.lead = pulseLead(0.25, 0.15);
    s.harmony = brass();
    s.bass = pulseBass();
    s.bass.gain = 0.36;
    s.leadEcho = 0.75;
    const char* drums = "k:x.......x......./s:....x..o....x.oo/h:x.x.x.x.x.x.x.x.";
    const char* roll = "k:x.......x......./s:x.xxx.xxx.xxXXXX/h:x.x.x.x.........";
    s.sections = {
        {.chords = "D D G A", .counter = "F#4 - - - | F#4 - - - | G4 - - - | E4 - - -", .bass = "R . 5 .",
         .harmony = ". C . C", .drums = drums, .fill = roll},
        {.chords = "D G D A D G A7 D",
         .lead = "D5 - D5 C#5 B4 - A4 - | B4 - G4 - B4 D5 G5 - | F#5 - E5 D5 A4 - F#4 A4 | E5 - - - C#5 - A4 - |"
                 "D5 - D5 C#5 B4 - A4 - | B4 - G4 - B4 D5 G5 - | F#5 - E5 - C#5 - E5 - | D5 - - - - - . .",
         .bass = "R . 5 .", .harmony = ". C . C", .drums = drums, .fill = roll},
        {.chords = "Bm G D A Bm G E7 A",
         .lead = "F#5 - - E5 D5 - B4 - | G4 - B4 - D5 - G5 - | F#5 - A5 - F#5 - D5 - | E5 - - - - - . . |"
                 "F#5 - - E5 D5 - B4 - | B4 - D5 - G5 - B5 - | G#5 - - F#5 E5 - D5 - | C#5 - E5 - A5 - - -",
         .bass = "R . 5 . R . 3 .", .harmony = ". C . C", .drums = drums, .fill = roll},
        {.chords = "D G D A D G A7 D",
         .lead = "D5 - D5 C#5 B4 - A4 - | B4 - G4 - B4 D5 G5 - | F#5 - E5 D5 A4 - F#4 A4 | E5 - - - C#5 - A4 - |"
                 "D5 - D5 C#5 B4 - A4 - | B4 - G4 - B4 D5 G5 - | F#5 - E5 - C#5 - E5 - | D5 - - - - - . .",
         .counter = "A4 - - - | G4 - - - | A4 - - - | A4 - - - | F#4 - - - | G4 - - - | G4 - - - | F#4 - - -",
         .bass = "R . 5 .", .harmony = ". C . C", .drums = drums, .fill = roll},
    };
    s.counter = pad(1600);
    return s;
}

// A chase: E minor, sixteenth arpeggios over a pounding bass, tense and quick.
Song chase() {
    Song s;
    s.bpm = 140;
    s.seed = 22;
    s.lead = sawLead(2200);
    s.lead.gain = 0.48;
    s.harmony = arp(0.3);
    s.bass = sawBass(500);
    s.leadEcho = 0.5;
    const char* drums = "k:x..x..x.x..x../s:....x.......x.../h:xxxxxxxxxxxxxxxx";
    const char* fill = "k:x..x..x.x..x../s:....x...x.xxXXXX/h:xxxxxxxx........";
    const char* arps = "1 2 3 2 1 2 3 2 1 2 3 2 1 2 3 4";
    const char* bass = "R R R R R R 8 R";
    const char* partA =
        "B4 . E5 . G5 - F#5 E5 | G5 - - - E5 - C5 - | A4 . C5 . E5 - D5 C5 | B4 - - - D#5 - F#5 - |"
        "B4 . E5 . G5 - B5 - | A5 - G5 - E5 - G5 - | E5 - C5 - A4 - C5 - | D#5 - - - B4 - - -";
    const char* partB =
        "E5 - - G5 - - E5 - | F#5 - - A5 - - F#5 - | G5 - - - F#5 - E5 - | B4 - - - - - . . |"
        "G5 - - E5 - - C5 - | A5 - - F#5 - - D5 - | D#5 - F#5 - B5 - A5 - | F#5 - - - D#5 - B4 -";
    s.sections = {
        {.chords = "Em Em C B", .bass = bass, .harmony = arps, .drums = drums, .fill = fill},
        {.chords = "Em C Am B Em C Am B", .lead = partA, .bass = bass, .harmony = arps, .drums = drums, .fill = fill},
        {.chords = "C D Em Em C D B B", .lead = partB, .bass = bass, .harmony = arps, .drums = drums, .fill = fill},
        {.chords = "Em C Am B Em C Am B", .lead = partA, .bass = bass, .harmony = arps, .drums = drums, .fill = fill},
        {.chords = "C D Em Em C D B B", .lead = partB, .bass = bass, .harmony = arps, .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}

// A bouncy one: F major with a swing, off-beat chords and a bass that jumps octaves.
Song bounce() {
    Song s;
    s.bpm = 128;
    s.swing = 0.09;
    s.seed = 33;
    s.lead = pulseLead(0.5, 0.12);
    s.lead.cutoff = 2600;
    s.harmony = brass();
    s.harmony.wave = Wave::Pulse;
    s.harmony.width = 0.35;
    s.harmony.gain = 0.16;
    s.bass = pulseBass();
    s.bass.wave = Wave::Triangle;
    s.bass.cutoff = 1500;
    s.bass.gain = 0.6;
    s.harmonyCentre = 65;
    const char* drums = "k:x.....x.x...../s:....x.......x..o/h:x.xxx.xxx.xxx.xx";
    const char* fill = "k:x.....x.x...../s:....x...x.x.xxxx/h:x.xxx.xx........";
    const char* bass = "R . 8 . 5 . 8 .";
    const char* offbeats = ". C . C . C . C";
    const char* partA =
        "C5 - A4 C5 F5 - E5 F5 | D5 - F5 - A5 - F5 - | G5 - F5 - D5 - Bb4 - | Bb4 - C5 - E5 - G5 - |"
        "A5 - G5 A5 F5 - C5 - | D5 - E5 F5 A5 - - - | G5 - Bb5 - E5 - G5 - | F5 - - - . . . .";
    const char* partB =
        "F5 - D5 - Bb4 - D5 F5 | E5 - C5 - G4 - C5 E5 | A5 - - - E5 - C5 - | D5 - F5 - A5 - D6 - |"
        "D6 - C6 - Bb5 - F5 - | G5 - E5 - C5 - E5 - | F5 - A5 - D5 - F5 - | G5 - - - E5 - C5 -";
    s.sections = {
        {.chords = "F C7", .bass = bass, .harmony = offbeats, .drums = drums, .fill = fill},
        {.chords = "F Dm Gm C7 F Dm Gm,C7 F", .lead = partA, .bass = bass, .harmony = offbeats, .drums = drums, .fill = fill},
        {.chords = "Bb C Am Dm Bb C F,Dm Gm,C7", .lead = partB, .bass = bass, .harmony = offbeats, .drums = drums, .fill = fill},
        {.chords = "F Dm Gm C7 F Dm Gm,C7 F", .lead = partA, .bass = bass, .harmony = offbeats, .drums = drums, .fill = fill},
        {.chords = "Bb C Am Dm Bb C F,Dm Gm,C7", .lead = partB, .bass = bass, .harmony = offbeats, .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}

// A dark, heavy one: C minor, slow, with a Neapolitan D flat and a half-time beat.
Song dread() {
    Song s;
    s.bpm = 92;
    s.seed = 44;
    s.lead = sawLead(1500);
    s.lead.attack = 0.05;
    s.lead.vibratoDepth = 0.25;
    s.lead.gain = 0.5;
    s.harmony = pad(1100);
    s.harmony.gain = 0.14;
    s.bass = sawBass(380);
    s.bass.gain = 0.5;
    s.kickPitch = 0.8;
    s.leadEcho = 1.5;
    s.harmonyCentre = 58;
    const char* drums = "k:x.....x.x...../s:........x......./h:x.x.x.x.x.x.x.o.";
    const char* fill = "k:x.....x.x...../s:........x...t.t./h:x.x.x.x.m.m.t.t.";
    const char* bass = "R - - R - - R -";
    const char* partA = "G4 - - Ab4 | G4 - Eb4 - | C5 - - Bb4 | Ab4 - - - | F4 - Ab4 - | C5 - Bb4 Ab4 | G4 - - - | B4 - D5 -";
    const char* partB = "Eb5 - - D5 | Db5 - - F5 | Eb5 - C5 - | Db5 - Ab4 - | C5 - - Eb5 | F5 - Eb5 C5 | D5 - - - | B4 - G4 -";
    s.sections = {
        {.chords = "Cm Cm Ab G", .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Cm Cm Ab Ab Fm Fm G G", .lead = partA, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Cm Db Cm Db Ab Fm G G", .lead = partB, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Cm Cm Ab Ab Fm Fm G G", .lead = partA, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}

// A gallop: A minor at full tilt, the bass in galloping sixteenths.
Song gallop() {
    Song s;
    s.bpm = 168;
    s.seed = 55;
    s.lead = pulseLead(0.3, 0.1);
    s.lead.cutoff = 2800;
    s.harmony = brass();
    s.harmony.gain = 0.36;
    s.bass = sawBass(650);
    s.bass.gain = 0.45;
    s.drumLevel = 0.8;
    s.leadEcho = 0.75;
    const char* drums = "k:x...x...x...x.../s:....x.......x.../h:x.x.x.x.x.x.x.x.";
    const char* fill = "k:x...x...x...x.../s:....x...xxxxXXXX/h:x.x.x.x.........";
    const char* bass = "R . R R R . R R R . R R R . R R";
    const char* stabs = "C - . . C - . .";
    const char* partA =
        "A4 - C5 - E5 - A5 - | F5 - - - C5 - A4 - | B4 - D5 - G5 - F5 - | E5 - - - - - . . |"
        "A4 - C5 - E5 - A5 - | C6 - - - A5 - F5 - | G5 - F5 - D5 - B4 - | G#4 - B4 - E5 - - -";
    const char* partB =
        "A5 - - G5 F5 - E5 - | D5 - - E5 G5 - - - | C5 - E5 - A5 - C6 - | B5 - A5 - E5 - - - |"
        "A5 - - G5 F5 - A5 - | B5 - - A5 G5 - D5 - | E5 - G#5 - B5 - D6 - | C6 - B5 - G#5 - E5 -";
    s.sections = {
        {.chords = "Am F G E", .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Am F G Am Am F G E", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "F G Am Am F G E E", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Am F G Am Am F G E", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "F G Am Am F G E E", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}

// An anthem: B flat major, broad pads and a tune that climbs, for the middle levels.
Song anthem() {
    Song s;
    s.bpm = 108;
    s.seed = 66;
    s.lead = sawLead(2400);
    s.lead.wave = Wave::DoubleSaw;
    s.lead.detuneCents = 6;
    s.lead.gain = 0.6;
    s.harmony = pad(1500);
    s.harmony.gain = 0.135;
    s.counter = arp(0.5);
    s.counter.gain = 0.1;
    s.bass = pulseBass();
    s.bass.gain = 0.25;
    s.leadEcho = 0.75;
    s.harmonyCentre = 60;
    const char* drums = "k:x.......x.x...../s:....x.......x.../h:x.x.x.x.x.x.x.x.";
    const char* fill = "k:x.......x.x...../s:....x.......x.../h:x.x.x.x.m.m.t.t.";
    const char* bass = "R - - - 5 - R -";
    const char* partA =
        "D5 - - - F5 - Bb5 - | A5 - - - F5 - C5 - | D5 - - C5 Bb4 - G4 - | G4 - - - Bb4 - Eb5 - |"
        "D5 - - - F5 - Bb5 - | C6 - - - A5 - F5 - | G5 - - - A5 - - - | Bb5 - - - - - . .";
    const char* partB =
        "Bb5 - - A5 G5 - D5 - | Eb5 - G5 - Bb5 - G5 - | F5 - - - D5 - Bb4 - | C5 - - - A4 - F4 - |"
        "G4 - Bb4 - Eb5 - G5 - | F5 - - - A5 - C6 - | Bb5 - A5 - G5 - F5 - | Eb5 - - - F5 - - -";
    const char* sparkle = "Bb4 D5 F5 D5 Bb4 D5 F5 D5 | A4 C5 F5 C5 A4 C5 F5 C5 | G4 Bb4 D5 Bb4 G4 Bb4 D5 Bb4 | G4 Bb4 Eb5 Bb4 G4 Bb4 Eb5 Bb4";
    s.sections = {
        {.chords = "Bb F Eb F", .counter = sparkle, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Bb F Gm Eb Bb F Eb,F Bb", .lead = partA, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Gm Eb Bb F Eb F Gm,F Eb,F", .lead = partB, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
        {.chords = "Bb F Gm Eb Bb F Eb,F Bb", .lead = partA, .counter = sparkle, .bass = bass, .harmony = "C - - -", .drums = drums, .fill = fill},
    };
    return s;
}

// A skirmish: D dorian, syncopated and funky, stabs dodging the beat.
Song skirmish() {
    Song s;
    s.bpm = 150;
    s.seed = 77;
    s.lead = pulseLead(0.18, 0.1);
    s.lead.cutoff = 2400;
    s.harmony = brass();
    s.harmony.gateFraction = 0.5;
    s.harmony.gain = 0.45;
    s.drumLevel = 0.8;
    s.bass = sawBass(800);
    s.bass.gateFraction = 0.6;
    s.bass.q = 2.2;
    s.leadEcho = 0.5;
    const char* drums = "k:x..x..x...x..x./s:....x..o.o..x..o/h:x.xxx.xxx.xxx.xx";
    const char* fill = "k:x..x..x...x..x./s:....x..o.o.xxxXX/h:x.xxx.xx........";
    const char* bass = "R . . R . . 8 . R . 7 . 5 . R .";
    const char* stabs = ". . C . . . C . . . . . C . . .";
    const char* partA =
        "D5 - F5 - A5 . G5 F5 | B4 - D5 - G5 - - - | A5 - C6 - A5 . G5 F5 | D5 - B4 - G4 - - - |"
        "F5 - D5 - Bb4 - D5 - | E5 - G5 - C6 - - - | A5 - G5 F5 E5 - D5 - | D5 - - - . . . .";
    const char* partB =
        "E5 - - C5 A4 - C5 E5 | G5 - - E5 C5 - - - | D5 - B4 - G4 - B4 D5 | F5 - - E5 D5 - A4 - |"
        "E5 - - G5 A5 - - G5 | G5 - E5 - C6 - G5 - | B5 - - A5 G5 - D5 - | B4 - - - . . . .";
    s.sections = {
        {.chords = "Dm7 G Dm7 G", .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Dm7 G Dm7 G Bb C Dm7 Dm7", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Am7 C G Dm7 Am7 C G G", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Dm7 G Dm7 G Bb C Dm7 Dm7", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "Am7 C G Dm7 Am7 C G G", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}

// The last stand: F sharp minor, fastest of all, power chords and a pumping bass.
Song lastStand() {
    Song s;
    s.bpm = 176;
    s.seed = 88;
    s.lead = sawLead(2600);
    s.lead.gain = 0.48;
    s.harmony = brass();
    s.harmony.gain = 0.3;
    s.harmony.gateFraction = 0.75;
    s.bass = sawBass(700);
    s.bass.gain = 0.42;
    s.drumLevel = 0.8;
    s.leadEcho = 0.75;
    s.kickPitch = 0.9;
    const char* drums = "k:x.x.x.x./s:..x...x./h:xxxxxxxx";
    const char* fill = "k:x.x.x.x.x.x.x.x./s:....x...xxxxXXXX/h:x.x.x.x.........";
    const char* bass = "R 8 R 8 R 8 R 8";
    const char* stabs = "C - . C - . C .";
    const char* partA =
        "C#5 - - - F#5 - A5 - | A5 - F#5 - D5 - - - | B4 - E5 - G#5 - B5 - | G#5 - - - E#5 - C#5 - |"
        "C#5 - - - F#5 - A5 - | D6 - - - A5 - F#5 - | D#5 - F#5 - B5 - A5 - | G#5 - - - - - . .";
    const char* partB =
        "F#5 - - E5 D5 - A4 - | G#4 - B4 - E5 - G#5 - | A5 - - G#5 F#5 - C#5 - | F#5 - - - - - . . |"
        "A5 - - G#5 F#5 - D5 - | B5 - - A5 G#5 - E5 - | G#5 - - - E#5 - G#5 - | C#6 - - - B5 - G#5 -";
    s.sections = {
        {.chords = "F#m D E C#", .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "F#m D E C# F#m D B C#", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "D E F#m F#m D E C# C#", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "F#m D E C# F#m D B C#", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "D E F#m F#m D E C# C#", .lead = partB, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill},
        {.chords = "F#m D E C# F#m D B C#", .lead = partA, .bass = bass, .harmony = stabs, .drums = drums, .fill = fill, .harmonise = true},
    };
    s.counter = s.lead;
    s.counter.gain *= 0.5;
    s.counter.vibratoDepth = 0;
    return s;
}
}  // namespace

Song levelSong(int index) {
    switch (index % kSongCount) {
        case 0: return march();
        case 1: return chase();
        case 2: return bounce();
        case 3: return dread();
        case 4: return gallop();
        case 5: return anthem();
        case 6: return skirmish();
        default: return lastStand();
    }
}

}  // namespace snd
