#include "drums.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"
#include "filter.h"
#include "oscillators.h"
#include "rng.h"

namespace music {

namespace {

void resize(DrumBuffers out, float seconds) {
  const int n = std::max(1, static_cast<int>(seconds * kSampleRate));
  out.left.assign(n, 0.0f);
  out.right.assign(n, 0.0f);
}

// Six detuned square waves, the classic analogue cymbal source.
struct Metal {
  Oscillator osc[6];
  float dt[6];
};

Metal makeMetal(float scale, uint32_t seed) {
  static const float kHz[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
  Metal m;
  Rng rng = makeRng(seed);
  for (int i = 0; i < 6; ++i) {
    m.osc[i].phase = uniform01(rng);
    m.dt[i] = kHz[i] * scale / kSampleRate;
  }
  return m;
}

// Plain (not band-limited) squares: their aliases vanish in the noisy
// spectrum of a cymbal, and this is the drums' hottest loop.
inline float metalStep(Metal& m) {
  float s = 0.0f;
  for (int i = 0; i < 6; ++i) {
    float p = m.osc[i].phase + m.dt[i];
    if (p >= 1.0f) p -= 1.0f;
    m.osc[i].phase = p;
    s += p < 0.5f ? 1.0f : -1.0f;
  }
  return s * (1.0f / 6.0f);
}

}  // namespace

void renderKick(const KickShape& k, float velocity, uint32_t seed, DrumBuffers out) {
  resize(out, k.decay * 1.2f + 0.02f);
  Noise noise = makeNoise(seed);
  OnePole clickFilter;
  onePoleSet(clickFilter, 1500.0f);
  const float ampMul = decayFactor(k.decay);
  const float driveOut = 1.0f / softClip(1.0f + k.drive);
  float phase = 0.0f, amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float hz = k.endHz + (k.startHz - k.endHz) * std::exp(-t / k.pitchTime);
    phase += hz / kSampleRate;
    if (phase >= 1.0f) phase -= 1.0f;
    // Short linear fade-in avoids a step while keeping the attack hard.
    const float attack = std::min(1.0f, t * 2000.0f);
    const float body = sinTurns(phase) * amp * attack;
    amp *= ampMul;
    const float click = onePoleHigh(clickFilter, whiteNoise(noise)) * k.click * std::exp(-t / 0.003f);
    const float y = softClip((body + click) * (1.0f + k.drive)) * driveOut * velocity;
    out.left[i] = y;
    out.right[i] = y;
  }
}

void renderSnare(float velocity, float tone, float decay, uint32_t seed, DrumBuffers out) {
  const float noiseDecay = 0.26f * decay;
  resize(out, noiseDecay + 0.02f);
  Noise noise = makeNoise(seed);
  Svf band, high;
  svfSet(band, 3200.0f * tone, 0.15f);
  svfSetDamping(high, 900.0f, 1.4142f);
  Oscillator a, b;
  const float toneMul = decayFactor(0.18f), noiseMul = decayFactor(noiseDecay);
  float toneAmp = 1.0f, noiseAmp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float bend = 1.0f + 0.35f * std::exp(-t / 0.012f);
    const float body = (oscStep(a, Wave::Sine, 185.0f * tone * bend / kSampleRate) * 0.6f +
                        oscStep(b, Wave::Triangle, 330.0f * tone * bend / kSampleRate) * 0.3f) * toneAmp;
    const float w = whiteNoise(noise);
    const SvfOut s = svfStep(band, w);
    const float hiss = svfStep(high, s.band * 1.6f + w * 0.35f).high * noiseAmp;
    toneAmp *= toneMul;
    noiseAmp *= noiseMul;
    const float attack = std::min(1.0f, t * 4000.0f);
    const float y = softClip((body * 0.8f + hiss * 0.9f) * 1.3f) * velocity * attack;
    out.left[i] = y;
    out.right[i] = y;
  }
}

