// Resonant state-variable filter (topology-preserving transform, so it stays
// stable while its cutoff is swept) and a one-pole smoother.
#pragma once

#include "dsp.h"

namespace music {

enum class FilterMode : uint8_t { Off, LowPass, BandPass, HighPass };

struct Svf {
  float ic1 = 0.0f, ic2 = 0.0f;  // integrator states
  float k = 2.0f;                 // damping, 1/Q
  float a1 = 1.0f, a2 = 0.0f, a3 = 0.0f;
};

// resonance 0 (no peak, Q 0.5) .. 1 (Q about 25). The cutoff is clamped
// below Nyquist, where tan() would blow up.
void svfSet(Svf& f, float cutoffHz, float resonance);

// Same, with the damping given directly (sqrt(2) is Butterworth).
void svfSetDamping(Svf& f, float cutoffHz, float damping);

struct SvfOut {
  float low, band, high;
};

inline SvfOut svfStep(Svf& f, float x) {
  const float v3 = x - f.ic2;
  const float v1 = f.a1 * f.ic1 + f.a2 * v3;
  const float v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
  f.ic1 = 2.0f * v1 - f.ic1;
  f.ic2 = 2.0f * v2 - f.ic2;
  return SvfOut{v2, v1, x - f.k * v1 - v2};
}

inline float svfPick(const SvfOut& o, FilterMode mode) {
  switch (mode) {
    case FilterMode::LowPass: return o.low;
    case FilterMode::BandPass: return o.band;
    case FilterMode::HighPass: return o.high;
    case FilterMode::Off:
    default: return o.low + o.band + o.high;
  }
}

struct OnePole {
  float y = 0.0f;
  float a = 1.0f;
};

void onePoleSet(OnePole& f, float cutoffHz);

inline float onePoleLow(OnePole& f, float x) {
  f.y += f.a * (x - f.y);
  return f.y;
}

inline float onePoleHigh(OnePole& f, float x) { return x - onePoleLow(f, x); }

}  // namespace music
