#include "sound_sequencer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>

namespace snd {

namespace {

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

int pitchClass(const std::string& s, size_t& pos) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (pos >= s.size() || s[pos] < 'A' || s[pos] > 'G') return -1;
    int pc = letters[s[pos] - 'A'];
    ++pos;
    if (pos < s.size() && s[pos] == '#') {
        ++pc;
        ++pos;
    } else if (pos < s.size() && s[pos] == 'b') {
        --pc;
        ++pos;
    }
    return (pc + 12) % 12;
}

// A mistake in the note data is a programming error in this tool, not a player's
// problem: stop the build loudly rather than write a wrong tune.
[[noreturn]] void badData(const char* what, const std::string& token) {
    std::fprintf(stderr, "assetgen: bad %s \"%s\" in the music data\n", what, token.c_str());
    std::exit(3);
}

struct ChordSpan {
    double startBeat;
    std::vector<int> tones;  // pitch classes, root first
    int bass;
};

struct NoteEvent {
    double startBeat, lengthBeats;
    int midi;
    double velocity;
    double stepBeats;  // length of the step the note ends in, for the gate
};

struct DrumEvent {
    double beat;
    char drum;
    double velocity;
};

// Collects note events from a stream of steps where "-" extends the open note.
class NoteCollector {
public:
    explicit NoteCollector(std::vector<NoteEvent>& out) : out_(out) {}
    void start(double beat, double step, const std::vector<int>& midis, double velocity) {
        close();
        for (int m : midis) out_.push_back({beat, step, m, velocity, step});
        open_ = midis.size();
    }
    void hold(double step) {
        for (size_t i = out_.size() - open_; i < out_.size(); ++i) {
            out_[i].lengthBeats += step;
            out_[i].stepBeats = step;
        }
    }
    void close() { open_ = 0; }

private:
    std::vector<NoteEvent>& out_;
    size_t open_ = 0;
};

int nearestOctave(int pc, int centre) {
    int m = centre - ((centre - pc) % 12 + 12) % 12;  // highest note of this class <= centre
    return (centre - m > 6) ? m + 12 : m;
}

const ChordSpan& chordAt(const std::vector<ChordSpan>& chords, double beat) {
    size_t i = 0;
    while (i + 1 < chords.size() && chords[i + 1].startBeat <= beat + 1e-9) ++i;
    return chords[i];
}

// ---- instruments ----

void renderNote(const Instrument& inst, const NoteEvent& e, double secondsPerBeat, double rate, Rng& rng,
                Buffer& bus) {
    double held = std::max(0.02, (e.lengthBeats - (1.0 - inst.gateFraction) * e.stepBeats) * secondsPerBeat);
    double total = held + inst.release;
    size_t start = static_cast<size_t>(std::llround(e.startBeat * secondsPerBeat * rate));
    size_t n = static_cast<size_t>(total * rate);
    if (bus.size() < start + n) bus.resize(start + n, 0.0f);
    Osc a(rng.uniform()), b(rng.uniform()), vib;
    Svf filter;
    double note = e.midi + 12.0 * inst.octave;
    double detune = inst.detuneCents / 100.0;
    double amp = inst.gain * e.velocity;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double env = adsr(t, inst.attack, inst.decay, inst.sustain, inst.release, held);
        double wobble = inst.vibratoDepth * smoothstep((t - inst.vibratoDelay) / 0.25) * vib.sine(inst.vibratoHz, rate);
        double f = midiHz(note + wobble);
        double w = 0;
        switch (inst.wave) {
            case Instrument::Wave::Pulse:
                w = a.pulse(f, rate, inst.width);
                if (detune != 0) w = 0.6 * (w + b.pulse(f * std::pow(2.0, detune / 12.0), rate, inst.width));
                break;
            case Instrument::Wave::Saw: w = a.saw(f, rate); break;
            case Instrument::Wave::DoubleSaw:
                w = 0.6 * (a.saw(f * std::pow(2.0, detune / 12.0), rate) + b.saw(f * std::pow(2.0, -detune / 12.0), rate));
                break;
            case Instrument::Wave::Triangle: w = a.triangle(f, rate); break;
            case Instrument::Wave::Sine: w = a.sine(f, rate); break;
        }
        double cutoff = inst.cutoff + inst.cutoffEnv * std::exp(-t / std::max(0.01, inst.decay));
        bus[start + i] += static_cast<float>(amp * env * filter.lowpass(w, cutoff, inst.q, rate));
    }
}

struct DrumKit {
    Buffer kick, snare, hat, openHat, crash, lowTom, highTom;
};

