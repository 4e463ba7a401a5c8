#include "master.h"

#include <algorithm>
#include <cmath>

namespace music {

void dcInit(DcBlocker& d, float cutoffHz) {
  svfSetDamping(d.left, cutoffHz, 1.4142f);
  svfSetDamping(d.right, cutoffHz, 1.4142f);
}

void dcProcess(DcBlocker& d, float* left, float* right, int n) {
  for (int i = 0; i < n; ++i) {
    left[i] = svfStep(d.left, left[i]).high;
    right[i] = svfStep(d.right, right[i]).high;
  }
}

void limiterInit(Limiter& lim, float ceiling, float lookaheadSeconds, float releaseSeconds) {
  lim.ceiling = ceiling;
  lim.window = std::max(1, static_cast<int>(lookaheadSeconds * kSampleRate));
  lim.releaseCoef = 1.0f - std::exp(-1.0f / (releaseSeconds * kSampleRate));
  lim.delayL.assign(lim.window, 0.0f);
  lim.delayR.assign(lim.window, 0.0f);
  lim.required.assign(lim.window, 1.0f);
  lim.minQueue.assign(lim.window + 1, 0);
  lim.queueHead = lim.queueTail = 0;
  lim.smoothRing.assign(lim.window, 1.0f);
  lim.smoothSum = lim.window;
  lim.envelope = 1.0f;
  lim.count = 0;
}

void limiterProcess(Limiter& lim, const float* inL, const float* inR, float* outL, float* outR,
                    int n) {
  const int w = lim.window;
  const int qSize = w + 1;
  for (int i = 0; i < n; ++i) {
    const long long k = lim.count++;
    const int slot = static_cast<int>(k % w);
    const float peak = std::max(std::fabs(inL[i]), std::fabs(inR[i]));
    const float need = peak > lim.ceiling ? lim.ceiling / peak : 1.0f;

    // Sliding minimum of the required gain over the last w samples.
    while (lim.queueTail != lim.queueHead) {
      const int last = (lim.queueTail + qSize - 1) % qSize;
      const long long idx = lim.minQueue[last];
      if (lim.required[idx % w] <= need && k - idx < w) break;
      lim.queueTail = last;
    }
    // The slot of the sample leaving the window is about to be overwritten.
    lim.required[slot] = need;
    lim.minQueue[lim.queueTail] = k;
    lim.queueTail = (lim.queueTail + 1) % qSize;
    while (k - lim.minQueue[lim.queueHead] >= w) lim.queueHead = (lim.queueHead + 1) % qSize;
    const float windowMin = lim.required[lim.minQueue[lim.queueHead] % w];

    // Instant attack to the window minimum, exponential release.
    if (windowMin < lim.envelope) lim.envelope = windowMin;
    else lim.envelope += (windowMin - lim.envelope) * lim.releaseCoef;

    // Moving average over the window: a smooth ramp that still reaches the
    // required gain by the time the peak leaves the delay line.
    lim.smoothSum += lim.envelope - lim.smoothRing[slot];
    lim.smoothRing[slot] = lim.envelope;
    const float gain = static_cast<float>(lim.smoothSum / w);

    const int outSlot = static_cast<int>((k + 1) % w);  // oldest sample, w - 1 ago
    const float dl = w == 1 ? inL[i] : lim.delayL[outSlot];
    const float dr = w == 1 ? inR[i] : lim.delayR[outSlot];
    lim.delayL[slot] = inL[i];
    lim.delayR[slot] = inR[i];
    outL[i] = std::clamp(dl * gain, -lim.ceiling, lim.ceiling);
    outR[i] = std::clamp(dr * gain, -lim.ceiling, lim.ceiling);
  }
}

void limitBuffer(float* left, float* right, int n, float ceiling, float lookaheadSeconds,
                 float releaseSeconds) {
  Limiter lim;
  limiterInit(lim, ceiling, lookaheadSeconds, releaseSeconds);
  const int latency = limiterLatency(lim);
  std::vector<float> outL(n + latency), outR(n + latency);
  limiterProcess(lim, left, right, outL.data(), outR.data(), n);
  std::vector<float> zeros(latency, 0.0f);
  limiterProcess(lim, zeros.data(), zeros.data(), outL.data() + n, outR.data() + n, latency);
  std::copy(outL.begin() + latency, outL.end(), left);
  std::copy(outR.begin() + latency, outR.end(), right);
}

}  // namespace music
