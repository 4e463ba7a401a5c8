// The composition side: notation, harmony, the sequencer, the song form, and
// rendering and encoding it reproducibly.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "arrangement.h"
#include "dsp.h"
#include "harmony.h"
#include "notation.h"
#include "render.h"
#include "sequencer.h"
#include "vorbis_writer.h"

namespace music {
namespace {

std::set<int> pitchClassesOf(const Chord& c) {
  std::set<int> pcs;
  for (int i = 0; i < c.count; ++i) pcs.insert((c.root + c.intervals[i]) % 12);
  return pcs;
}

TEST(MusicNotation, NoteNames) {
  EXPECT_EQ(parseNoteName("A4"), 69);
  EXPECT_EQ(parseNoteName("C4"), 60);
  EXPECT_EQ(parseNoteName("G#5"), 80);
  EXPECT_EQ(parseNoteName("Bb3"), 58);
  EXPECT_EQ(parseNoteName("B#3"), 60);  // the octave goes with the letter
  EXPECT_EQ(parseNoteName("Cb4"), 59);
  EXPECT_EQ(parseNoteName("H4"), -1);
  EXPECT_EQ(parseNoteName("C"), -1);
  EXPECT_EQ(parseNoteName("C#"), -1);
  EXPECT_EQ(parseNoteName("C44"), -1);
}

TEST(MusicNotation, ChordSymbols) {
  Chord c;
  ASSERT_TRUE(parseChord("Bm7b5", c));
  EXPECT_EQ(pitchClassesOf(c), (std::set<int>{11, 2, 5, 9}));
  ASSERT_TRUE(parseChord("F#m", c));
  EXPECT_EQ(pitchClassesOf(c), (std::set<int>{6, 9, 1}));
  ASSERT_TRUE(parseChord("Bbmaj7", c));
  EXPECT_EQ(pitchClassesOf(c), (std::set<int>{10, 2, 5, 9}));
  ASSERT_TRUE(parseChord("C/E", c));
  EXPECT_EQ(c.root, 0);
  EXPECT_EQ(c.bass, 4);
  ASSERT_TRUE(parseChord("E7b9", c));
  EXPECT_EQ(pitchClassesOf(c), (std::set<int>{4, 8, 11, 2, 5}));
  EXPECT_FALSE(parseChord("Xm", c));
  EXPECT_FALSE(parseChord("Cmajor", c));
  EXPECT_FALSE(parseChord("C/", c));
}

TEST(MusicNotation, ChartsAndMelodies) {
  std::vector<ChartEntry> chart;
  ASSERT_TRUE(parseChart("Am:8 F G:2 | E7:6", chart));
  ASSERT_EQ(chart.size(), 4u);
  EXPECT_DOUBLE_EQ(chart[1].beat, 8.0);
  EXPECT_DOUBLE_EQ(chart[1].beats, 4.0);  // a bar unless told
  EXPECT_DOUBLE_EQ(chart[3].beat, 14.0);
  EXPECT_FALSE(parseChart("Am:x", chart));

  Melody m;
  ASSERT_TRUE(parseMelody("/8 C5:3 r:1 !E5 ~G5:4", m));
  EXPECT_EQ(m.stepsPerBeat, 8);
  ASSERT_EQ(m.notes.size(), 4u);
  EXPECT_EQ(m.notes[1].pitch, -1);
  EXPECT_DOUBLE_EQ(m.notes[2].steps, 1.0);  // keeps the previous length
  EXPECT_TRUE(m.notes[2].accent);
  EXPECT_TRUE(m.notes[3].slide);
  EXPECT_DOUBLE_EQ(m.totalSteps, 9.0);
  EXPECT_FALSE(parseMelody("C5:3 Q5:1", m));

  std::string cells;
  EXPECT_EQ(patternSteps("/3 x.x | x..", cells), 3);
  EXPECT_EQ(cells, "x.xx..");
  EXPECT_EQ(patternSteps("x...", cells), 4);
}

TEST(MusicHarmony, VoicingsStayInRangeAndMoveSmoothly) {
  const char* progression[] = {"Am", "F", "C", "G", "Dm7", "E7", "Bm7b5", "Fmaj7#11", "Am9"};
  std::vector<int> previous;
  for (const char* name : progression) {
    Chord c;
    ASSERT_TRUE(parseChord(name, c));
    const std::vector<int> v = voiceChord(c, previous, 55, 74);
    ASSERT_FALSE(v.empty());
    std::set<int> pcs;
    for (int note : v) {
      EXPECT_GE(note, 55) << name;
      EXPECT_LE(note, 74) << name;
      pcs.insert(note % 12);
    }
    EXPECT_EQ(pcs, pitchClassesOf(c)) << name << ": every chord tone, nothing else";
    if (!previous.empty()) {
      // Good voice leading: the top and bottom voices move by small steps.
      EXPECT_LE(std::abs(v.front() - previous.front()), 7) << name;
      EXPECT_LE(std::abs(v.back() - previous.back()), 7) << name;
    }
    previous = v;
  }
}

TEST(MusicHarmony, BassAndChordTones) {
  Chord c;
  ASSERT_TRUE(parseChord("C/E", c));
  EXPECT_EQ(bassNote(c, 33), 40);  // E2 above A1
  ASSERT_TRUE(parseChord("Am", c));
  EXPECT_EQ(chordToneAbove(c, 60, 0), 60);  // C4
  EXPECT_EQ(chordToneAbove(c, 60, 1), 64);  // E4
  EXPECT_EQ(chordToneAbove(c, 60, 2), 69);  // A4
  EXPECT_EQ(chordToneAbove(c, 60, 3), 72);  // C5
  EXPECT_EQ(chordFifth(c), 7);
  EXPECT_EQ(chordSeventh(c), 12);  // no seventh: the octave
  ASSERT_TRUE(parseChord("Bm7b5", c));
  EXPECT_EQ(chordFifth(c), 6);
  EXPECT_EQ(chordSeventh(c), 10);
}

TEST(MusicSequencer, BeatGridSwingAndRitardando) {
  Section s;
  s.origin = 10.0;
  s.beat = 0.5;
  EXPECT_DOUBLE_EQ(beatTime(s, 4.0), 12.0);
  EXPECT_DOUBLE_EQ(swingBeat(2.5, 0.0f), 2.5);
  EXPECT_NEAR(swingBeat(2.5, 1.0f), 2.0 + 2.0 / 3.0, 1e-9);  // triplet feel
  EXPECT_DOUBLE_EQ(swingBeat(3.0, 1.0f), 3.0);              // beats stay put

  s.ritFrom = 14.0;
  s.ritTo = 18.0;
  // Untouched before the ritardando, slower and slower after it, and the
  // beat stops at its end: 4 s at a falling rate hold only 4 beats.
  EXPECT_DOUBLE_EQ(beatTime(s, 8.0), 14.0);
  double previousGap = 0.25, previousTime = 14.0;
  for (double b = 8.5; b < 11.9; b += 0.5) {
    const double t = beatTime(s, b);
    ASSERT_TRUE(std::isfinite(t)) << b;
    EXPECT_GT(t - previousTime, previousGap) << b;
    previousGap = t - previousTime;
    previousTime = t;
  }
  EXPECT_LE(beatTime(s, 11.99), 18.0);
  EXPECT_FALSE(std::isfinite(beatTime(s, 12.1)));
}

TEST(MusicSequencer, PatternsBecomeNotes) {
  Section s;
  s.from = 0.0;
  s.to = 4.0;
  s.chords = "Am:4 F:4";
  s.clips = {drums(Inst::Kick, 0, 2, "X...x...x...x..."), bassLine(Inst::Bass, 0, 2, "..r-..o-........", 33),
             chords(Inst::Pad, 0, 2, "", 55)};
  std::vector<Note> notes;
  ASSERT_TRUE(sequenceSection(s, 1, notes));
  std::vector<double> kicks;
  std::vector<float> bass;
  int pads = 0;
  for (const Note& n : notes) {
    if (n.inst == Inst::Kick) kicks.push_back(n.time);
    if (n.inst == Inst::Bass) bass.push_back(n.pitch);
    if (n.inst == Inst::Pad) ++pads;
  }
  ASSERT_EQ(kicks.size(), 8u);
  for (size_t i = 0; i < kicks.size(); ++i) EXPECT_NEAR(kicks[i], 0.5 * i, 0.004);
  EXPECT_EQ(bass, (std::vector<float>{33.0f, 45.0f, 41.0f, 53.0f}));  // A1 A2 F2 F3
  EXPECT_EQ(pads, 6);  // two triads
}

TEST(MusicSequencer, NotesOutsideTheSectionAreDropped) {
  Section s;
  s.from = 1.0;
  s.to = 2.0;
  s.clips = {drums(Inst::HatClosed, 0, 2, "xxxx")};
  std::vector<Note> notes;
  ASSERT_TRUE(sequenceSection(s, 1, notes));
  ASSERT_FALSE(notes.empty());
  for (const Note& n : notes) {
    EXPECT_GE(n.time, 1.0);
    EXPECT_LT(n.time, 2.0);
  }
}

TEST(MusicSong, SectionsCoverTheWholePicture) {
  const std::vector<Section> sections = songSections();
  ASSERT_FALSE(sections.empty());
  EXPECT_DOUBLE_EQ(sections.front().from, 0.0);
  for (size_t i = 1; i < sections.size(); ++i)
    EXPECT_DOUBLE_EQ(sections[i].from, sections[i - 1].to) << sections[i].name;
  EXPECT_DOUBLE_EQ(sections.back().to, 330.0);
  // Scene changes of the picture are section boundaries.
  std::set<double> starts;
  for (const Section& s : sections) starts.insert(s.from);
  for (double cut : {17.5, 36.5, 63.0, 111.2, 127.5, 159.5, 192.0, 208.0, 256.0, 304.0})
    EXPECT_EQ(starts.count(cut), 1u) << cut;
}

TEST(MusicSong, ComposesCleanly) {
  Song song;
  ASSERT_TRUE(composeSong(song));
  ASSERT_GT(song.notes.size(), 3000u);
  for (size_t i = 0; i < song.notes.size(); ++i) {
    const Note& n = song.notes[i];
    EXPECT_GE(n.time, 0.0);
    EXPECT_LT(n.time, kFadeTo);
    EXPECT_GT(n.length, 0.0f);
    EXPECT_GE(n.pitch, 20.0f);
    EXPECT_LE(n.pitch, 100.0f);
    EXPECT_GT(n.velocity, 0.0f);
    EXPECT_LE(n.velocity, 1.0f);
    if (i > 0) {
      EXPECT_GE(n.time, song.notes[i - 1].time);
    }
  }
}

// Onset times of an instrument's notes within [from, to).
std::vector<double> onsets(const Song& song, Inst inst, double from, double to) {
  std::vector<double> times;
  for (const Note& n : song.notes)
    if (n.inst == inst && n.time >= from && n.time < to &&
        (times.empty() || n.time - times.back() > 0.02))
      times.push_back(n.time);
  return times;
}

TEST(MusicSong, IntroFollowsTheFlashTable) {
  Song song;
  ASSERT_TRUE(composeSong(song));
  const std::vector<double> stabs = onsets(song, Inst::Stab, 0.0, 17.5);
  const std::vector<double> expected = {0.0, 0.5, 3.5, 4.0, 4.25, 4.5, 8.0, 8.5, 11.5, 12.0, 12.25, 12.5, 16.0, 16.5};
  ASSERT_EQ(stabs.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(stabs[i], expected[i], 1e-9);
  // The white lights' chase: bell runs, uneven going down, even coming back.
  const std::vector<double> bells = onsets(song, Inst::Bell, 0.0, 17.5);
  ASSERT_EQ(bells.size(), 28u);
  const double uneven[] = {0.0, 0.2, 0.4, 0.8, 1.0, 1.2, 1.4};
  for (int run = 0; run < 4; ++run)
    for (int i = 0; i < 7; ++i)
      EXPECT_NEAR(bells[run * 7 + i], 4.0 * run + (run % 2 ? 0.2 * i : uneven[i]), 1e-9);
}

TEST(MusicSong, MirrorPhrasesOpenWithEachLineOfText) {
  Song song;
  ASSERT_TRUE(composeSong(song));
  const std::vector<double> bells = onsets(song, Inst::Bell, 128.0, 159.5);
  for (int k = 0; k < 9; ++k) {
    const double fadeIn = 127.5 + 7.3 + 2.68 * k;
    double nearest = 1e9;
    for (double t : bells) nearest = std::min(nearest, std::fabs(t - fadeIn));
    // The last line fades in while the music is already slowing down.
    EXPECT_LT(nearest, k < 8 ? 0.01 : 0.1) << "line " << k;
  }
  // And the pendulum stops: no tick in the last second of the scene.
  EXPECT_TRUE(onsets(song, Inst::Tick, 158.5, 159.5).empty());
  EXPECT_FALSE(onsets(song, Inst::Tick, 150.0, 155.0).empty());
}

TEST(MusicSong, FractalPulsesAreMarked) {
  Song song;
  ASSERT_TRUE(composeSong(song));
  for (double pulse : {195.05, 200.35, 205.65}) {
    const std::vector<double> booms = onsets(song, Inst::Boom, pulse - 0.01, pulse + 0.01);
    EXPECT_EQ(booms.size(), 1u) << pulse;
  }
}

TEST(MusicRender, ExcerptIsBitIdenticalWhateverTheThreads) {
  Song song;
  ASSERT_TRUE(composeSong(song));
  StereoBuffer a, b, c;
  renderSong(song, 15.5, 18.5, 2, a);
  renderSong(song, 15.5, 18.5, 2, b);
  renderSong(song, 15.5, 18.5, 1, c);
  ASSERT_EQ(a.left.size(), static_cast<size_t>(3 * kSampleRate));
  EXPECT_TRUE(a.left == b.left && a.right == b.right);
  EXPECT_TRUE(a.left == c.left && a.right == c.right);
  float peak = 0.0f;
  for (size_t i = 0; i < a.left.size(); ++i) peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
  EXPECT_GT(peak, 0.3f) << "the double hit is in there";
  EXPECT_LE(peak, kCeiling);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MusicVorbis, EncodesReproduciblyWithTheFixedSerial) {
  const int n = kSampleRate;
  std::vector<float> l(n), r(n);
  for (int i = 0; i < n; ++i) {
    l[i] = 0.5f * std::sin(2.0 * 3.14159265358979 * 440.0 * i / kSampleRate);
    r[i] = 0.5f * std::sin(2.0 * 3.14159265358979 * 660.0 * i / kSampleRate);
  }
  const std::string a = testing::TempDir() + "music_a.ogg", b = testing::TempDir() + "music_b.ogg";
  ASSERT_TRUE(writeOggVorbis(a, l.data(), r.data(), n, 0.5f, "test"));
  ASSERT_TRUE(writeOggVorbis(b, l.data(), r.data(), n, 0.5f, "test"));
  const std::string bytesA = readFile(a), bytesB = readFile(b);
  ASSERT_GT(bytesA.size(), 28u);
  EXPECT_EQ(bytesA, bytesB);
  EXPECT_EQ(bytesA.substr(0, 4), "OggS");
  const uint32_t serial = static_cast<uint8_t>(bytesA[14]) | static_cast<uint8_t>(bytesA[15]) << 8 |
                          static_cast<uint8_t>(bytesA[16]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytesA[17])) << 24;
  EXPECT_EQ(serial, static_cast<uint32_t>(kOggSerial));

  OggVorbis_File vf;
  ASSERT_EQ(ov_fopen(a.c_str(), &vf), 0);
  EXPECT_EQ(ov_info(&vf, -1)->rate, kSampleRate);
  EXPECT_EQ(ov_info(&vf, -1)->channels, 2);
  EXPECT_EQ(ov_pcm_total(&vf, -1), n);
  // Left carries the 440 Hz tone: check its level after decoding.
  float** pcm = nullptr;
  int section = 0;
  double power = 0.0;
  long got = 0;
  while (got < n) {
    const long k = ov_read_float(&vf, &pcm, 4096, &section);
    if (k <= 0) break;
    for (long i = 0; i < k; ++i) power += pcm[0][i] * pcm[0][i];
    got += k;
  }
  ov_clear(&vf);
  EXPECT_NEAR(power / got, 0.125, 0.01);
  EXPECT_NEAR(decodedPeak(a), 0.5f, 0.03f);
  EXPECT_LT(decodedPeak("/nonexistent-dir/x.ogg"), 0.0f);
  std::remove(a.c_str());
  std::remove(b.c_str());
}

TEST(MusicVorbis, ReportsAnUnwritablePath) {
  float x[16] = {};
  EXPECT_FALSE(writeOggVorbis("/nonexistent-dir/x.ogg", x, x, 16, 0.5f, "test"));
}

}  // namespace
}  // namespace music
