// Send effects: a tempo-synced ping-pong delay and a feedback-delay-network
// reverb. Both are streaming processors so the renderer can feed them in
// blocks with automated settings.
#pragma once

#include <vector>

#include "filter.h"

namespace music {

struct PingPongDelay {
  std::vector<float> left, right;
  int write = 0;
  float delaySamples = 0.0f;  // smoothed towards the requested time
  OnePole dampL, dampR;       // darker with every repeat, like tape
  OnePole lowCutL, lowCutR;   // keeps the repeats out of the bass
};

void delayInit(PingPongDelay& d, float maxSeconds);

// Adds the echoes of the input to out (which may already hold other sound).
// The first repeat comes on the left after `seconds`, then right, left...
void delayProcess(PingPongDelay& d, const float* inL, const float* inR, float* outL, float* outR,
                  int n, float seconds, float feedback);

constexpr int kReverbLines = 8;

struct Reverb {
  std::vector<float> line[kReverbLines];
  int length[kReverbLines] = {};
  int pos[kReverbLines] = {};
  OnePole damp[kReverbLines];
  std::vector<float> diffuser[4];
  int diffPos[4] = {};
  std::vector<float> preDelay;
  int prePos = 0;
  OnePole inputLowCut;
  float gain[kReverbLines] = {};
  float rt60 = -1.0f;
};

void reverbInit(Reverb& r, float preDelaySeconds);

// Adds the reverberated input to out; rt60 is the decay time in seconds.
void reverbProcess(Reverb& r, const float* inL, const float* inR, float* outL, float* outR, int n,
                   float rt60);

}  // namespace music
