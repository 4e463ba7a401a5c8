// The master bus: DC removal, a look-ahead peak limiter and kick ducking.
#pragma once

#include <vector>

#include "filter.h"

namespace music {

// Second-order high-pass at a subsonic frequency: removes DC and rumble.
struct DcBlocker {
  Svf left, right;
};

void dcInit(DcBlocker& d, float cutoffHz);
void dcProcess(DcBlocker& d, float* left, float* right, int n);

// Brick-wall limiter with look-ahead: the gain is already down when a peak
// arrives, so no sample ever exceeds the ceiling, and it recovers
// exponentially so loud passages do not pump audibly.
struct Limiter {
  float ceiling = 0.89f;
  int window = 1;                  // look-ahead in samples
  float releaseCoef = 0.0f;
  std::vector<float> delayL, delayR;
  std::vector<float> required;     // ring of required gains
  std::vector<long long> minQueue; // sample numbers of a monotonic sliding minimum
  int queueHead = 0, queueTail = 0;
  std::vector<float> smoothRing;   // ring for the moving average
  double smoothSum = 0.0;
  float envelope = 1.0f;
  long long count = 0;             // samples fed so far
};

void limiterInit(Limiter& lim, float ceiling, float lookaheadSeconds, float releaseSeconds);

// Latency of the limiter in samples: output sample k corresponds to input
// sample k - latency.
inline int limiterLatency(const Limiter& lim) { return lim.window - 1; }

// Feeds n input samples, writes n output samples (delayed by the latency).
void limiterProcess(Limiter& lim, const float* inL, const float* inR, float* outL, float* outR,
                    int n);

// Limits a whole buffer in place, compensating the latency.
void limitBuffer(float* left, float* right, int n, float ceiling, float lookaheadSeconds,
                 float releaseSeconds);

}  // namespace music
