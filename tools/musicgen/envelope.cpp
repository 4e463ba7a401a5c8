#include "envelope.h"

namespace music {

Adsr makeAdsr(const AdsrShape& shape, int gateSamples) {
  Adsr e;
  const float attackSamples = shape.attack * kSampleRate;
  e.attackStep = attackSamples < 1.0f ? 1.0f : 1.0f / attackSamples;
  e.decayMul = decayFactor(shape.decay);
  e.releaseMul = decayFactor(shape.release);
  e.sustain = shape.sustain;
  e.gateSamples = gateSamples;
  return e;
}

int adsrTailSamples(const AdsrShape& shape) {
  // 70 dB instead of the 60 dB of the time constant.
  return static_cast<int>(shape.release * (70.0f / 60.0f) * kSampleRate) + 1;
}

}  // namespace music
