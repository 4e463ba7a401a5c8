// The crossfade of two band pictures, one of the passes that run either on
// the GPU through the drawing layer or, on the software path, on the CPU.
//
// Every such pass is one call, `runX(gfx, cpu, job)`: `job` states all the
// pass depends on; `cpu` is the software path's passes, made once at
// start-up when that path is chosen and null otherwise. Where the CPU
// cannot take a job as stated (a picture it holds no copy of, a shape
// beyond it), the GPU version runs, on either path.
#pragma once

#include "gfx/gfx.h"

struct SoftwarePasses;

struct CrossfadeJob {
  TextureName a = 0, b = 0;  // band-sized pictures
  bool ownPictures = false;  // both are band pictures a feedback buffer made (the CPU can read them)
  PixelRect copy;            // where the pictures were copied from
  Colour background;         // the frame's colour under them
  float w = 0;               // b's weight; a's is 1 - w
};

// The frame cleared to the background, then b added at weight w and a at
// 1 - w over the band.
void runCrossfade(Gfx& gfx, SoftwarePasses* cpu, const CrossfadeJob& job);
