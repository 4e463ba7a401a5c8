// Deterministic hashing, random numbers and tileable noise for the procedural
// pictures. Coordinates are texture coordinates u, v in [0, 1): every noise
// here repeats with period 1 in both, so pictures tile without seams.
#pragma once
#include <cstdint>

uint32_t hashBits(uint32_t x);
uint32_t hashCell(int x, int y, uint32_t seed);
// Uniform in [0, 1) for a lattice cell.
float hashUnit(int x, int y, uint32_t seed);

// Small fixed-sequence generator for scattering strokes and features.
struct Rng {
  uint32_t state;
  explicit Rng(uint32_t seed) : state(hashBits(seed ^ 0x9e3779b9u) | 1u) {}
  uint32_t next();
  float unit();                        // [0, 1)
  float range(float lo, float hi);     // [lo, hi)
};

// Gradient noise on a lattice of freqX x freqY cells over the unit square;
// about -1..1.
float tileNoise(float u, float v, int freqX, int freqY, uint32_t seed);
// Octave sum of tileNoise starting at (freqX, freqY) and doubling; each octave
// weighs `gain` times the previous. Normalised to about -1..1.
float fbm(float u, float v, int freqX, int freqY, int octaves, float gain, uint32_t seed);
// Same with absolute values per octave (billowy turbulence), about 0..1.
float turbulence(float u, float v, int freqX, int freqY, int octaves, float gain, uint32_t seed);

// Worley noise with `cells` x `cells` jittered feature points over the unit
// square. Distances are in cell units.
struct CellSample {
  float f1;       // distance to the nearest feature point
  float f2;       // distance to the second nearest
  uint32_t id;    // hash of the nearest point's cell
  float dx, dy;   // vector from the nearest point to the sample
};
CellSample cellular(float u, float v, int cells, uint32_t seed);

float clamp01(float x);
float smoothstep(float e0, float e1, float x);
float lerp(float a, float b, float t);
float fract(float x);
