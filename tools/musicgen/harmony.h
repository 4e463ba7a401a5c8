// Turning chord symbols into notes: voicings that move smoothly from chord
// to chord, bass notes and chord tones for patterns.
#pragma once

#include <vector>

#include "notation.h"

namespace music {

// Close-position voicing of the chord with every note in [low, high],
// chosen to move as little as possible from `previous` (empty: centred in
// the range). Extensions beyond the octave are folded in as pitch classes.
std::vector<int> voiceChord(const Chord& chord, const std::vector<int>& previous, int low, int high);

// The chord's bass pitch class placed in [low, low + 11].
int bassNote(const Chord& chord, int low);

// Semitones above the root of the chord's third, fifth and seventh, falling
// back to root-related intervals when the chord lacks them.
int chordThird(const Chord& chord);
int chordFifth(const Chord& chord);
int chordSeventh(const Chord& chord);

// Ascending chord tones starting at or above `low`: tone k of the list.
int chordToneAbove(const Chord& chord, int low, int k);

// Whether a pitch class belongs to the chord.
bool chordHas(const Chord& chord, int pitchClass);

}  // namespace music
