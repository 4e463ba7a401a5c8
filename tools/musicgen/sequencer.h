// The pattern sequencer: a section is a span of the track with its own beat
// grid, chord chart and effect settings, filled by clips that repeat a
// pattern over a range of bars. Sequencing turns them into notes.
#pragma once

#include <string>
#include <vector>

#include "instruments.h"

namespace music {

enum class Part : uint8_t {
  Drums,   // hits: X x o g (loud to ghost), 1-9 tuned variants, - hold, . rest
  Bass,    // r/R root, o/O octave, f fifth, t third, s seventh, a/A approach
           // the next chord from below/above; ~ slides into the next note
  Chords,  // empty pattern: one chord per chart entry; else x/X hits, - hold
  Arp,     // digits pick chord tones upwards from the clip's pitch
  Melody,  // note names with lengths, see parseMelody
  Walk,    // walking bass generated from the chords, one note per beat
};

struct Clip {
  Part part = Part::Drums;
  Inst inst = Inst::Kick;
  int fromBar = 0, toBar = 1;  // bars of the section, end exclusive
  std::string pattern;
  float gain = 1.0f;           // velocity scale
  float paramFrom = 0.5f;      // brightness at the clip's start ...
  float paramTo = 0.5f;        // ... and at its end
  int pitch = 0;               // register (lowest note) or melody transposition
  float pan = 0.0f;            // added to the instrument's position
  float wet = 1.0f;            // reverb send scale
  float echo = 1.0f;           // delay send scale
  float gate = 0.9f;           // held fraction of each step
};

Clip drums(Inst inst, int fromBar, int toBar, const char* pattern, float gain = 1.0f);
Clip bassLine(Inst inst, int fromBar, int toBar, const char* pattern, int low = 33);
Clip chords(Inst inst, int fromBar, int toBar, const char* pattern = "", int low = 55);
Clip arp(Inst inst, int fromBar, int toBar, const char* pattern, int low = 60);
Clip melody(Inst inst, int fromBar, int toBar, const char* notes, int transpose = 0);
Clip walk(Inst inst, int fromBar, int toBar, int low = 28);

// Modifiers, returning the changed copy.
Clip sweep(Clip c, float paramFrom, float paramTo);
Clip sends(Clip c, float wet, float echo);
Clip panned(Clip c, float pan);
Clip scaled(Clip c, float gain);
Clip gated(Clip c, float gate);

struct FxSettings {
  float reverbTime = 2.2f;     // seconds to -60 dB
  float delayBeats = 0.75f;    // ping-pong time in beats of the section
  float delayFeedback = 0.4f;
  float duck = 0.5f;           // depth of the kick's pumping, 0 .. 1
  float level = 0.0f;          // dB: the section's place in the track's dynamics
};

struct Section {
  const char* name = "";
  double from = 0.0, to = 0.0;   // the seconds of the track it owns
  double origin = 0.0;           // time of bar 0, beat 0
  double beat = 0.5;             // seconds per beat
  int beatsPerBar = 4;
  std::string chords;            // chart from bar 0, repeated as needed
  float swing = 0.0f;            // 0 straight .. 1 triplet eighths
  double ritFrom = 0.0;          // ritardando: the beat slows linearly from
  double ritTo = 0.0;            // ritFrom to a stop at ritTo (0: none)
  FxSettings fx;
  std::vector<Clip> clips;
};

// Seconds at which a beat position (from bar 0) sounds; +infinity for beats
// a ritardando never reaches.
double beatTime(const Section& s, double beat);

// A beat position with the eighths (and sixteenths) pushed late by swing.
double swingBeat(double beat, float swing);

// Appends the section's notes; false if a pattern does not parse.
bool sequenceSection(const Section& s, uint32_t seed, std::vector<Note>& out);

}  // namespace music