Buffer drumSound(double seconds, double rate, const std::function<double(double, double)>& f) {
    Buffer out(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(f(i / rate, static_cast<double>(i)));
    return out;
}

DrumKit makeKit(double rate, double kickPitch, Rng& rng) {
    DrumKit kit;
    {
        // The kick is a sine whose pitch falls fast: a punch, then a round low boom.
        Osc o;
        kit.kick = drumSound(0.4, rate, [&](double t, double) {
            double f = (48.0 + 110.0 * std::exp(-t / 0.03)) * kickPitch;
            return o.sine(f, rate) * percussive(t, 0.001, 0.16) + 0.3 * rng.bipolar() * percussive(t, 0.0005, 0.002);
        });
    }
    {
        Osc o;
        Svf n;
        kit.snare = drumSound(0.3, rate, [&](double t, double) {
            double tone = o.triangle(185.0 * (1 + 0.4 * std::exp(-t / 0.01)), rate) * percussive(t, 0.001, 0.05);
            double noise = n.bandpass(rng.bipolar(), 3200, 0.6, rate) * percussive(t, 0.001, 0.11);
            return 0.8 * tone + 1.3 * noise;
        });
    }
    auto hatOf = [&](double seconds, double tau, double centre) {
        Svf n;
        return drumSound(seconds, rate, [&](double t, double) {
            return 0.8 * n.highpass(rng.bipolar(), centre, 0.9, rate) * percussive(t, 0.0008, tau);
        });
    };
    kit.hat = hatOf(0.08, 0.02, 7000);
    kit.openHat = hatOf(0.4, 0.16, 6500);
    kit.crash = hatOf(1.6, 0.6, 4200);
    auto tomOf = [&](double hz) {
        Osc o;
        return drumSound(0.45, rate, [&, hz](double t, double) {
            return o.sine(hz * (1 + 0.5 * std::exp(-t / 0.04)), rate) * percussive(t, 0.001, 0.18);
        });
    };
    kit.lowTom = tomOf(95 * kickPitch);
    kit.highTom = tomOf(150 * kickPitch);
    return kit;
}

const Buffer* drumBuffer(const DrumKit& kit, char d) {
    switch (d) {
        case 'k': return &kit.kick;
        case 's': return &kit.snare;
        case 'h': return &kit.hat;
        case 'o': return &kit.openHat;
        case 'c': return &kit.crash;
        case 't': return &kit.lowTom;
        case 'm': return &kit.highTom;
        default: return nullptr;
    }
}

double drumGain(char d) {
    switch (d) {
        case 'k': return 0.85;
        case 's': return 0.6;
        case 'h': return 0.22;
        case 'o': return 0.22;
        case 'c': return 0.3;
        default: return 0.55;
    }
}

}  // namespace

int noteNumber(const std::string& name) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') return -1;
    int semitone = letters[name[0] - 'A'];
    size_t pos = 1;
    // Bb and B# keep the octave number of their letter, as musicians write them.
    if (pos < name.size() && name[pos] == '#') ++semitone, ++pos;
    else if (pos < name.size() && name[pos] == 'b') --semitone, ++pos;
    if (pos >= name.size()) return -1;
    char* end = nullptr;
    long octave = std::strtol(name.c_str() + pos, &end, 10);
    if (*end != '\0' || end == name.c_str() + pos) return -1;
    return static_cast<int>(12 * (octave + 1)) + semitone;
}

std::vector<int> chordTones(const std::string& symbol, int* bassPitchClass) {
    auto parts = split(symbol, '/');
    size_t pos = 0;
    int root = pitchClass(parts[0], pos);
    if (root < 0) badData("chord", symbol);
    std::string q = parts[0].substr(pos);
    std::vector<int> intervals;
    if (q.empty()) intervals = {0, 4, 7};
    else if (q == "m") intervals = {0, 3, 7};
    else if (q == "7") intervals = {0, 4, 7, 10};
    else if (q == "m7") intervals = {0, 3, 7, 10};
    else if (q == "maj7") intervals = {0, 4, 7, 11};
    else if (q == "dim") intervals = {0, 3, 6};
    else if (q == "sus2") intervals = {0, 2, 7};
    else if (q == "sus4") intervals = {0, 5, 7};
    else if (q == "5") intervals = {0, 7};
    else badData("chord", symbol);
    std::vector<int> tones;
    for (int iv : intervals) tones.push_back((root + iv) % 12);
    if (bassPitchClass) {
        *bassPitchClass = root;
        if (parts.size() > 1) {
            size_t bp = 0;
            *bassPitchClass = pitchClass(parts[1], bp);
            if (*bassPitchClass < 0) badData("bass note", symbol);
        }
    }
    return tones;
}

