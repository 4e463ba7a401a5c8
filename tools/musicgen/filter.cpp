#include "filter.h"

namespace music {

void svfSetDamping(Svf& f, float cutoffHz, float damping) {
  const float fc = clampf(cutoffHz, 5.0f, 0.45f * kSampleRate);
  const float g = std::tan(kPi * fc / kSampleRate);
  f.k = damping;
  f.a1 = 1.0f / (1.0f + g * (g + f.k));
  f.a2 = g * f.a1;
  f.a3 = g * f.a2;
}

void svfSet(Svf& f, float cutoffHz, float resonance) {
  svfSetDamping(f, cutoffHz, 2.0f - 1.96f * clampf(resonance, 0.0f, 1.0f));
}

void onePoleSet(OnePole& f, float cutoffHz) {
  f.a = 1.0f - std::exp(-kTwoPi * cutoffHz / kSampleRate);
}

}  // namespace music
