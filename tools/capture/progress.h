// A one-line progress bar on standard error, drawn only on a terminal.
#pragma once
#include <cstdint>

struct Progress {
  long long total = 0;
  long long done = 0;
  int64_t startNs = 0;
  int64_t lastDrawNs = 0;
  bool terminal = false;
};

// show false (a quiet run) never draws the bar.
void startProgress(Progress& p, long long total, bool show = true);
// Counts one unit and redraws at most ten times a second.
void stepProgress(Progress& p);
// Clears the bar; the caller prints its own summary.
void finishProgress(Progress& p);
double progressSeconds(const Progress& p);
