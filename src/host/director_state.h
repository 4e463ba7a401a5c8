// The director's own counters, part of the demo's carried state.
#pragma once

struct DirectorState {
  int previousNowMs = 0;
  int frameDeltaMs = 0;
  int demoTimeMs = 0;
  float corridorClock = 0;  // frame time spent in the lantern corridor's range only
};
