// The dissolve's blur of two feedback slots.
#pragma once

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct SoftwarePasses;

struct BlurJob {
  FeedbackSlot slots[2]{};    // each picture, the work texture its result is left in, its wrap
  float factors[2] = {0, 0};  // each slot's spread, 0 leaving it sharp
  bool ownSlots = false;      // both are slots a feedback buffer made (the CPU can read them)
  PixelRect copy;             // where the pictures were copied from
  Colour background;          // the frame's colour under each pass
};

// Each slot in turn through kBlurPasses passes of four taps whose spread
// grows with the pass and the slot's factor, each pass from the previous
// one's result; the last is left in the slot's work texture.
void runBlur(Gfx& gfx, SoftwarePasses* cpu, const BlurJob& job);
