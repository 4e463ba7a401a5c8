// Band-limited oscillators (PolyBLEP) and a pink-noise filter.
#pragma once

#include "dsp.h"
#include "rng.h"

namespace music {

enum class Wave : uint8_t { Sine, Saw, Square, Triangle, Pulse25 };

struct Oscillator {
  float phase = 0.0f;  // turns, 0 .. 1
};

// PolyBLEP residual for a unit step at phase 0 with increment dt.
inline float polyBlep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

// One sample of `wave` at the current phase, then advance by dt turns.
inline float oscStep(Oscillator& o, Wave wave, float dt) {
  const float t = o.phase;
  float y;
  switch (wave) {
    case Wave::Sine:
      y = sinTurns(t);
      break;
    case Wave::Saw:
      y = 2.0f * t - 1.0f - polyBlep(t, dt);
      break;
    case Wave::Square:
    case Wave::Pulse25: {
      const float width = wave == Wave::Square ? 0.5f : 0.25f;
      float t2 = t + 1.0f - width;
      if (t2 >= 1.0f) t2 -= 1.0f;
      y = (t < width ? 1.0f : -1.0f) + polyBlep(t, dt) - polyBlep(t2, dt);
      if (wave == Wave::Pulse25) y += 0.5f;  // remove the pulse's DC
      break;
    }
    case Wave::Triangle:
    default:
      // Harmonics already fall at 12 dB/octave; aliasing stays negligible.
      y = 4.0f * std::fabs(t - 0.5f) - 1.0f;
      break;
  }
  float p = t + dt;
  if (p >= 1.0f) p -= floorFast(p);
  o.phase = p;
  return y;
}

// Paul Kellet's economy pink filter over white noise.
struct PinkNoise {
  Noise white;
  float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
};

inline PinkNoise makePink(uint32_t seed) { return PinkNoise{makeNoise(seed)}; }

inline float pinkStep(PinkNoise& p) {
  const float w = whiteNoise(p.white);
  p.b0 = 0.99765f * p.b0 + w * 0.0990460f;
  p.b1 = 0.96300f * p.b1 + w * 0.2965164f;
  p.b2 = 0.57000f * p.b2 + w * 1.0526913f;
  return (p.b0 + p.b1 + p.b2 + w * 0.1848f) * 0.25f;
}

}  // namespace music