void renderClap(float velocity, float decay, uint32_t seed, DrumBuffers out) {
  resize(out, 0.35f * decay + 0.05f);
  Noise noiseL = makeNoise(seed), noiseR = makeNoise(seed + 101u);
  Svf bandL, bandR;
  svfSet(bandL, 1150.0f, 0.35f);
  svfSet(bandR, 1250.0f, 0.35f);
  const float tailMul = decayFactor(0.3f * decay);
  float tail = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    // Three quick slaps (the hands not quite together), then the room.
    float env = 0.0f;
    for (int k = 0; k < 3; ++k) {
      const float tk = t - 0.0095f * k;
      if (tk >= 0.0f) env = std::max(env, std::exp(-tk / 0.0035f));
    }
    const float late = t - 0.0285f;
    if (late >= 0.0f) {
      env = std::max(env, 0.75f * tail);
      tail *= tailMul;
    }
    const float l = svfStep(bandL, whiteNoise(noiseL)).band;
    const float r = svfStep(bandR, whiteNoise(noiseR)).band;
    out.left[i] = l * env * velocity * 2.2f;
    out.right[i] = r * env * velocity * 2.2f;
  }
}

void renderRim(float velocity, float tone, uint32_t seed, DrumBuffers out) {
  resize(out, 0.08f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, 2500.0f * tone, 0.5f);
  Oscillator a, b;
  const float mul = decayFactor(0.05f);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float s = oscStep(a, Wave::Triangle, 1720.0f * tone / kSampleRate) * 0.5f +
                    oscStep(b, Wave::Sine, 820.0f * tone / kSampleRate) * 0.6f +
                    whiteNoise(noise) * 0.4f;
    const float y = svfStep(band, s).band * 2.0f * amp * velocity;
    amp *= mul;
    out.left[i] = y;
    out.right[i] = y;
  }
}

void renderSnap(float velocity, uint32_t seed, DrumBuffers out) {
  resize(out, 0.12f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, 2300.0f, 0.55f);
  const float mul = decayFactor(0.09f);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float attack = std::min(1.0f, t * 1500.0f);
    const float y = svfStep(band, whiteNoise(noise)).band * 2.5f * amp * attack * velocity;
    amp *= mul;
    out.left[i] = y;
    out.right[i] = y;
  }
}

void renderBrush(float velocity, float decay, uint32_t seed, DrumBuffers out) {
  resize(out, 0.3f * decay + 0.03f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, 4200.0f, 0.1f);
  const float mul = decayFactor(0.28f * decay);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float attack = std::min(1.0f, t / 0.012f);
    const float y = svfStep(band, whiteNoise(noise)).band * amp * attack * velocity * 1.2f;
    amp *= mul;
    out.left[i] = y;
    out.right[i] = y;
  }
}

void renderHat(float velocity, float decay, float tone, uint32_t seed, DrumBuffers out) {
  resize(out, decay + 0.01f);
  Metal metal = makeMetal(1.75f * tone, seed);
  Noise noise = makeNoise(seed + 17u);
  Svf band, high;
  svfSet(band, 10000.0f * tone, 0.25f);
  svfSetDamping(high, 7000.0f * tone, 1.4142f);
  const float mul = decayFactor(decay);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float src = metalStep(metal) + whiteNoise(noise) * 0.35f;
    const float y = svfStep(high, svfStep(band, src).band).high;
    const float attack = std::min(1.0f, t * 3000.0f);
    out.left[i] = out.right[i] = y * 3.2f * amp * attack * velocity;
    amp *= mul;
  }
}

