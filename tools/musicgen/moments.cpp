// Sounds placed at exact seconds of the picture rather than on a grid: the
// intro's hits and runs on the light flashes, scene-change impacts and
// sweeps, the fractal's pulses and the final chord.
#include <vector>

#include "arrangement.h"

namespace music {

namespace {

struct Placer {
  std::vector<Note>& notes;
  uint32_t seed = 900001u;

  void add(Inst inst, double time, float velocity, float pitch = 60.0f, float length = 0.25f,
           float pan = 0.0f) {
    const Routing& r = routingOf(inst);
    Note n;
    n.time = time;
    n.length = length;
    n.inst = inst;
    n.pitch = pitch;
    n.velocity = velocity;
    n.pan = r.pan + pan;
    n.reverb = r.reverb;
    n.delay = r.delay;
    n.seed = seed;
    seed += 7919u;
    notes.push_back(n);
  }

  void chord(Inst inst, double time, float velocity, const std::vector<int>& pitches,
             float length, float param = 0.5f) {
    const int n = static_cast<int>(pitches.size());
    int i = 0;
    for (int p : pitches) {
      const float spread = n > 1 ? (static_cast<float>(i++) / (n - 1) - 0.5f) * 0.6f : 0.0f;
      add(inst, time, velocity, static_cast<float>(p), length, spread);
      notes.back().param = param;
    }
  }

  // A sweep or swell that ends exactly at `end`.
  void into(Inst inst, double end, float seconds, float velocity) {
    add(inst, end - seconds, velocity, 60.0f, seconds);
  }

