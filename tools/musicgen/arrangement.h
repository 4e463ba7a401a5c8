// The song: its sections in timeline order, the hand-placed moments that
// land on events of the picture, and the whole composition as notes.
#pragma once

#include <vector>

#include "instruments.h"
#include "sequencer.h"

namespace music {

constexpr double kSongSeconds = 332.0;     // the picture ends at 330
constexpr double kFadeFrom = 324.0;        // the picture fades to black ...
constexpr double kFadeTo = 330.0;          // ... and the music with it

// Sections covering 0 .. 330 s without gaps, in order.
std::vector<Section> songSections();

// Hits, sweeps and swells placed at exact seconds (intro flashes, scene
// changes, pulses, the final chord).
void addMoments(std::vector<Note>& notes);

struct Song {
  std::vector<Section> sections;
  std::vector<Note> notes;  // sorted by time
};

// Sequences every section and adds the moments; false if any pattern of
// the arrangement fails to parse.
bool composeSong(Song& song);

struct FxState {
  float reverbTime = 2.2f;
  float delaySeconds = 0.375f;
  float delayFeedback = 0.4f;
  float duck = 0.0f;
  float level = 0.0f;  // dB
};

// Effect settings in force at a time of the track.
FxState fxAt(const Song& song, double seconds);

// Master gain of the closing fade at a time of the track.
float fadeGain(double seconds);

}  // namespace music