void renderRide(float velocity, uint32_t seed, DrumBuffers out) {
  resize(out, 1.6f);
  Metal metalL = makeMetal(1.18f, seed), metalR = makeMetal(1.21f, seed + 5u);
  Svf bandL, bandR, highL, highR;
  svfSet(bandL, 6500.0f, 0.2f);
  svfSet(bandR, 6800.0f, 0.2f);
  svfSetDamping(highL, 3500.0f, 1.4142f);
  svfSetDamping(highR, 3500.0f, 1.4142f);
  Oscillator ping1, ping2;
  const float mul = decayFactor(1.5f), pingMul = decayFactor(0.5f);
  float amp = 1.0f, pingAmp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float attack = std::min(1.0f, t * 3000.0f);
    // Strong initial stick sound, then the wash.
    const float stick = 0.45f + 0.55f * std::exp(-t / 0.03f);
    const float ping = (oscStep(ping1, Wave::Sine, 3150.0f / kSampleRate) +
                        0.6f * oscStep(ping2, Wave::Sine, 4720.0f / kSampleRate)) * pingAmp * 0.12f;
    const float l = svfStep(highL, svfStep(bandL, metalStep(metalL)).band).high;
    const float r = svfStep(highR, svfStep(bandR, metalStep(metalR)).band).high;
    const float g = amp * stick * attack * velocity;
    out.left[i] = (l * 2.6f + ping) * g;
    out.right[i] = (r * 2.6f + ping) * g;
    amp *= mul;
    pingAmp *= pingMul;
  }
}

void renderCrash(float velocity, float decay, uint32_t seed, DrumBuffers out) {
  const float length = 2.8f * decay;
  resize(out, length + 0.05f);
  Metal metal = makeMetal(1.33f, seed);
  Noise noiseL = makeNoise(seed + 1u), noiseR = makeNoise(seed + 2u);
  Svf highL, highR, topL, topR;
  svfSetDamping(highL, 3200.0f, 1.4142f);
  svfSetDamping(highR, 3000.0f, 1.4142f);
  // Takes the fizz off the very top so the wash is not harsh.
  svfSetDamping(topL, 11000.0f, 1.4142f);
  svfSetDamping(topR, 10500.0f, 1.4142f);
  const float mul = decayFactor(length);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float attack = std::min(1.0f, t * 2000.0f);
    const float burst = 0.55f + 0.45f * std::exp(-t / 0.08f);
    const float m = metalStep(metal) * 0.6f;
    const float l = svfStep(topL, svfStep(highL, m + whiteNoise(noiseL)).high).low;
    const float r = svfStep(topR, svfStep(highR, m + whiteNoise(noiseR)).high).low;
    const float g = amp * burst * attack * velocity * 0.8f;
    out.left[i] = l * g;
    out.right[i] = r * g;
    amp *= mul;
  }
}

void renderShaker(float velocity, uint32_t seed, DrumBuffers out) {
  resize(out, 0.12f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, 7000.0f, 0.2f);
  const float mul = decayFactor(0.09f);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float attack = std::min(1.0f, t / 0.008f);
    const float y = svfStep(band, whiteNoise(noise)).band * amp * attack * velocity * 2.8f;
    amp *= mul;
    out.left[i] = out.right[i] = y;
  }
}

void renderTom(float velocity, float hz, uint32_t seed, DrumBuffers out) {
  resize(out, 0.7f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, hz * 6.0f, 0.3f);
  const float mul = decayFactor(0.6f);
  float amp = 1.0f, phase = 0.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float f = hz * (1.0f + 0.6f * std::exp(-t / 0.05f));
    phase += f / kSampleRate;
    if (phase >= 1.0f) phase -= 1.0f;
    const float attack = std::min(1.0f, t * 2000.0f);
    const float stick = svfStep(band, whiteNoise(noise)).band * std::exp(-t / 0.01f) * 0.6f;
    const float y = softClip((sinTurns(phase) * amp + stick) * 1.4f) * attack * velocity;
    amp *= mul;
    out.left[i] = out.right[i] = y;
  }
}

