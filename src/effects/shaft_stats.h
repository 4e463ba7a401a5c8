// Running totals of the light-shaft work, read by the benchmark tool.
#pragma once
#include <cstdint>

struct ShaftStats {
  int64_t drawNanoseconds = 0;  // wall time inside drawShafts
  int64_t draws = 0;            // drawShafts calls
};
extern ShaftStats shaftStats;
