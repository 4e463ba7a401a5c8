#include "textures.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"
#include "filter.h"
#include "oscillators.h"
#include "rng.h"

namespace music {

namespace {

int resize(DrumBuffers out, float seconds) {
  const int n = std::max(1, static_cast<int>(seconds * kSampleRate));
  out.left.assign(n, 0.0f);
  out.right.assign(n, 0.0f);
  return n;
}

// Raised-cosine fade over the first and last `fade` seconds.
float edgeFade(float t, float length, float fade) {
  const float a = std::min(1.0f, t / fade);
  const float b = std::min(1.0f, (length - t) / fade);
  const float x = std::max(0.0f, std::min(a, b));
  return 0.5f - 0.5f * std::cos(x * kPi);
}

}  // namespace

void renderRiser(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  const int n = resize(out, seconds);
  Noise noiseL = makeNoise(seed), noiseR = makeNoise(seed + 1u);
  Svf bandL, bandR;
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float x = t / seconds;
    if (i % 32 == 0) {
      const float fc = 250.0f * std::pow(40.0f, x);
      svfSet(bandL, fc, 0.55f);
      svfSet(bandR, fc * 1.05f, 0.55f);
    }
    const float env = x * x * edgeFade(t, seconds, 0.02f);
    out.left[i] = svfStep(bandL, whiteNoise(noiseL)).band * env * velocity;
    out.right[i] = svfStep(bandR, whiteNoise(noiseR)).band * env * velocity;
  }
}

void renderWhoosh(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  const int n = resize(out, seconds);
  Noise noise = makeNoise(seed);
  Svf band;
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float x = t / seconds;
    if (i % 32 == 0) svfSet(band, 7000.0f * std::pow(0.03f, x), 0.4f);
    const float env = std::min(1.0f, x / 0.12f) * std::pow(1.0f - x, 1.5f);
    const float y = svfStep(band, whiteNoise(noise)).band * env * velocity;
    float gl, gr;
    panGains(-0.8f + 1.6f * x, gl, gr);
    out.left[i] = y * gl * 1.4f;
    out.right[i] = y * gr * 1.4f;
  }
}

void renderReverseCrash(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  std::vector<float> l, r;
  renderCrash(velocity, 1.0f, seed, DrumBuffers{l, r});
  const int n = resize(out, seconds);
  const int m = static_cast<int>(l.size());
  for (int i = 0; i < n; ++i) {
    const int src = n - 1 - i;  // the crash's onset lands on the last sample
    if (src < m) {
      out.left[i] = l[src];
      out.right[i] = r[src];
    }
  }
  // Cut the reversed attack short: a swell that ends cleanly, not a click.
  const int fade = std::min(n, kSampleRate / 100);
  for (int i = 0; i < fade; ++i) {
    const float g = static_cast<float>(i) / fade;
    out.left[n - 1 - i] *= g;
    out.right[n - 1 - i] *= g;
  }
}

void renderWind(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  const int n = resize(out, seconds);
  PinkNoise pinkL = makePink(seed), pinkR = makePink(seed + 77u);
  Svf bandL, bandR;
  Rng rng = makeRng(seed);
  const float p1 = uniform01(rng), p2 = uniform01(rng), p3 = uniform01(rng);
  float gust = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    if (i % 64 == 0) {
      const float wander = sinTurns(p1 + t * 0.071f) * 0.6f + sinTurns(p2 + t * 0.13f) * 0.4f;
      const float fc = 520.0f * std::exp2(wander * 1.3f);
      svfSet(bandL, fc, 0.45f);
      svfSet(bandR, fc * 1.19f, 0.45f);
      gust = 0.55f + 0.45f * sinTurns(p3 + t * 0.09f) * sinTurns(p1 + t * 0.031f);
    }
    const float env = gust * edgeFade(t, seconds, 2.0f) * velocity * 2.5f;
    out.left[i] = svfStep(bandL, pinkStep(pinkL)).band * env;
    out.right[i] = svfStep(bandR, pinkStep(pinkR)).band * env;
  }
}

void renderCrickets(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  const int n = resize(out, seconds);
  Rng rng = makeRng(seed);
  constexpr int kCrickets = 3;
  for (int c = 0; c < kCrickets; ++c) {
    const float hz = 4300.0f + 700.0f * uniform01(rng);
    const float pan = -0.7f + 1.4f * (static_cast<float>(c) + 0.5f * uniform01(rng)) / kCrickets;
    const float level = velocity * (0.5f + 0.5f * uniform01(rng));
    float gl, gr;
    panGains(pan, gl, gr);
    float chirpAt = 0.3f + uniform01(rng) * 1.5f;
    while (chirpAt < seconds - 0.3f) {
      // A chirp: three or four 15 ms pulses, 30 ms apart.
      const int pulses = 3 + randomBelow(rng, 2);
      const float amp = level * (0.6f + 0.4f * uniform01(rng));
      for (int k = 0; k < pulses; ++k) {
        const int start = static_cast<int>((chirpAt + 0.03f * k) * kSampleRate);
        const int len = static_cast<int>(0.015f * kSampleRate);
        for (int i = 0; i < len && start + i < n; ++i) {
          const float x = static_cast<float>(i) / len;
          const float y = sinTurns(hz * static_cast<float>(i) / kSampleRate) * std::sin(x * kPi) * amp;
          out.left[start + i] += y * gl;
          out.right[start + i] += y * gr;
        }
      }
      chirpAt += 0.55f + uniform01(rng) * 0.7f;
    }
  }
  // Fade the bed in and out with the scene.
  for (int i = 0; i < n; ++i) {
    const float g = edgeFade(static_cast<float>(i) / kSampleRate, seconds, 1.5f);
    out.left[i] *= g;
    out.right[i] *= g;
  }
}

void renderCrackle(float velocity, float seconds, uint32_t seed, DrumBuffers out) {
  const int n = resize(out, seconds);
  Rng rng = makeRng(seed);
  Noise hiss = makeNoise(seed + 3u);
  OnePole hissTone, popL, popR;
  onePoleSet(hissTone, 3000.0f);
  onePoleSet(popL, 1200.0f);
  onePoleSet(popR, 1200.0f);
  const float popChance = 14.0f / kSampleRate;  // pops per second
  float ringL = 0.0f, ringR = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    if (uniform01(rng) < popChance) {
      const float a = uniform01(rng);
      const float amp = a * a * a * velocity;
      const float side = uniformPm(rng);
      ringL += amp * (1.0f - 0.6f * side);
      ringR += amp * (1.0f + 0.6f * side);
    }
    const float h = onePoleLow(hissTone, whiteNoise(hiss)) * velocity * 0.05f;
    const float fade = edgeFade(t, seconds, 1.5f);
    out.left[i] = (onePoleHigh(popL, ringL) + h) * fade;
    out.right[i] = (onePoleHigh(popR, ringR) + h) * fade;
    ringL *= 0.6f;
    ringR *= 0.6f;
  }
}

}  // namespace music
