#include "notation.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace music {

namespace {

bool fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "musicgen: bad %s \"%s\"\n", what, text.c_str());
  return false;
}

// Letter plus optional accidental; returns characters consumed, 0 on error.
int parsePitchClass(const std::string& text, size_t at, int& pc) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (at >= text.size() || text[at] < 'A' || text[at] > 'G') return 0;
  pc = kLetters[text[at] - 'A'];
  int used = 1;
  if (at + 1 < text.size()) {
    if (text[at + 1] == '#') {
      pc = (pc + 1) % 12;
      used = 2;
    } else if (text[at + 1] == 'b') {
      pc = (pc + 11) % 12;
      used = 2;
    }
  }
  return used;
}

struct Quality {
  const char* name;
  int count;
  int intervals[kMaxChordTones];
};

// Longest names first so "maj7#11" is not read as "maj7".
const Quality kQualities[] = {
    {"maj7#11", 5, {0, 4, 7, 11, 18}},
    {"m7b5", 4, {0, 3, 6, 10}},
    {"7sus4", 4, {0, 5, 7, 10}},
    {"madd9", 4, {0, 3, 7, 14}},
    {"maj9", 5, {0, 4, 7, 11, 14}},
    {"maj7", 4, {0, 4, 7, 11}},
    {"add9", 4, {0, 4, 7, 14}},
    {"sus4", 3, {0, 5, 7}},
    {"sus2", 3, {0, 2, 7}},
    {"7b9", 5, {0, 4, 7, 10, 13}},
    {"dim", 3, {0, 3, 6}},
    {"m7", 4, {0, 3, 7, 10}},
    {"m9", 5, {0, 3, 7, 10, 14}},
    {"m6", 4, {0, 3, 7, 9}},
    {"m", 3, {0, 3, 7}},
    {"7", 4, {0, 4, 7, 10}},
    {"9", 5, {0, 4, 7, 10, 14}},
    {"6", 4, {0, 4, 7, 9}},
    {"5", 2, {0, 7}},
    {"", 3, {0, 4, 7}},
};

}  // namespace

int parseNoteName(const std::string& text) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') return -1;
  int semis = kLetters[text[0] - 'A'];
  size_t at = 1;
  if (text[at] == '#' || text[at] == 'b') {
    semis += text[at] == '#' ? 1 : -1;  // B#3 is C4: the octave goes with the letter
    ++at;
  }
  if (at + 1 != text.size() || text[at] < '0' || text[at] > '8') return -1;
  return 12 * (text[at] - '0' + 1) + semis;
}

bool parseChord(const std::string& text, Chord& out) {
  int root = 0;
  const int used = parsePitchClass(text, 0, root);
  if (used == 0) return fail("chord", text);
  std::string rest = text.substr(used);
  int bass = root;
  const size_t slash = rest.find('/');
  if (slash != std::string::npos) {
    const std::string bassName = rest.substr(slash + 1);
    if (parsePitchClass(bassName, 0, bass) != static_cast<int>(bassName.size()) || bassName.empty())
      return fail("chord bass", text);
    rest = rest.substr(0, slash);
  }
  for (const Quality& q : kQualities) {
    if (rest == q.name) {
      out.root = root;
      out.bass = bass;
      out.count = q.count;
      for (int i = 0; i < q.count; ++i) out.intervals[i] = q.intervals[i];
      return true;
    }
  }
  return fail("chord quality", text);
}

bool parseChart(const std::string& text, std::vector<ChartEntry>& out) {
  out.clear();
  std::istringstream in(text);
  std::string token;
  double beat = 0.0;
  while (in >> token) {
    if (token == "|") continue;
    ChartEntry e;
    std::string name = token;
    const size_t colon = token.find(':');
    if (colon != std::string::npos) {
      name = token.substr(0, colon);
      char* end = nullptr;
      const std::string len = token.substr(colon + 1);
      e.beats = std::strtod(len.c_str(), &end);
      if (len.empty() || *end != '\0' || e.beats <= 0.0) return fail("chart length", token);
    }
    if (!parseChord(name, e.chord)) return false;
    e.beat = beat;
    beat += e.beats;
    out.push_back(e);
  }
  return !out.empty() || fail("chart", text);
}

int patternSteps(const std::string& pattern, std::string& cells) {
  int steps = 4;
  size_t at = 0;
  if (!pattern.empty() && pattern[0] == '/') {
    steps = std::atoi(pattern.c_str() + 1);
    at = pattern.find(' ');
    if (at == std::string::npos) at = pattern.size();
    if (steps <= 0) steps = 4;
  }
  cells.clear();
  for (; at < pattern.size(); ++at) {
    const char c = pattern[at];
    if (c != ' ' && c != '|') cells += c;
  }
  return steps;
}

bool parseMelody(const std::string& text, Melody& out) {
  out = Melody{};
  std::istringstream in(text);
  std::string token;
  double step = 0.0, length = 4.0;
  bool first = true;
  while (in >> token) {
    if (token == "|") continue;
    if (first && token[0] == '/') {
      out.stepsPerBeat = std::atoi(token.c_str() + 1);
      if (out.stepsPerBeat <= 0) return fail("melody resolution", token);
      first = false;
      continue;
    }
    first = false;
    MelodyNote note;
    size_t at = 0;
    while (at < token.size() && (token[at] == '!' || token[at] == '~')) {
      if (token[at] == '!') note.accent = true;
      if (token[at] == '~') note.slide = true;
      ++at;
    }
    std::string name = token.substr(at);
    const size_t colon = name.find(':');
    if (colon != std::string::npos) {
      const std::string len = name.substr(colon + 1);
      char* end = nullptr;
      length = std::strtod(len.c_str(), &end);
      if (len.empty() || *end != '\0' || length <= 0.0) return fail("melody length", token);
      name = name.substr(0, colon);
    }
    if (name != "r") {
      note.pitch = parseNoteName(name);
      if (note.pitch < 0) return fail("melody note", token);
    }
    note.step = step;
    note.steps = length;
    step += length;
    out.notes.push_back(note);
  }
  out.totalSteps = step;
  return !out.notes.empty() || fail("melody", text);
}

}  // namespace music
