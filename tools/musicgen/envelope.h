// Attack-decay-sustain-release envelope with a known gate length.
#pragma once

#include "dsp.h"

namespace music {

// Times in seconds; decay and release are times to fall by 60 dB, which is
// how analogue envelopes sound (exponential), while the attack is linear.
struct AdsrShape {
  float attack = 0.005f;
  float decay = 0.3f;
  float sustain = 1.0f;
  float release = 0.2f;
};

struct Adsr {
  float level = 0.0f;
  float attackStep = 1.0f;
  float decayMul = 0.0f;
  float releaseMul = 0.0f;
  float sustain = 1.0f;
  int gateSamples = 0;  // samples until the key is released
  int position = 0;
  bool attacking = true;
};

Adsr makeAdsr(const AdsrShape& shape, int gateSamples);

inline float adsrStep(Adsr& e) {
  if (e.position < e.gateSamples) {
    if (e.attacking) {
      e.level += e.attackStep;
      if (e.level >= 1.0f) {
        e.level = 1.0f;
        e.attacking = false;
      }
    } else {
      e.level = e.sustain + (e.level - e.sustain) * e.decayMul;
    }
  } else {
    e.level *= e.releaseMul;
  }
  ++e.position;
  return e.level;
}

// Number of samples after which a note with this shape has died away to
// -70 dB (past the gate), used to size a voice's render.
int adsrTailSamples(const AdsrShape& shape);

}  // namespace music
