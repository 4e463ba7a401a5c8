// Parsers for the text notation the arrangement is written in: note names,
// chord symbols, chord charts and melodies. Parse failures are reported on
// stderr and returned as false; the arrangement is fixed data, so a failure
// is a bug that the tests catch.
#pragma once

#include <string>
#include <vector>

namespace music {

constexpr int kMaxChordTones = 6;

struct Chord {
  int root = 0;  // pitch class, C = 0
  int bass = 0;  // pitch class of the lowest note (differs for slash chords)
  int count = 0;
  int intervals[kMaxChordTones] = {};  // semitones above the root, ascending
};

// "C#5" -> 73 (MIDI, C4 = 60). Returns -1 on a malformed name.
int parseNoteName(const std::string& text);

// "Am7", "F#m7b5", "Bbmaj7", "C/E", "Esus4", "Dm9" ...
bool parseChord(const std::string& text, Chord& out);

struct ChartEntry {
  double beat = 0.0;   // start, in beats from the chart's start
  double beats = 4.0;  // length in beats
  Chord chord;
};

// "Am:8 F:8 C G" -> chords with lengths in beats (a bar of 4 by default).
bool parseChart(const std::string& text, std::vector<ChartEntry>& out);

struct MelodyNote {
  double step = 0.0;    // start, in steps from the phrase start
  double steps = 1.0;   // length in steps
  int pitch = -1;       // MIDI note, -1 for a rest
  bool accent = false;  // '!' prefix
  bool slide = false;   // '~' prefix: glide in from the previous note
};

struct Melody {
  std::vector<MelodyNote> notes;
  double totalSteps = 0.0;
  int stepsPerBeat = 4;
};

// "C5:3 A4:3 r:2 !F5:4 ~E5:4": name, optional ':' length in steps (the
// previous length when missing), "r" for rest. A leading "/N" sets the steps
// per beat (4: sixteenths, the default).
bool parseMelody(const std::string& text, Melody& out);

// Steps-per-beat prefix of a step pattern ("/8 x.x." -> 8), and the pattern
// with the prefix, spaces and bar lines removed.
int patternSteps(const std::string& pattern, std::string& cells);

}  // namespace music
