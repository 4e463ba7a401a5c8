// Smooth one-pixel lines over the scene region, with identity matrices. The
// CPU paints the band alone: the region's rows around it are never captured.
#pragma once

#include "gfx/gfx.h"

struct SoftwarePasses;

struct SmoothLinesJob {
  const Vertex* vertices = nullptr;  // two a line, x and y in [-1, 1] across the region
  int lineCount = 0;
  // kAdd: (one, one); kWeighted: (source alpha, destination alpha) onto the
  // opaque frame, the blend the CPU can take.
  Blend blend = Blend::kWeighted;
};

void runSmoothLines(Gfx& gfx, SoftwarePasses* cpu, const SmoothLinesJob& job);
