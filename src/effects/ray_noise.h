// Ray noise: the wavering of a light's shafts, a 256 x 256 table (rows:
// angle around the light, columns: time) summed from a few sine waves.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// What a light's ray noise is made of: `count` waves, each of up to
// `modulus` frequencies times `cycles` turns, summed at `amplitude` and
// clamped to minValue..maxValue.
struct RayNoiseShape {
  int count, cycles, modulus, minValue, maxValue;
  float amplitude;
};

inline bool operator==(const RayNoiseShape& a, const RayNoiseShape& b) {
  return a.count == b.count && a.cycles == b.cycles && a.modulus == b.modulus &&
         a.minValue == b.minValue && a.maxValue == b.maxValue && a.amplitude == b.amplitude;
}

// Read-only once made; the lights of one shape share one.
using RayNoise = std::shared_ptr<const std::vector<int32_t>>;

// count x 65536 sines: a large part of the start-up where it is made more
// than once. No GL.
RayNoise makeRayNoise(const RayNoiseShape& shape);

// The tables made while loading, by shape, since several scenes' lights
// have the same one.
struct RayNoiseTables {
  // A shape may be listed ahead with no table yet, for a helper to make.
  std::vector<std::pair<RayNoiseShape, RayNoise>> made;
  RayNoise get(const RayNoiseShape& shape);  // made on first asking
};
