// Running total of the scenes' per-frame CPU geometry (the fractal's leaves,
// the spikes' deformation), read by the benchmark tool.
#pragma once
#include <cstdint>

struct GeometryStats {
  int64_t nanoseconds = 0;  // wall time building or deforming geometry
};
