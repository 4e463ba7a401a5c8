// The tinted blur that softens the titles: passes of four tinted taps.
#pragma once

#include "gfx/gfx.h"

struct SoftwarePasses;

struct TintedBlurJob {
  TextureName picture = 0;  // what pass 1 samples
  TextureName work = 0;     // each pass's result, which the next samples
  PixelRect copy;           // the band each pass is copied from
  Colour background;        // the frame's colour under each pass
  int passes = 0;
  // Pass p of n spreads its taps (uSpread, vSpread) * amount * p / n apart.
  float uSpread = 0, vSpread = 0, amount = 0;
  float tint[3] = {1, 1, 1};  // what each tap is modulated by
};

// The passes, each over the cleared frame; the last is left in `work` and
// in the band.
void runTintedBlur(Gfx& gfx, SoftwarePasses* cpu, const TintedBlurJob& job);
