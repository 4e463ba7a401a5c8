#include "effects.h"

#include <cmath>

namespace music {

void delayInit(PingPongDelay& d, float maxSeconds) {
  const int size = static_cast<int>(maxSeconds * kSampleRate) + 4;
  d.left.assign(size, 0.0f);
  d.right.assign(size, 0.0f);
  d.write = 0;
  d.delaySamples = 0.0f;
  onePoleSet(d.dampL, 4200.0f);
  onePoleSet(d.dampR, 4200.0f);
  onePoleSet(d.lowCutL, 180.0f);
  onePoleSet(d.lowCutR, 180.0f);
}

namespace {

inline float readFrac(const std::vector<float>& buf, int write, float delay) {
  const int size = static_cast<int>(buf.size());
  float pos = static_cast<float>(write) - delay;
  while (pos < 0.0f) pos += static_cast<float>(size);
  const int i0 = static_cast<int>(pos);
  const float frac = pos - static_cast<float>(i0);
  const int i1 = i0 + 1 >= size ? 0 : i0 + 1;
  return buf[i0] + (buf[i1] - buf[i0]) * frac;
}

}  // namespace

void delayProcess(PingPongDelay& d, const float* inL, const float* inR, float* outL, float* outR,
                  int n, float seconds, float feedback) {
  const int size = static_cast<int>(d.left.size());
  const float target = std::fmin(seconds * kSampleRate, static_cast<float>(size - 3));
  if (d.delaySamples <= 0.0f) d.delaySamples = target;
  for (int i = 0; i < n; ++i) {
    // Slow glide when the tempo changes: a short tape-like bend.
    d.delaySamples += (target - d.delaySamples) * 0.0005f;
    const float tapL = readFrac(d.left, d.write, d.delaySamples);
    const float tapR = readFrac(d.right, d.write, d.delaySamples);
    const float in = 0.5f * (inL[i] + inR[i]);
    const float fbL = onePoleHigh(d.lowCutL, onePoleLow(d.dampL, tapR)) * feedback;
    const float fbR = onePoleHigh(d.lowCutR, onePoleLow(d.dampR, tapL)) * feedback;
    d.left[d.write] = in + fbL;
    d.right[d.write] = fbR;
    outL[i] += tapL;
    outR[i] += tapR;
    if (++d.write >= size) d.write = 0;
  }
}

void reverbInit(Reverb& r, float preDelaySeconds) {
  // Mutually prime lengths, 47 to 98 ms: a large, smooth hall.
  static const int kLengths[kReverbLines] = {2053, 2399, 2719, 3011, 3371, 3659, 3989, 4297};
  static const int kDiffusers[4] = {241, 347, 503, 677};
  for (int i = 0; i < kReverbLines; ++i) {
    r.length[i] = kLengths[i];
    r.line[i].assign(kLengths[i], 0.0f);
    r.pos[i] = 0;
    onePoleSet(r.damp[i], 6500.0f);
  }
  for (int i = 0; i < 4; ++i) {
    r.diffuser[i].assign(kDiffusers[i], 0.0f);
    r.diffPos[i] = 0;
  }
  r.preDelay.assign(static_cast<size_t>(preDelaySeconds * kSampleRate) + 1, 0.0f);
  r.prePos = 0;
  onePoleSet(r.inputLowCut, 220.0f);
  r.rt60 = -1.0f;
}

void reverbProcess(Reverb& r, const float* inL, const float* inR, float* outL, float* outR, int n,
                   float rt60) {
  if (rt60 != r.rt60) {
    for (int i = 0; i < kReverbLines; ++i)
      r.gain[i] = std::pow(10.0f, -3.0f * r.length[i] / (rt60 * kSampleRate));
    r.rt60 = rt60;
  }
  const int preSize = static_cast<int>(r.preDelay.size());
  for (int s = 0; s < n; ++s) {
    // Mono, bass-trimmed input through a pre-delay and four allpass
    // diffusers; stereo comes from how the lines are tapped.
    float x = onePoleHigh(r.inputLowCut, 0.5f * (inL[s] + inR[s]));
    const float delayed = r.preDelay[r.prePos];
    r.preDelay[r.prePos] = x;
    if (++r.prePos >= preSize) r.prePos = 0;
    x = delayed;
    for (int d = 0; d < 4; ++d) {
      std::vector<float>& buf = r.diffuser[d];
      const float v = buf[r.diffPos[d]];
      const float w = x + 0.6f * v;
      buf[r.diffPos[d]] = w;
      x = v - 0.6f * w;
      if (++r.diffPos[d] >= static_cast<int>(buf.size())) r.diffPos[d] = 0;
    }

    float y[kReverbLines];
    float sum = 0.0f;
    for (int i = 0; i < kReverbLines; ++i) {
      y[i] = onePoleLow(r.damp[i], r.line[i][r.pos[i]]) * r.gain[i];
      sum += y[i];
    }
    // Householder feedback matrix: lossless mixing of all lines.
    const float h = sum * (2.0f / kReverbLines);
    for (int i = 0; i < kReverbLines; ++i) {
      r.line[i][r.pos[i]] = y[i] - h + ((i & 1) ? -x : x);
      if (++r.pos[i] >= r.length[i]) r.pos[i] = 0;
    }
    outL[s] += (y[0] - y[2] + y[4] - y[6]) * 0.35f;
    outR[s] += (y[1] - y[3] + y[5] - y[7]) * 0.35f;
  }
}

}  // namespace music
