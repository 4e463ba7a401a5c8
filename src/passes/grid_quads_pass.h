// The ray grid's quads of one frame: runs of one texture in emission order.
#pragma once

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct SoftwarePasses;

struct GridQuadsJob {
  Pass pass;                         // each run's texture replaces pass.texture
  const Vertex* vertices = nullptr;  // four a quad, in the layout of pass_shapes.h
  const GridRun* runs = nullptr;
  int runCount = 0;
  // Nothing reads the depth the quads write before it is cleared, so their
  // order cannot change the picture: only then may the CPU take them.
  bool orderFree = false;
};

// True where the CPU drew the quads.
bool runGridQuads(Gfx& gfx, SoftwarePasses* cpu, const GridQuadsJob& job);
