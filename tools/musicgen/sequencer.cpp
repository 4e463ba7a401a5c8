#include "sequencer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "dsp.h"
#include "harmony.h"
#include "notation.h"
#include "rng.h"

namespace music {

Clip drums(Inst inst, int fromBar, int toBar, const char* pattern, float gain) {
  Clip c;
  c.part = Part::Drums;
  c.inst = inst;
  c.fromBar = fromBar;
  c.toBar = toBar;
  c.pattern = pattern;
  c.gain = gain;
  c.pitch = inst == Inst::Tom ? 57 : inst == Inst::Tick ? 84 : inst == Inst::Boom ? 36 : 60;
  return c;
}

Clip bassLine(Inst inst, int fromBar, int toBar, const char* pattern, int low) {
  Clip c = drums(inst, fromBar, toBar, pattern);
  c.part = Part::Bass;
  c.pitch = low;
  return c;
}

Clip chords(Inst inst, int fromBar, int toBar, const char* pattern, int low) {
  Clip c = drums(inst, fromBar, toBar, pattern);
  c.part = Part::Chords;
  c.pitch = low;
  c.gate = 1.0f;
  return c;
}

Clip arp(Inst inst, int fromBar, int toBar, const char* pattern, int low) {
  Clip c = drums(inst, fromBar, toBar, pattern);
  c.part = Part::Arp;
  c.pitch = low;
  return c;
}

Clip melody(Inst inst, int fromBar, int toBar, const char* notes, int transpose) {
  Clip c = drums(inst, fromBar, toBar, notes);
  c.part = Part::Melody;
  c.pitch = transpose;
  c.gate = 0.95f;
  return c;
}

Clip walk(Inst inst, int fromBar, int toBar, int low) {
  Clip c = drums(inst, fromBar, toBar, "");
  c.part = Part::Walk;
  c.pitch = low;
  return c;
}

Clip sweep(Clip c, float paramFrom, float paramTo) {
  c.paramFrom = paramFrom;
  c.paramTo = paramTo;
  return c;
}

Clip sends(Clip c, float wet, float echo) {
  c.wet = wet;
  c.echo = echo;
  return c;
}

Clip panned(Clip c, float pan) {
  c.pan = pan;
  return c;
}

Clip scaled(Clip c, float gain) {
  c.gain = gain;
  return c;
}

Clip gated(Clip c, float gate) {
  c.gate = gate;
  return c;
}

double beatTime(const Section& s, double beat) {
  const double linear = s.origin + beat * s.beat;
  if (s.ritTo <= s.ritFrom || linear <= s.ritFrom) return linear;
  // The beat rate falls linearly to zero over the ritardando, so the beats
  // still to come are the area of a triangle.
  const double span = s.ritTo - s.ritFrom;
  const double x = (linear - s.ritFrom);  // seconds the beat would have run
  const double left = 1.0 - 2.0 * x / span;
  if (left < 0.0) return std::numeric_limits<double>::infinity();
  return s.ritFrom + span * (1.0 - std::sqrt(left));
}

double swingBeat(double beat, float swing) {
  if (swing <= 0.0f) return beat;
  const double whole = std::floor(beat);
  const double x = beat - whole;
  const double a = 0.5 + swing / 6.0;  // where the off-beat eighth lands
  const double y = x < 0.5 ? x * (a / 0.5) : a + (x - 0.5) * ((1.0 - a) / 0.5);
  return whole + y;
}

namespace {

struct Chart {
  std::vector<ChartEntry> entries;
  double length = 0.0;  // beats of one pass
};

// The chart entry sounding at `beat`, with its start and end in absolute
// beats (the chart repeats).
struct ChordAt {
  const Chord* chord;
  const Chord* next;
  double start, end;
};

ChordAt chordAt(const Chart& chart, double beat) {
  const double pass = std::floor(beat / chart.length);
  const double local = beat - pass * chart.length;
  const int n = static_cast<int>(chart.entries.size());
  for (int i = 0; i < n; ++i) {
    const ChartEntry& e = chart.entries[i];
    if (local < e.beat + e.beats - 1e-9 || i == n - 1) {
      const double start = pass * chart.length + e.beat;
      return ChordAt{&e.chord, &chart.entries[(i + 1) % n].chord, start, start + e.beats};
    }
  }
  return ChordAt{&chart.entries[0].chord, &chart.entries[0].chord, 0.0, chart.length};
}

struct Context {
  const Section& section;
  const Clip& clip;
  const Chart& chart;
  Rng rng;
  std::vector<Note>& out;
  uint32_t seedBase;
  int count = 0;
  double clipStart = 0.0, clipEnd = 0.0;  // beats
};

// Adds a note at beat position `beat` lasting `beats`; drops it when it
// falls outside the section's time span.
void emit(Context& c, double beat, double beats, float pitch, float velocity, float pan,
          float glideFrom, float timeJitter, bool holdIntoSection = false) {
  const Section& s = c.section;
  double t0 = beatTime(s, swingBeat(beat, s.swing)) + timeJitter;
  double t1 = beatTime(s, swingBeat(beat + beats, s.swing));
  if (!std::isfinite(t1)) t1 = std::max(t0 + beats * s.beat, s.to);
  // A held chord whose bar began before the section still sounds from the
  // section's first moment.
  if (holdIntoSection && t0 < s.from && t1 > s.from + 0.25) t0 = s.from;
  // A hit nudged early by its timing jitter still belongs to its section.
  if (t0 < s.from && t0 > s.from - 0.01) t0 = s.from;
  if (!(t0 >= s.from && t0 < s.to)) return;
  const Routing& r = routingOf(c.clip.inst);
  const double along = c.clipEnd > c.clipStart ? (beat - c.clipStart) / (c.clipEnd - c.clipStart) : 0.0;
  Note n;
  n.time = t0;
  // Short notes are detached by the clip's gate; long ones only breathe,
  // so sustained lines stay legato.
  const double held = t1 - t0;
  n.length = static_cast<float>(std::max(0.01, held - std::min(held * (1.0 - c.clip.gate), 0.08)));
  n.inst = c.clip.inst;
  n.pitch = pitch;
  n.velocity = clampf(velocity * c.clip.gain, 0.0f, 1.0f);
  n.pan = clampf(r.pan + c.clip.pan + pan, -1.0f, 1.0f);
  n.param = static_cast<float>(c.clip.paramFrom + (c.clip.paramTo - c.clip.paramFrom) * along);
  n.glideFrom = glideFrom;
  n.reverb = r.reverb * c.clip.wet;
  n.delay = r.delay * c.clip.echo;
  n.seed = c.seedBase + static_cast<uint32_t>(c.count++) * 7919u;
  c.out.push_back(n);
}

bool isDrumHit(char ch) {
  return ch == 'X' || ch == 'x' || ch == 'o' || ch == 'g' || (ch >= '1' && ch <= '9');
}

void sequenceDrums(Context& c) {
  std::string cells;
  const int spb = patternSteps(c.clip.pattern, cells);
  if (cells.empty()) return;
  const int len = static_cast<int>(cells.size());
  const double step = 1.0 / spb;
  const long total = std::lround((c.clipEnd - c.clipStart) * spb);
  for (long k = 0; k < total; ++k) {
    const char ch = cells[k % len];
    if (!isDrumHit(ch)) continue;
    long hold = 1;
    while (k + hold < total && cells[(k + hold) % len] == '-') ++hold;
    float velocity = 0.8f, pitch = static_cast<float>(c.clip.pitch), pan = 0.0f;
    switch (ch) {
      case 'X': velocity = 1.0f; break;
      case 'x': velocity = 0.78f; break;
      case 'o': velocity = 0.5f; break;
      case 'g': velocity = 0.3f; break;
      default: {
        const int v = ch - '1';
        pitch -= 5.0f * v;
        if (c.clip.inst == Inst::Tom) pan = 0.4f - 0.25f * v;
        if (c.clip.inst == Inst::Tick) pan = (v & 1) ? 0.45f : -0.45f;  // a swinging pendulum
        break;
      }
    }
    // Small, seeded imperfections: a drum machine played by a person.
    velocity *= 1.0f + 0.06f * uniformPm(c.rng);
    const float jitter = 0.002f * uniformPm(c.rng);
    emit(c, c.clipStart + k * step, hold * step, pitch, velocity, pan, 0.0f, jitter);
  }
}

void sequenceBass(Context& c) {
  std::string raw;
  const int spb = patternSteps(c.clip.pattern, raw);
  // '~' marks the following cell as sliding in; strip it into a flag.
  std::string cells;
  std::vector<bool> slides;
  bool pendingSlide = false;
  for (char ch : raw) {
    if (ch == '~') {
      pendingSlide = true;
      continue;
    }
    cells += ch;
    slides.push_back(pendingSlide);
    pendingSlide = false;
  }
  if (cells.empty()) return;
  const int len = static_cast<int>(cells.size());
  const double step = 1.0 / spb;
  const long total = std::lround((c.clipEnd - c.clipStart) * spb);
  float previous = 0.0f;
  for (long k = 0; k < total; ++k) {
    const char ch = cells[k % len];
    if (ch == '.' || ch == '-') continue;
    long hold = 1;
    while (k + hold < total && cells[(k + hold) % len] == '-') ++hold;
    const double beat = c.clipStart + k * step;
    const ChordAt at = chordAt(c.chart, beat);
    const int root = bassNote(*at.chord, c.clip.pitch);
    int pitch = root;
    float velocity = 0.8f;
    switch (ch) {
      case 'R': velocity = 1.0f; break;
      case 'r': break;
      case 'O': velocity = 1.0f; pitch += 12; break;
      case 'o': pitch += 12; break;
      case 'f': pitch = root - at.chord->bass + at.chord->root + chordFifth(*at.chord); break;
      case 't': pitch = root - at.chord->bass + at.chord->root + chordThird(*at.chord); break;
      case 's': pitch = root - at.chord->bass + at.chord->root + chordSeventh(*at.chord); break;
      case 'a':
      case 'A': {
        const int target = bassNote(*at.next, c.clip.pitch);
        pitch = ch == 'a' ? target - 1 : target + 1;
        break;
      }
      default:
        std::fprintf(stderr, "musicgen: bad bass cell '%c'\n", ch);
        continue;
    }
    // Keep everything within the two octaves above the clip's register.
    while (pitch < c.clip.pitch - 1) pitch += 12;
    while (pitch > c.clip.pitch + 23) pitch -= 12;
    velocity *= 1.0f + 0.04f * uniformPm(c.rng);
    const float glide = slides[k % len] && previous > 0.0f ? previous : 0.0f;
    emit(c, beat, hold * step, static_cast<float>(pitch), velocity, 0.0f, glide, 0.0f);
    previous = static_cast<float>(pitch);
  }
}

void sequenceChords(Context& c) {
  std::vector<int> voicing;
  const Chord* voiced = nullptr;
  const int low = c.clip.pitch, high = c.clip.pitch + 19;
  auto play = [&](double beat, double beats, const Chord& chord, float velocity, bool hold) {
    if (voiced != &chord || voicing.empty()) {
      voicing = voiceChord(chord, voicing, low, high);
      voiced = &chord;
    }
    const int n = static_cast<int>(voicing.size());
    for (int i = 0; i < n; ++i) {
      const float spread = n > 1 ? (static_cast<float>(i) / (n - 1) - 0.5f) * 0.5f : 0.0f;
      emit(c, beat, beats, static_cast<float>(voicing[i]), velocity * (1.0f + 0.03f * uniformPm(c.rng)),
           spread, 0.0f, 0.0f, hold);
    }
  };
  if (c.clip.pattern.empty()) {
    double beat = c.clipStart;
    while (beat < c.clipEnd - 1e-9) {
      const ChordAt at = chordAt(c.chart, beat);
      const double end = std::min(at.end, c.clipEnd);
      play(beat, end - beat, *at.chord, 0.8f, true);
      beat = end;
    }
    return;
  }
  std::string cells;
  const int spb = patternSteps(c.clip.pattern, cells);
  if (cells.empty()) return;
  const int len = static_cast<int>(cells.size());
  const double step = 1.0 / spb;
  const long total = std::lround((c.clipEnd - c.clipStart) * spb);
  for (long k = 0; k < total; ++k) {
    const char ch = cells[k % len];
    if (ch != 'x' && ch != 'X') continue;
    long hold = 1;
    while (k + hold < total && cells[(k + hold) % len] == '-') ++hold;
    const double beat = c.clipStart + k * step;
    play(beat, hold * step, *chordAt(c.chart, beat).chord, ch == 'X' ? 1.0f : 0.78f, false);
  }
}

void sequenceArp(Context& c) {
  std::string cells;
  const int spb = patternSteps(c.clip.pattern, cells);
  if (cells.empty()) return;
  const int len = static_cast<int>(cells.size());
  const double step = 1.0 / spb;
  const long total = std::lround((c.clipEnd - c.clipStart) * spb);
  int parity = 0;
  for (long k = 0; k < total; ++k) {
    const char ch = cells[k % len];
    if (ch < '0' || ch > '9') continue;
    long hold = 1;
    while (k + hold < total && cells[(k + hold) % len] == '-') ++hold;
    const double beat = c.clipStart + k * step;
    const ChordAt at = chordAt(c.chart, beat);
    const int pitch = chordToneAbove(*at.chord, c.clip.pitch, ch - '0');
    const bool onBeat = (k % spb) == 0;
    const float velocity = (onBeat ? 0.9f : 0.72f) * (1.0f + 0.05f * uniformPm(c.rng));
    const float pan = (parity++ & 1) ? 0.2f : -0.2f;
    emit(c, beat, hold * step, static_cast<float>(pitch), velocity, pan, 0.0f, 0.0f);
  }
}

bool sequenceMelody(Context& c) {
  Melody m;
  if (!parseMelody(c.clip.pattern, m)) return false;
  const double passBeats = m.totalSteps / m.stepsPerBeat;
  float previous = 0.0f;
  for (double pass = c.clipStart; pass < c.clipEnd - 1e-9; pass += passBeats) {
    for (const MelodyNote& note : m.notes) {
      const double beat = pass + note.step / m.stepsPerBeat;
      if (beat >= c.clipEnd - 1e-9) break;
      if (note.pitch < 0) continue;
      const double beats = std::min(note.steps / m.stepsPerBeat, c.clipEnd - beat);
      const float pitch = static_cast<float>(note.pitch + c.clip.pitch);
      const float velocity = (note.accent ? 1.0f : 0.82f) * (1.0f + 0.04f * uniformPm(c.rng));
      emit(c, beat, beats, pitch, velocity, 0.0f, note.slide && previous > 0.0f ? previous : 0.0f, 0.0f);
      previous = pitch;
    }
  }
  return true;
}

// A walking bass line: roots on chord changes, chord tones moving by the
// nearest way in between, and a chromatic or fifth-above approach into the
// next chord.
void sequenceWalk(Context& c) {
  const int low = c.clip.pitch, high = c.clip.pitch + 19;
  int previous = -1;
  for (double beat = c.clipStart; beat < c.clipEnd - 1e-9; beat += 1.0) {
    const ChordAt at = chordAt(c.chart, beat);
    const Chord& chord = *at.chord;
    int pitch;
    const bool first = beat < at.start + 0.5;
    const bool last = beat + 1.0 > at.end - 0.5;
    auto nearest = [&](int pc) {
      int best = -1;
      for (int p = low; p <= high; ++p) {
        if (((p % 12) + 12) % 12 != pc) continue;
        if (best < 0 || std::abs(p - previous) < std::abs(best - previous)) best = p;
      }
      return best;
    };
    if (previous < 0) previous = bassNote(chord, low) + 5;
    if (first) {
      pitch = nearest(chord.bass);
    } else if (last) {
      const int target = nearest(at.next->bass);
      const int choice = randomBelow(c.rng, 3);
      pitch = choice == 0 ? target - 1 : choice == 1 ? target + 1 : target + 7;
      if (pitch > high) pitch -= 12;
      if (pitch < low) pitch += 12;
    } else {
      const int which = randomBelow(c.rng, 3);
      const int interval = which == 0 ? chordThird(chord) : which == 1 ? chordFifth(chord) : chordSeventh(chord);
      pitch = nearest((chord.root + interval) % 12);
      if (pitch == previous) pitch = nearest((chord.root + chordFifth(chord)) % 12);
    }
    const double within = beat - std::floor(beat / c.section.beatsPerBar) * c.section.beatsPerBar;
    const float velocity = (within < 0.5 || std::fabs(within - 2.0) < 0.5 ? 0.9f : 0.78f) *
                           (1.0f + 0.05f * uniformPm(c.rng));
    emit(c, beat, 1.0, static_cast<float>(pitch), velocity, 0.0f, 0.0f, 0.0f);
    previous = pitch;
  }
}

}  // namespace

bool sequenceSection(const Section& s, uint32_t seed, std::vector<Note>& out) {
  Chart chart;
  if (!s.chords.empty()) {
    if (!parseChart(s.chords, chart.entries)) return false;
    chart.length = chart.entries.back().beat + chart.entries.back().beats;
  } else {
    ChartEntry e;
    parseChord("C", e.chord);
    chart.entries.push_back(e);
    chart.length = 4.0;
  }
  bool ok = true;
  for (size_t i = 0; i < s.clips.size(); ++i) {
    const Clip& clip = s.clips[i];
    const uint32_t clipSeed = seed * 1000003u + static_cast<uint32_t>(i) * 104729u;
    Context c{s, clip, chart, makeRng(clipSeed), out, clipSeed};
    c.clipStart = static_cast<double>(clip.fromBar) * s.beatsPerBar;
    c.clipEnd = static_cast<double>(clip.toBar) * s.beatsPerBar;
    switch (clip.part) {
      case Part::Drums: sequenceDrums(c); break;
      case Part::Bass: sequenceBass(c); break;
      case Part::Chords: sequenceChords(c); break;
      case Part::Arp: sequenceArp(c); break;
      case Part::Melody: ok = sequenceMelody(c) && ok; break;
      case Part::Walk: sequenceWalk(c); break;
    }
  }
  return ok;
}

}  // namespace music
