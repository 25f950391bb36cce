// The building blocks of the sound generator, tested on signals whose answers are known:
// pure tones, tiny one-bar songs, hand-made WAV files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound_dsp.h"
#include "sound_sequencer.h"
#include "sound_effects.h"
#include "sound_vocal.h"
#include "sound_wav.h"

namespace {

using snd::Buffer;

constexpr double kRate = 22050;  // the rate of most tests

// Frequency from the number of upward zero crossings: exact enough for clean tones.
double zeroCrossingHz(const Buffer& x, double rate, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / static_cast<double>(last - first);
}

// Strongest period between minLag and maxLag samples, by autocorrelation.
double dominantHz(const Buffer& x, double rate, size_t from, size_t len, size_t minLag,
                  size_t maxLag) {
    double best = -1;
    size_t bestLag = minLag;
    for (size_t lag = minLag; lag <= maxLag; ++lag) {
        double num = 0, a2 = 0, b2 = 0;
        for (size_t i = from; i < from + len && i + lag < x.size(); ++i) {
            num += x[i] * x[i + lag];
            a2 += x[i] * x[i];
            b2 += x[i + lag] * x[i + lag];
        }
        double c = (a2 > 0 && b2 > 0) ? num / std::sqrt(a2 * b2) : 0;
        if (c > best) best = c, bestLag = lag;
    }
    return rate / static_cast<double>(bestLag);
}

double windowRms(const Buffer& x, size_t from, size_t to) {
    Buffer part(x.begin() + static_cast<std::ptrdiff_t>(from),
                x.begin() + static_cast<std::ptrdiff_t>(std::min(to, x.size())));
    return snd::rms(part);
}

Buffer tone(double hz, double rate, double seconds) {
    Buffer x(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(std::sin(2 * snd::kPi * hz * i / rate));
    return x;
}

// ---- oscillators and filters ----

TEST(SoundSynth, OscillatorsHoldPitchAndStayInRange) {
    const std::pair<std::string, double> cases[] = {{"saw", 110},      {"saw", 1760},
                                                    {"pulse", 220},    {"pulse", 3000},
                                                    {"triangle", 440}, {"sine", 97}};
    for (const auto& [w, hz] : cases) {
        SCOPED_TRACE(w + " " + std::to_string(hz));
        snd::Osc o(0.3);
        Buffer x(22050);
        for (float& v : x)
            v = w == "saw"        ? o.saw(hz, kRate)
                : w == "pulse"    ? o.pulse(hz, kRate, 0.5)
                : w == "triangle" ? o.triangle(hz, kRate)
                                  : o.sine(hz, kRate);
        EXPECT_NEAR(zeroCrossingHz(x, kRate, 1000), hz, hz * 0.01);
        EXPECT_LE(snd::peak(x), 1.3);  // band-limiting overshoots a little, never wildly
        EXPECT_GT(snd::rms(x), 0.3);
    }
}

TEST(SoundSynth, FiltersPassAndStopWhereTheySay) {
    auto through = [&](double hz, auto filter) {
        Buffer x = tone(hz, kRate, 0.5);
        for (float& v : x) v = filter(v);
        return windowRms(x, 2000, x.size()) / std::sqrt(0.5);
    };
    EXPECT_NEAR(through(100, [&, f = snd::Svf()](
                                 double v) mutable { return f.lowpass(v, 1000, 0.707, kRate); }),
                1.0, 0.05);
    EXPECT_LT(through(8000, [&, f = snd::Svf()](
                                double v) mutable { return f.lowpass(v, 500, 0.707, kRate); }),
              0.01);
    EXPECT_LT(through(60, [&, f = snd::Svf()](
                              double v) mutable { return f.highpass(v, 2000, 0.707, kRate); }),
              0.01);
    EXPECT_LT(through(6000, [&, f = snd::OnePole()](
                                double v) mutable { return f.lowpass(v, 200, kRate); }),
              0.05);
    // A band-pass scaled by 1/q peaks at unity on its centre, whatever the q: the voice
    // model relies on that to balance its formants.
    for (double q : {1.0, 5.0, 12.0})
        EXPECT_NEAR(
            through(1200, [&, f = snd::Svf()](
                              double v) mutable { return f.bandpass(v, 1200, q, kRate) / q; }),
            1.0, 0.05)
            << q;
}

TEST(SoundSynth, EnvelopesRiseHoldAndFallAsShaped) {
    // Attack, decay and release of 0.1, 0.1 and 0.2 s, sustain at half: {time, note-off, level}.
    // The last two: a note let go during its attack releases from where it got to.
    const double cases[][3] = {{-0.1, 1.0, 0.0},  {0.05, 1.0, 0.5},  {0.1, 1.0, 1.0},
                               {0.5, 1.0, 0.5},   {1.1, 1.0, 0.25},  {1.3, 1.0, 0.0},
                               {0.05, 0.05, 0.5}, {0.15, 0.05, 0.25}};
    for (const auto& c : cases)
        EXPECT_NEAR(snd::adsr(c[0], 0.1, 0.1, 0.5, 0.2, c[1]), c[2], 1e-9) << c[0] << " " << c[1];
}

// ---- buffers, loops and conversion ----

TEST(SoundSynth, CrossfadedLoopJoinsSmoothly) {
    // A tone whose period does not divide the loop: cut plainly it would jump at the join.
    const double rate = 11025;
    Buffer x = tone(123.4, rate, 1.5);
    const size_t loopLen = 11025;
    auto jump = [](const Buffer& b) { return std::fabs(b.front() - b.back()); };
    ASSERT_GT(jump(Buffer(x.begin(), x.begin() + loopLen)), 0.2) << "a plain cut should jump";
    Buffer looped = snd::crossfadeLoop(x, loopLen, 1000);
    ASSERT_EQ(looped.size(), loopLen);
    EXPECT_LT(jump(looped), 0.08);  // no bigger than one step of the tone itself
}

TEST(SoundSynth, FoldedTailWrapsRingingIntoTheStart) {
    Buffer x(150, 0.0f);
    x[10] = 1.0f;
    x[120] = 0.5f;  // rings past the loop end of 100
    x[149] = 0.25f;
    snd::foldTail(x, 100);
    ASSERT_EQ(x.size(), 100u);
    Buffer expected(100, 0.0f);
    expected[10] = 1.0f, expected[20] = 0.5f, expected[49] = 0.25f;
    EXPECT_EQ(x, expected);
}

TEST(SoundSynth, ResamplingKeepsPitchLengthAndLevel) {
    struct Case {
        double from, to, hz;
    };
    for (Case c : {Case{22050, 8000, 1000}, Case{22050, 11025, 440}, Case{16000, 22050, 700}}) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        Buffer x = tone(c.hz, c.from, 1.0);
        Buffer y = snd::resample(x, c.from, c.to);
        EXPECT_NEAR(static_cast<double>(y.size()), c.to, 2);
        EXPECT_NEAR(zeroCrossingHz(y, c.to, 100, y.size() - 100), c.hz, 2);
        EXPECT_NEAR(windowRms(y, 100, y.size() - 100), std::sqrt(0.5), 0.03);
    }
    // Content above the new Nyquist limit is removed, not folded down as a false tone.
    Buffer high = snd::resample(tone(6000, 22050, 1.0), 22050, 8000);
    EXPECT_LT(windowRms(high, 100, high.size() - 100), 0.05);
}

TEST(SoundSynth, EightBitConversionCentresAndClamps) {
    Buffer x = {0.0f, 1.0f, -1.0f, 2.5f, -3.0f, 0.5f};
    EXPECT_EQ(snd::toUnsigned8(x), (std::vector<uint8_t>{128, 255, 1, 255, 0, 192}));
}

// ---- the sequencer ----

TEST(SoundSynth, NoteNamesAndChordSymbolsParse) {
    const std::pair<const char*, int> notes[] = {{"C4", 60},  {"A4", 69},  {"Bb3", 58}, {"F#5", 78},
                                                 {"E#5", 77}, {"Cb4", 59}, {"B#3", 60}, {"G1", 31},
                                                 {"H4", -1},  {"C", -1},   {"D#x", -1}, {"", -1}};
    for (auto [name, midi] : notes) EXPECT_EQ(snd::noteNumber(name), midi) << name;
    int bass = -1;
    EXPECT_EQ(snd::chordTones("Am", &bass), (std::vector<int>{9, 0, 4}));
    EXPECT_EQ(bass, 9);
    EXPECT_EQ(snd::chordTones("F#m7", &bass), (std::vector<int>{6, 9, 1, 4}));
    EXPECT_EQ(snd::chordTones("Bb", &bass), (std::vector<int>{10, 2, 5}));
    EXPECT_EQ(snd::chordTones("C/E", &bass), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(bass, 4);
    EXPECT_EQ(snd::chordTones("G7"), (std::vector<int>{7, 11, 2, 5}));
    EXPECT_EQ(snd::chordTones("Ddim"), (std::vector<int>{2, 5, 8}));
}

// One bar of 4/4 at 120 bpm is exactly two seconds: easy to reason about.
snd::Song oneBar(const std::string& lead) {
    snd::Song s;
    s.bpm = 120;
    s.crashOnSections = false;
    s.lead.wave = snd::Instrument::Wave::Sine;
    s.lead.cutoff = 10000;
    s.lead.cutoffEnv = 0;
    s.lead.release = 0.01;
    s.lead.vibratoDepth = 0;
    s.sections = {{.chords = "C",
                   .lead = lead,
                   .counter = "",
                   .bass = "",
                   .harmony = "",
                   .drums = "",
                   .fill = "",
                   .repeat = 1}};
    return s;
}

TEST(SoundSynth, ASongPlaysItsNotesAtTheirTimesAndPitches) {
    snd::SongStats stats;
    // Quarter notes: A4, a rest, E5 held over two steps.
    Buffer x = snd::renderSong(oneBar("A4 . E5 -"), kRate, &stats);
    ASSERT_EQ(stats.bars, 1);
    ASSERT_EQ(stats.loopSamples, static_cast<size_t>(2 * kRate));
    ASSERT_EQ(x.size(), stats.loopSamples);
    const size_t q = static_cast<size_t>(kRate / 2);  // one quarter note
    EXPECT_NEAR(zeroCrossingHz(x, kRate, 1000, q - 1000), 440.0, 3.0);
    EXPECT_LT(windowRms(x, q + 1000, 2 * q - 300), 0.002) << "the rest should be silent";
    EXPECT_NEAR(zeroCrossingHz(x, kRate, 2 * q + 500, 4 * q - 1000), snd::midiHz(76), 4.0);
    EXPECT_GT(windowRms(x, 3 * q + 500, 4 * q - 1500), 0.5 * windowRms(x, 2 * q + 500, 3 * q - 500))
        << "the held note should still sound in its second step";
}

TEST(SoundSynth, BassAndChordsFollowTheHarmony) {
    snd::Song s = oneBar("");
    s.bass.wave = snd::Instrument::Wave::Sine;
    s.bass.cutoff = 5000;
    s.bass.cutoffEnv = 0;
    s.bass.release = 0.01;
    s.sections[0].chords = "G,E";  // two chords in the bar
    s.sections[0].bass = "R 5";
    Buffer x = snd::renderSong(s, kRate);
    const size_t half = static_cast<size_t>(kRate);
    // G chord: root G, bass kept low (G2 = 98 Hz); E chord: its fifth B2 = 123.5 Hz.
    EXPECT_NEAR(zeroCrossingHz(x, kRate, 1000, half - 1000), snd::midiHz(43), 1.5);
    EXPECT_NEAR(zeroCrossingHz(x, kRate, half + 1000, 2 * half - 1000), snd::midiHz(47), 1.5);
}

// Level of one frequency in a stretch (Goertzel), for picking notes out of a chord.
double levelAt(const Buffer& x, double rate, double hz, size_t from, size_t len) {
    double w = 2 * std::cos(2 * snd::kPi * hz / rate), s1 = 0, s2 = 0;
    for (size_t i = from; i < from + len && i < x.size(); ++i) {
        double s0 = x[i] + w * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - w * s1 * s2) / static_cast<double>(len);
}

TEST(SoundSynth, HarmonisedLeadAddsTheNearestChordToneBelow) {
    struct Case {
        const char* chord;
        const char* note;
        int expected;  // MIDI number of the second voice
    };
    // E5 over C: C#5 is not in the chord, C5 is. A5 over Am: F#5 is not, E5 is.
    // B4 over G7: G4, reached before the seventh F4.
    for (Case c : {Case{"C", "E5", 72}, Case{"Am", "A5", 76}, Case{"G7", "B4", 67}}) {
        SCOPED_TRACE(std::string(c.note) + " over " + c.chord);
        snd::Song s = oneBar(std::string(c.note) + " - - -");
        s.sections[0].chords = c.chord;
        s.sections[0].harmonise = true;
        s.counter = s.lead;
        Buffer x = snd::renderSong(s, kRate);
        const size_t from = 2000, len = 16000;
        double lead = levelAt(x, kRate, snd::midiHz(snd::noteNumber(c.note)), from, len);
        double second = levelAt(x, kRate, snd::midiHz(c.expected), from, len);
        double wrong = levelAt(x, kRate, snd::midiHz(c.expected + 1), from, len);
        EXPECT_GT(second, lead * 0.5);
        EXPECT_LT(wrong, second * 0.1);
    }
}

// ---- the voice model ----

TEST(SoundSynth, SungVoiceFollowsItsPitchCurve) {
    snd::Rng rng(9);
    snd::VoiceShape v;
    v.rate = kRate;
    v.seconds = 1.0;
    v.pitch = [](double t) { return t < 0.5 ? 150.0 : 300.0; };
    v.vowel = [](double) { return snd::vowels::A; };
    v.amplitude = [](double) { return 1.0; };
    v.jitter = 0;
    v.vibratoDepth = 0;
    v.breath = 0;
    Buffer x = snd::sing(v, rng);
    ASSERT_EQ(x.size(), static_cast<size_t>(kRate));
    // Searched within an octave of each, as a pitch tracker with a hint would.
    EXPECT_NEAR(dominantHz(x, kRate, 3000, 4000, 110, 220), 150.0, 5.0);
    EXPECT_NEAR(dominantHz(x, kRate, 14000, 4000, 55, 110), 300.0, 8.0);
}

TEST(SoundSynth, AnnouncerLinesAreMadeEvenWithoutTheSpeechSynthesiser) {
    // A build machine without espeak-ng must still get every line, and the title's line must
    // be over before the next one is called three seconds later.
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", "/nonexistent", 1);
    for (auto [text, wpm] :
         {std::pair{"Here they come!", 120}, {"Parapet!", 85}, {"Defend the wall!", 115}}) {
        SCOPED_TRACE(text);
        Buffer x = snd::makeAnnouncement(text, 22050, 7, wpm, 30);
        EXPECT_GE(x.size(), 0.3 * 22050);
        EXPECT_LE(x.size(), 2.9 * 22050);
        // A few spikes over a faint line would leave it inaudible once the peaks are limited.
        EXPECT_LT(snd::peak(x), 8.0 * snd::rms(x));
    }
    setenv("PATH", path.c_str(), 1);
}

// ---- WAV files ----

std::vector<uint8_t> wav16(int channels, int rate, const std::vector<int16_t>& samples,
                           uint32_t dataSize) {
    std::vector<uint8_t> b;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) {
        put(uint32_t(t[0] | t[1] << 8 | t[2] << 16) | uint32_t(t[3]) << 24, 4);
    };
    tag("RIFF");
    put(0, 4);
    tag("WAVE");
    tag("LIST");  // an odd-sized chunk the reader must step over, padding included
    put(3, 4);
    tag("abc\0");
    tag("fmt ");
    // Size 16, PCM, channels, rate, byte rate, block size, bits.
    for (auto [v, n] : {std::pair{16u, 4},
                        {1u, 2},
                        {uint32_t(channels), 2},
                        {uint32_t(rate), 4},
                        {uint32_t(rate * channels * 2), 4},
                        {uint32_t(channels * 2), 2},
                        {16u, 2}})
        put(v, n);
    tag("data");
    put(dataSize, 4);
    for (int16_t s : samples) put(static_cast<uint16_t>(s), 2);
    return b;
}

TEST(SoundSynth, WavReaderTakesWhatSpeechSynthesisersWrite) {
    snd::Wav w;
    // Stereo 16-bit, mixed down to mono.
    ASSERT_TRUE(snd::parseWav(wav16(2, 22050, {16384, 0, -32768, -32768, 0, 32767}, 12), w));
    EXPECT_EQ(w.rate, 22050);
    ASSERT_EQ(w.samples.size(), 3u);
    EXPECT_NEAR(w.samples[0], 0.25, 1e-4);
    EXPECT_NEAR(w.samples[1], -1.0, 1e-4);
    EXPECT_NEAR(w.samples[2], 0.5, 1e-4);
    // A streamed file whose data size says "as much as you like" is read to its real end.
    ASSERT_TRUE(snd::parseWav(wav16(1, 16000, {100, 200, 300}, 0xFFFFFFFFu), w));
    EXPECT_EQ(w.samples.size(), 3u);
    // Truncated mid-sample: the partial sample is dropped.
    auto cut = wav16(1, 16000, {100, 200, 300}, 6);
    cut.pop_back();
    ASSERT_TRUE(snd::parseWav(cut, w));
    EXPECT_EQ(w.samples.size(), 2u);
}

TEST(SoundSynth, WavReaderRefusesWhatItCannotPlay) {
    snd::Wav w;
    const auto good = wav16(1, 22050, {1, 2, 3}, 6);
    auto notPcm = good;
    notPcm[12 + 12 + 8] = 3;  // format tag of the fmt chunk: IEEE float
    const std::vector<uint8_t> bad[] = {notPcm,
                                        {good.begin(), good.begin() + 48} /* ends after fmt */,
                                        {good.begin(), good.begin() + 10},
                                        std::vector<uint8_t>(good.size(), 0),
                                        wav16(1, 22050, {}, 0)};
    for (const auto& b : bad) EXPECT_FALSE(snd::parseWav(b, w)) << b.size() << " bytes";
}

TEST(SoundSynth, WrittenWavReadsBackSampleForSample) {
    std::vector<uint8_t> pcm = {128, 255, 0, 64, 200};  // odd length: padded on disk
    auto bytes = snd::encodeWav8(pcm, 7500);
    EXPECT_EQ(bytes.size() % 2, 0u);
    snd::Wav w;
    ASSERT_TRUE(snd::parseWav(bytes, w));
    EXPECT_EQ(w.rate, 7500);
    ASSERT_EQ(w.samples.size(), pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        EXPECT_NEAR(w.samples[i], (pcm[i] - 128) / 128.0, 1e-6) << i;
}

}  // namespace
