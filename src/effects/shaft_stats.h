// Running totals of the light-shaft work, read by the benchmark tool.
#pragma once
#include <cstdint>

struct ShaftStats {
  int64_t drawNanoseconds = 0;      // wall time inside drawShafts
  int64_t softwareNanoseconds = 0;  // of which the integer image work
  int64_t uploadNanoseconds = 0;    // of which the texture upload
  int64_t draws = 0;            // drawShafts calls
};
