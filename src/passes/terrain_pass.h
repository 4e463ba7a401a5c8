// The landscape's terrain: every band column's strips, as its march yields
// them, drawn as quads modulating a static texture.
#pragma once

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct SoftwarePasses;

struct TerrainJob {
  TextureName texture = 0;      // static: the CPU paints from its copy
  TerrainMarch march = nullptr;  // fills a column's strips; may run on several threads at once
  const void* context = nullptr;  // handed to `march`
  // Room for the quads on their way to the layer, at least one column's
  // worth (kTerrainMaxStrips quads); the batch draws as it fills.
  Vertex* batch = nullptr;
  int batchVertices = 0;
};

void runTerrain(Gfx& gfx, SoftwarePasses* cpu, const TerrainJob& job);
