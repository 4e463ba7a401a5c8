// Small numeric helpers shared by every part of the synthesizer.
#pragma once

#include <cmath>
#include <cstdint>

namespace music {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 6.28318530717959f;

inline float clampf(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }

inline float midiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }

inline float dbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

inline int secondsToSamples(double s) { return static_cast<int>(std::lround(s * kSampleRate)); }

// Per-sample multiplier that decays by 60 dB over `seconds`.
inline float decayFactor(float seconds) {
  if (seconds <= 0.0f) return 0.0f;
  return std::exp(-6.9077553f / (seconds * kSampleRate));
}

// Integer-free floor for the phase wrap in hot loops.
inline float floorFast(float x) {
  float f = static_cast<float>(static_cast<int>(x));
  return f > x ? f - 1.0f : f;
}

// sin(2*pi*turns), polynomial; error below 4e-6, far under 16-bit noise.
inline float sinTurns(float turns) {
  float p = turns - floorFast(turns + 0.5f);  // -0.5 .. 0.5
  if (p > 0.25f) p = 0.5f - p;
  else if (p < -0.25f) p = -0.5f - p;
  const float x = p * kTwoPi;
  const float x2 = x * x;
  return x * (1.0f + x2 * (-1.0f / 6.0f + x2 * (1.0f / 120.0f +
             x2 * (-1.0f / 5040.0f + x2 * (1.0f / 362880.0f)))));
}

// Smooth saturation, unity slope at 0, bounded by +-1.
inline float softClip(float x) {
  if (x > 3.0f) return 1.0f;
  if (x < -3.0f) return -1.0f;
  const float x2 = x * x;
  return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

// Equal-power pan law, pan in -1 (left) .. 1 (right); 0.707 each at centre.
inline void panGains(float pan, float& left, float& right) {
  const float angle = (clampf(pan, -1.0f, 1.0f) + 1.0f) * 0.25f * kPi;
  left = std::cos(angle);
  right = std::sin(angle);
}

}  // namespace music
