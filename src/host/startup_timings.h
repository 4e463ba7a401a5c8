// Where start-up goes: the steps from the process's start to the first
// frame, in the order they ran, for the tools' --timings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StartupTimings {
  struct Step {
    std::string name;
    double ms;
  };
  std::vector<Step> steps;
  int64_t lastNs = 0;  // when the previous step ended (tickNanoseconds)
};

// Opens the record now; the first step is the process's life so far (the
// dynamic loader and the libraries' set-up), where the system tells it.
void startTimings(StartupTimings& t);
// Ends the step `name` now.
void markStep(StartupTimings& t, const char* name);
// One line per step, then the total: "  images            81.2 ms".
std::string formatTimings(const StartupTimings& t);