void renderClank(float velocity, float hz, uint32_t seed, DrumBuffers out) {
  resize(out, 0.45f);
  Noise noise = makeNoise(seed);
  Svf high;
  svfSetDamping(high, 400.0f, 1.4142f);
  float carrier = 0.0f, mod1 = 0.0f, mod2 = 0.0f;
  const float mul = decayFactor(0.4f);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    // Inharmonic modulator ratios give the struck-metal spectrum.
    const float index = 0.3f + 2.2f * std::exp(-t / 0.04f);
    const float m = sinTurns(mod1) * 0.6f + sinTurns(mod2) * 0.4f;
    const float y = sinTurns(carrier + m * index * (1.0f / kTwoPi)) * amp +
                    whiteNoise(noise) * std::exp(-t / 0.004f) * 0.5f;
    carrier += hz / kSampleRate;
    mod1 += hz * 1.414f / kSampleRate;
    mod2 += hz * 2.718f / kSampleRate;
    carrier -= floorFast(carrier);
    mod1 -= floorFast(mod1);
    mod2 -= floorFast(mod2);
    amp *= mul;
    const float attack = std::min(1.0f, t * 3000.0f);
    out.left[i] = out.right[i] = svfStep(high, y).high * velocity * attack * 0.8f;
  }
}

void renderHiss(float velocity, float length, uint32_t seed, DrumBuffers out) {
  resize(out, length + 0.25f);
  Noise noiseL = makeNoise(seed), noiseR = makeNoise(seed + 9u);
  Svf bandL, bandR;
  const int n = static_cast<int>(out.left.size());
  const int gate = static_cast<int>(length * kSampleRate);
  const float releaseMul = decayFactor(0.2f);
  float amp = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    if (i % 32 == 0) {
      // A pneumatic valve: bright burst that darkens as the pressure drops.
      const float fc = 1800.0f + 6500.0f * std::exp(-t / (0.5f * length + 0.01f));
      svfSet(bandL, fc, 0.3f);
      svfSet(bandR, fc * 1.07f, 0.3f);
    }
    if (i < gate) amp = std::min(1.0f, t / 0.01f);
    else amp *= releaseMul;
    out.left[i] = svfStep(bandL, whiteNoise(noiseL)).band * amp * velocity;
    out.right[i] = svfStep(bandR, whiteNoise(noiseR)).band * amp * velocity;
  }
}

void renderTick(float velocity, float hz, uint32_t seed, DrumBuffers out) {
  resize(out, 0.09f);
  Noise noise = makeNoise(seed);
  Svf band;
  svfSet(band, hz * 2.6f, 0.7f);
  Oscillator body;
  const float mul = decayFactor(0.07f);
  float amp = 1.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float click = svfStep(band, whiteNoise(noise)).band * std::exp(-t / 0.0025f);
    const float y = (oscStep(body, Wave::Sine, hz / kSampleRate) * amp + click * 1.5f) * velocity;
    amp *= mul;
    out.left[i] = out.right[i] = y;
  }
}

void renderBoom(float velocity, float hz, uint32_t seed, DrumBuffers out) {
  resize(out, 3.0f);
  Noise noise = makeNoise(seed);
  Svf rumble;
  svfSet(rumble, 180.0f, 0.1f);
  const float mul = decayFactor(2.8f), rumbleMul = decayFactor(1.4f);
  float amp = 1.0f, rumbleAmp = 1.0f, phase = 0.0f;
  const int n = static_cast<int>(out.left.size());
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float f = hz * (0.7f + 0.3f * std::exp(-t / 0.35f)) * (1.0f + 1.5f * std::exp(-t / 0.02f));
    phase += f / kSampleRate;
    if (phase >= 1.0f) phase -= 1.0f;
    const float attack = std::min(1.0f, t * 1000.0f);
    const float y = softClip(sinTurns(phase) * amp * 1.6f) * 0.9f +
                    svfStep(rumble, whiteNoise(noise)).low * rumbleAmp * 0.6f;
    amp *= mul;
    rumbleAmp *= rumbleMul;
    out.left[i] = out.right[i] = y * attack * velocity;
  }
}

}  // namespace music
