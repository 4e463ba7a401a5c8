// The generator's own random numbers: fixed algorithm, explicit seeds, so the
// same sources always compose and render the same track.
#pragma once

#include <cstdint>

namespace music {

struct Rng {
  uint64_t state;
};

inline Rng makeRng(uint64_t seed) { return Rng{seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull}; }

// splitmix64: tiny, full period, good enough statistics for audio noise.
inline uint64_t nextU64(Rng& r) {
  uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Uniform in [0, 1).
inline float uniform01(Rng& r) { return static_cast<float>(nextU64(r) >> 40) * (1.0f / 16777216.0f); }

// Uniform in [-1, 1).
inline float uniformPm(Rng& r) { return uniform01(r) * 2.0f - 1.0f; }

// Integer in [0, n).
inline int randomBelow(Rng& r, int n) { return static_cast<int>((nextU64(r) >> 33) % static_cast<uint64_t>(n)); }

// Cheap per-sample white noise generator (xorshift32), separate from Rng so
// inner loops stay small.
struct Noise {
  uint32_t state;
};

inline Noise makeNoise(uint32_t seed) { return Noise{(seed * 2654435761u + 0x1234567u) | 1u}; }

inline float whiteNoise(Noise& n) {
  uint32_t x = n.state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  n.state = x;
  return static_cast<float>(static_cast<int32_t>(x)) * (1.0f / 2147483648.0f);
}

}  // namespace music