Buffer renderSong(const Song& song, double rate, SongStats* stats) {
    const double bpb = song.beatsPerBar;
    const double secondsPerBeat = 60.0 / song.bpm;

    std::vector<ChordSpan> chords;
    std::vector<NoteEvent> lead, counter, bass, harmony, seconds;
    std::vector<DrumEvent> drums;
    NoteCollector leadNotes(lead), counterNotes(counter), bassNotes(bass), harmonyNotes(harmony);
    Rng human(song.seed * 7 + 3);

    int bar = 0;
    for (const Section& sec : song.sections) {
        auto chordBars = words(sec.chords);
        auto leadBars = sec.lead.empty() ? std::vector<std::string>{} : split(sec.lead, '|');
        auto counterBars = sec.counter.empty() ? std::vector<std::string>{} : split(sec.counter, '|');
        auto bassSteps = words(sec.bass);
        auto harmonySteps = words(sec.harmony);
        const size_t firstLead = lead.size();
        for (int rep = 0; rep < sec.repeat; ++rep) {
            for (size_t cb = 0; cb < chordBars.size(); ++cb, ++bar) {
                double barBeat = bar * bpb;
                auto inBar = split(chordBars[cb], ',');
                for (size_t k = 0; k < inBar.size(); ++k) {
                    ChordSpan span;
                    span.startBeat = barBeat + bpb * k / inBar.size();
                    span.tones = chordTones(inBar[k], &span.bass);
                    chords.push_back(span);
                }
                // Melodies: note names, holds and rests, dividing the bar evenly.
                auto melodic = [&](const std::vector<std::string>& bars, NoteCollector& col) {
                    if (bars.empty()) return;
                    auto toks = words(bars[cb % bars.size()]);
                    for (size_t j = 0; j < toks.size(); ++j) {
                        double step = bpb / toks.size();
                        double beat = barBeat + j * step;
                        if (toks[j] == "-") col.hold(step);
                        else if (toks[j] == ".") col.close();
                        else {
                            int m = noteNumber(toks[j]);
                            if (m < 0) badData("note", toks[j]);
                            col.start(beat, step, {m}, 0.85 + 0.15 * human.uniform());
                        }
                    }
                };
                melodic(leadBars, leadNotes);
                melodic(counterBars, counterNotes);
                // Bass and harmony read the chord sounding at each step.
                for (size_t j = 0; j < bassSteps.size(); ++j) {
                    double step = bpb / bassSteps.size();
                    double beat = barBeat + j * step;
                    const std::string& tok = bassSteps[j];
                    if (tok == "-") { bassNotes.hold(step); continue; }
                    if (tok == ".") { bassNotes.close(); continue; }
                    const ChordSpan& c = chordAt(chords, beat);
                    int rootMidi = 36 + c.bass;
                    if (rootMidi > 43) rootMidi -= 12;  // keep the bass between G1 and G2
                    int m = rootMidi;
                    auto tone = [&](size_t idx) {
                        int pc = c.tones[std::min(idx, c.tones.size() - 1)];
                        return rootMidi + (pc - c.bass + 12) % 12;
                    };
                    if (tok == "R") m = rootMidi;
                    else if (tok == "r") m = rootMidi - 12;
                    else if (tok == "8") m = rootMidi + 12;
                    else if (tok == "3") m = tone(1);
                    else if (tok == "5") m = tone(c.tones.size() > 2 ? 2 : 1);
                    else if (tok == "7") m = c.tones.size() > 3 ? tone(3) : rootMidi + 10;
                    else badData("bass step", tok);
                    double accent = (std::fmod(beat, 1.0) < 1e-9) ? 1.0 : 0.85;
                    bassNotes.start(beat, step, {m}, accent);
                }
                for (size_t j = 0; j < harmonySteps.size(); ++j) {
                    double step = bpb / harmonySteps.size();
                    double beat = barBeat + j * step;
                    const std::string& tok = harmonySteps[j];
                    if (tok == "-") { harmonyNotes.hold(step); continue; }
                    if (tok == ".") { harmonyNotes.close(); continue; }
                    const ChordSpan& c = chordAt(chords, beat);
                    std::vector<int> voicing;
                    for (int pc : c.tones) voicing.push_back(nearestOctave(pc, song.harmonyCentre));
                    std::sort(voicing.begin(), voicing.end());
                    if (tok == "C") harmonyNotes.start(beat, step, voicing, 0.8);
                    else if (tok.size() == 1 && tok[0] >= '1' && tok[0] <= '4') {
                        // Arpeggio tones climb from the chord's root; 4 is the root an octave up.
                        int idx = tok[0] - '1';
                        int root = nearestOctave(c.tones[0], song.harmonyCentre - 4);
                        int m = idx < static_cast<int>(c.tones.size()) && idx < 3
                                    ? root + (c.tones[idx] - c.tones[0] + 12) % 12
                                    : root + 12;
                        harmonyNotes.start(beat, step, {m}, 0.75 + 0.1 * human.uniform());
                    } else badData("harmony step", tok);
                }
                if (song.crashOnSections && rep == 0 && cb == 0) drums.push_back({barBeat, 'c', 0.8});
                bool lastBar = cb + 1 == chordBars.size();
                const std::string& groove = (lastBar && !sec.fill.empty()) ? sec.fill : sec.drums;
                for (const std::string& row : split(groove, '/')) {
                    auto r = words(row);
                    if (r.empty()) continue;
                    const std::string& hits = r[0];
                    if (hits.size() < 3 || hits[1] != ':') badData("drum row", hits);
                    size_t steps = hits.size() - 2;
                    for (size_t j = 0; j < steps; ++j) {
                        char h = hits[2 + j];
                        if (h == '.') continue;
                        double vel = h == 'X' ? 1.0 : (h == 'o' ? 0.35 : 0.75);
                        drums.push_back({barBeat + bpb * j / steps, hits[0], vel * (0.92 + 0.08 * human.uniform())});
                    }
                }
            }
        }
        if (sec.harmonise) {
            // The second voice takes the nearest chord tone at least a minor third under
            // each lead note: parallel thirds and sixths that always fit the chord.
            for (size_t k = firstLead; k < lead.size(); ++k) {
                NoteEvent e = lead[k];
                const ChordSpan& c = chordAt(chords, e.startBeat);
                int m = e.midi - 3;
                while (std::find(c.tones.begin(), c.tones.end(), (m % 12 + 12) % 12) == c.tones.end()) --m;
                e.midi = m;
                e.velocity *= 0.9;
                seconds.push_back(e);
            }
        }
    }

    // Swing pushes each off-beat later, warping time within the beat.
    auto warp = [&](double beat) {
        double whole = std::floor(beat + 1e-9);
        double frac = beat - whole;
        double mid = 0.5 + song.swing;
        double w = frac < 0.5 ? frac / 0.5 * mid : mid + (frac - 0.5) / 0.5 * (1.0 - mid);
        return whole + w;
    };
    auto swingAll = [&](std::vector<NoteEvent>& v) {
        if (song.swing == 0) return;
        for (auto& e : v) {
            double end = warp(e.startBeat + e.lengthBeats);
            e.startBeat = warp(e.startBeat);
            e.lengthBeats = end - e.startBeat;
        }
    };
    swingAll(lead);
    swingAll(counter);
    swingAll(seconds);
    swingAll(bass);
    swingAll(harmony);
    if (song.swing != 0)
        for (auto& d : drums) d.beat = warp(d.beat);

    const size_t loopLen = static_cast<size_t>(std::llround(bar * bpb * secondsPerBeat * rate));
    const size_t tail = static_cast<size_t>(3.0 * rate);
    Buffer leadBus(loopLen + tail, 0.0f), otherBus(loopLen + tail, 0.0f);
    Rng rng(song.seed);
    for (const auto& e : lead) renderNote(song.lead, e, secondsPerBeat, rate, rng, leadBus);
    for (const auto& e : counter) renderNote(song.counter, e, secondsPerBeat, rate, rng, otherBus);
    for (const auto& e : seconds) renderNote(song.counter, e, secondsPerBeat, rate, rng, leadBus);
    for (const auto& e : harmony) renderNote(song.harmony, e, secondsPerBeat, rate, rng, otherBus);
    for (const auto& e : bass) renderNote(song.bass, e, secondsPerBeat, rate, rng, otherBus);
    if (song.leadEcho > 0)
        feedbackDelay(leadBus, static_cast<size_t>(song.leadEcho * secondsPerBeat * rate), 0.3, 0.3);
    DrumKit kit = makeKit(rate, song.kickPitch, rng);
    for (const auto& d : drums) {
        const Buffer* s = drumBuffer(kit, d.drum);
        if (!s) badData("drum", std::string(1, d.drum));
        size_t at = static_cast<size_t>(std::llround(d.beat * secondsPerBeat * rate));
        mixInto(otherBus, *s, at, song.drumLevel * drumGain(d.drum) * d.velocity);
    }
    size_t total = std::max(leadBus.size(), otherBus.size());
    leadBus.resize(total, 0.0f);
    otherBus.resize(total, 0.0f);
    for (size_t i = 0; i < total; ++i) otherBus[i] += leadBus[i];
    foldTail(otherBus, loopLen);
    if (stats) {
        stats->loopSamples = loopLen;
        stats->bars = bar;
    }
    return otherBus;
}

}  // namespace snd
