// The swirl: nine passes that draw the previous result rotated, zoomed and
// panned.
#pragma once

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct SoftwarePasses;

struct SwirlJob {
  FeedbackSlot slot{};   // the picture pass 0 samples; each pass's result goes to its work texture
  bool ownSlot = false;  // a slot a feedback buffer made (the CPU can read it)
  PixelRect copy;        // the band each pass is copied from
  // The passes' turn grows with spin, their zoom with zoomBase *
  // zoomExponent; the pan moves their centres across them.
  float spin = 0, zoomBase = 0, zoomExponent = 0, panX = 0, panY = 0;
  float alpha = 0;  // each pass's weight
};

// The passes added to the frame as it stands, inside the copy rectangle;
// the last is left in the slot's work texture.
void runSwirl(Gfx& gfx, SoftwarePasses* cpu, const SwirlJob& job);
