#include "harmony.h"

#include <algorithm>
#include <cstdlib>

namespace music {

namespace {

std::vector<int> pitchClasses(const Chord& chord) {
  std::vector<int> pcs;
  for (int i = 0; i < chord.count; ++i) {
    const int pc = (chord.root + chord.intervals[i]) % 12;
    if (std::find(pcs.begin(), pcs.end(), pc) == pcs.end()) pcs.push_back(pc);
  }
  std::sort(pcs.begin(), pcs.end());
  return pcs;
}

int movementCost(const std::vector<int>& voicing, const std::vector<int>& previous) {
  // Each new note to its nearest old note, plus each old note to its
  // nearest new one: penalises both leaps and abandoned registers.
  int cost = 0;
  for (int a : voicing) {
    int best = 127;
    for (int b : previous) best = std::min(best, std::abs(a - b));
    cost += best;
  }
  for (int b : previous) {
    int best = 127;
    for (int a : voicing) best = std::min(best, std::abs(a - b));
    cost += best;
  }
  return cost;
}

}  // namespace

std::vector<int> voiceChord(const Chord& chord, const std::vector<int>& previous, int low, int high) {
  const std::vector<int> pcs = pitchClasses(chord);
  const int n = static_cast<int>(pcs.size());
  std::vector<int> best;
  int bestCost = 1 << 30;
  for (int rotation = 0; rotation < n; ++rotation) {
    for (int base = low; base < low + 12; ++base) {
      if (base % 12 != pcs[rotation]) continue;
      std::vector<int> notes;
      int note = base;
      for (int k = 0; k < n; ++k) {
        const int pc = pcs[(rotation + k) % n];
        while (note % 12 != pc) ++note;
        notes.push_back(note);
        ++note;
      }
      for (int shift = 0; notes.back() + shift <= high; shift += 12) {
        std::vector<int> shifted = notes;
        for (int& x : shifted) x += shift;
        int cost;
        if (previous.empty()) {
          const int centre = (low + high) / 2;
          cost = std::abs(shifted.front() + shifted.back() - 2 * centre);
        } else {
          cost = movementCost(shifted, previous);
        }
        if (cost < bestCost) {
          bestCost = cost;
          best = shifted;
        }
      }
    }
  }
  if (best.empty()) {
    // Range narrower than the chord: stack upwards from low anyway.
    int note = low;
    for (int pc : pcs) {
      while (note % 12 != pc) ++note;
      best.push_back(note++);
    }
  }
  return best;
}

int bassNote(const Chord& chord, int low) {
  int note = low;
  while (note % 12 != chord.bass) ++note;
  return note;
}

bool chordHas(const Chord& chord, int pitchClass) {
  for (int i = 0; i < chord.count; ++i)
    if ((chord.root + chord.intervals[i]) % 12 == (pitchClass % 12 + 12) % 12) return true;
  return false;
}

namespace {

int findInterval(const Chord& chord, std::initializer_list<int> wanted, int fallback) {
  for (int w : wanted)
    for (int i = 0; i < chord.count; ++i)
      if (chord.intervals[i] % 12 == w) return w;
  return fallback;
}

}  // namespace

int chordThird(const Chord& chord) { return findInterval(chord, {3, 4, 5, 2}, 7); }
int chordFifth(const Chord& chord) { return findInterval(chord, {7, 6, 8}, 7); }
int chordSeventh(const Chord& chord) { return findInterval(chord, {10, 11, 9}, 12); }

int chordToneAbove(const Chord& chord, int low, int k) {
  const std::vector<int> pcs = pitchClasses(chord);
  int note = low;
  int found = -1;
  while (found < k) {
    if (std::find(pcs.begin(), pcs.end(), note % 12) != pcs.end()) ++found;
    if (found < k) ++note;
  }
  return note;
}

}  // namespace music
