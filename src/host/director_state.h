// The director's own counters, part of the demo's carried state.
#pragma once

#include "gfx/pass_state.h"

struct DirectorState {
  int previousNowMs = 0;
  int frameDeltaMs = 0;
  int demoTimeMs = 0;
  float corridorClock = 0;  // frame time spent in the lantern corridor's range only
  // The colour the last frame ended on: the next frame's first clear and the
  // bands above and below the picture.
  Colour clearColour = kBlack;
};