  void impact(double time, float velocity, int boomPitch) {
    add(Inst::KickHeavy, time, velocity);
    add(Inst::Crash, time, velocity * 0.9f);
    add(Inst::Boom, time, velocity * 0.8f, static_cast<float>(boomPitch));
  }
};

// Chord stabs of the intro, bass note first.
const std::vector<int> kStabAm = {45, 57, 60, 64, 69};
const std::vector<int> kStabF = {41, 57, 60, 65, 69};
const std::vector<int> kStabC = {48, 55, 60, 64, 67};
const std::vector<int> kStabDm = {50, 57, 62, 65, 69};
const std::vector<int> kStabE = {40, 52, 56, 59, 64, 68};

void intro(Placer& p) {
  // The three coloured lights beat a figure every 4 s: a downbeat with its
  // answer half a second later, then a pickup into the next downbeat
  // (anticipating the next chord) and two quick hits after it.
  struct Block {
    double at;
    const std::vector<int>& chord;
    const std::vector<int>& next;
  };
  const Block blocks[2] = {{0.0, kStabAm, kStabF}, {8.0, kStabC, kStabDm}};
  for (const Block& b : blocks) {
    const double t = b.at;
    // Downbeat.
    p.add(Inst::KickHeavy, t, 0.95f);
    p.add(Inst::Crash, t, 0.6f);
    p.add(Inst::Boom, t, 0.7f, 33.0f);
    p.add(Inst::Tom, t, 0.7f, 45.0f);
    p.chord(Inst::Stab, t, 0.95f, b.chord, 0.5f, 0.6f);
    // Answer.
    p.add(Inst::Tom, t + 0.5, 0.8f, 50.0f, 0.25f, 0.3f);
    p.add(Inst::Snare, t + 0.5, 0.7f);
    p.chord(Inst::Stab, t + 0.5, 0.75f, b.chord, 0.25f, 0.5f);
    // Pickup, on the next chord.
    p.add(Inst::Tom, t + 3.5, 0.75f, 55.0f, 0.25f, 0.4f);
    p.add(Inst::Snare, t + 3.5, 0.6f);
    p.chord(Inst::Stab, t + 3.5, 0.7f, b.next, 0.15f, 0.5f);
    // Next downbeat and the two quick hits after it.
    p.add(Inst::KickHeavy, t + 4.0, 0.9f);
    p.add(Inst::Tom, t + 4.0, 0.7f, 45.0f);
    p.chord(Inst::Stab, t + 4.0, 0.9f, b.next, 0.2f, 0.6f);
    p.add(Inst::Tom, t + 4.25, 0.8f, 50.0f, 0.25f, 0.2f);
    p.add(Inst::Snare, t + 4.25, 0.8f);
    p.chord(Inst::Stab, t + 4.25, 0.75f, b.next, 0.15f, 0.6f);
    p.add(Inst::Tom, t + 4.5, 0.8f, 43.0f, 0.25f, -0.2f);
    p.add(Inst::Snare, t + 4.5, 0.75f);
    p.chord(Inst::Stab, t + 4.5, 0.8f, b.next, 0.4f, 0.6f);
  }

  // The white lights chase down the diagonal (three, a gap, four) and back
  // (seven even steps): bell runs over each chord.
  struct Run {
    double at;
    bool evenSteps;
    int pitches[7];
  };
  const Run runs[4] = {
      {0.0, false, {69, 72, 76, 81, 83, 84, 88}},   // Am, up
      {4.0, true, {88, 84, 81, 77, 76, 72, 69}},    // F, down
      {8.0, false, {67, 72, 76, 79, 83, 84, 88}},   // C, up
      {12.0, true, {89, 86, 81, 77, 74, 69, 65}},   // Dm, down
  };
  static const double kUneven[7] = {0.0, 0.2, 0.4, 0.8, 1.0, 1.2, 1.4};
  for (const Run& r : runs) {
    for (int i = 0; i < 7; ++i) {
      const double offset = r.evenSteps ? 0.2 * i : kUneven[i];
      // Under the hits: a sparkle, not a second rhythm.
      p.add(Inst::Bell, r.at + offset, i == 0 ? 0.5f : 0.38f, static_cast<float>(r.pitches[i]), 0.4f,
            -0.6f + 0.2f * i);
    }
  }

  // All ten lights at once, twice: the big double hit on the dominant.
  for (double t : {16.0, 16.5}) {
    p.add(Inst::KickHeavy, t, 1.0f);
    p.add(Inst::Crash, t, 0.9f);
    p.add(Inst::Boom, t, 0.8f, 28.0f);
    p.add(Inst::Snare, t, 0.9f);
    p.add(Inst::Tom, t, 0.8f, 40.0f);
    p.chord(Inst::Stab, t, 1.0f, kStabE, t < 16.25 ? 0.35f : 0.9f, 0.8f);
  }
  // Swell from the second hit into the beat's entry at 17.5 s.
  p.into(Inst::ReverseCrash, 17.5, 0.9f, 0.8f);
  p.into(Inst::Riser, 17.5, 1.0f, 0.6f);
}

void sceneChanges(Placer& p) {
  // Landscape: the ripple wipe at 30.8 s, the swell into the planet.
  p.add(Inst::Whoosh, 30.8, 0.9f, 60.0f, 3.6f);
  p.add(Inst::Boom, 30.8, 0.4f, 33.0f);
  p.into(Inst::Riser, 36.5, 3.0f, 0.8f);
  p.into(Inst::ReverseCrash, 36.5, 1.0f, 0.6f);
  p.add(Inst::Boom, 36.5, 0.6f, 29.0f);
  // Planet: the models fly in (lift at 52.5 s); falling away at the end.
  p.into(Inst::ReverseCrash, 52.5, 1.0f, 0.8f);
  p.add(Inst::Whoosh, 61.5, 0.7f, 60.0f, 2.5f);
  // Corridor: a deep hit in the new key; the flight from 96 s.
  p.add(Inst::Boom, 63.0, 0.7f, 26.0f);
  p.into(Inst::ReverseCrash, 97.0, 1.0f, 0.7f);
  p.into(Inst::Riser, 111.0, 15.0f, 0.7f);
  // Lamp park: an impact on the cut, then the night.
  p.impact(111.2, 0.9f, 33);
  p.add(Inst::Wind, 111.2, 0.8f, 60.0f, 16.3f);
  p.add(Inst::Crackle, 111.2, 0.8f, 60.0f, 16.3f);
  p.add(Inst::Crickets, 112.0, 0.8f, 60.0f, 15.5f);
  // Mirror: a bell as the hall appears.
  p.chord(Inst::Bell, 127.5, 0.6f, {69, 76}, 1.0f);
  // Walking: a cymbal on the first step.
  p.add(Inst::Crash, 159.5, 0.5f);
  // Fractal: a soft landing.
  p.add(Inst::Crash, 192.0, 0.5f);
  p.add(Inst::Boom, 192.0, 0.6f, 29.0f);
}

void fractalPulses(Placer& p) {
  // The figure pulses outwards at the start of each active part of its
  // 5.3 s cycle; bell clusters take the chord of the moment.
  struct Pulse {
    double at;
    std::vector<int> bells;
  };
  const Pulse pulses[3] = {
      {195.05, {77, 81, 84, 88}},
      {200.35, {81, 84, 88, 83}},
      {205.65, {76, 81, 83, 88}},  // the suspended fourth, resolved at 206
  };
  for (const Pulse& pulse : pulses) {
    p.into(Inst::ReverseCrash, pulse.at, 1.5f, 0.7f);
    p.add(Inst::Boom, pulse.at, 0.75f, 33.0f);
    p.add(Inst::Crash, pulse.at, 0.35f);
    p.chord(Inst::Bell, pulse.at, 0.6f, pulse.bells, 1.5f);
    p.add(Inst::Whoosh, pulse.at, 0.5f, 60.0f, 2.8f);
  }
  p.into(Inst::Riser, 208.0, 2.35f, 0.8f);
}

void heavyToEnd(Placer& p) {
  // Spikes: the drop, the slow growth, the rise into the peak.
  p.impact(208.0, 1.0f, 33);
  p.add(Inst::Riser, 212.6, 0.45f, 60.0f, 11.0f);
  p.into(Inst::Riser, 240.0, 4.0f, 0.9f);
  p.into(Inst::ReverseCrash, 240.0, 1.0f, 0.8f);
  p.impact(240.0, 1.0f, 33);
  // Conveyor: the swells between the camera's viewpoints, the speed-up.
  p.into(Inst::ReverseCrash, 256.0, 1.0f, 0.7f);
  p.add(Inst::Boom, 256.0, 0.7f, 33.0f);
  for (double t : {262.0, 267.0, 275.0, 286.0, 302.0}) p.add(Inst::Whoosh, t, 0.5f, 60.0f, 2.0f);
  p.into(Inst::Riser, 292.0, 4.0f, 0.9f);
  p.impact(292.0, 0.9f, 33);
  // Tunnel: into the finale, and the last chord with the closing text.
  p.into(Inst::ReverseCrash, 304.0, 1.0f, 0.6f);
  p.add(Inst::Boom, 304.0, 0.5f, 29.0f);
  const double last = 321.0;
  p.add(Inst::Crash, last, 0.5f);
  p.add(Inst::Boom, last, 0.6f, 33.0f);
  p.add(Inst::Sub, last, 0.7f, 33.0f, 8.5f);
  p.chord(Inst::Pad, last, 0.85f, {57, 60, 64, 71, 76}, 8.5f, 0.6f);
  p.chord(Inst::Choir, last, 0.6f, {69, 72, 76}, 8.5f);
  const int bells[5] = {69, 72, 76, 83, 88};
  for (int i = 0; i < 5; ++i) p.add(Inst::Bell, last + 0.12 * i, 0.6f, static_cast<float>(bells[i]), 1.0f);
}

}  // namespace

void addMoments(std::vector<Note>& notes) {
  Placer p{notes};
  intro(p);
  sceneChanges(p);
  fractalPulses(p);
  heavyToEnd(p);
}

}  // namespace music
