#include "passes/grid_quads_pass.h"

#include <cstddef>

#include "software/software_passes.h"

// The CPU reads these vertices as they are.
static_assert(sizeof(Vertex) == kPaintVertexFloats * sizeof(float), "grid vertex size");
static_assert(offsetof(Vertex, r) == kPaintColour * sizeof(float), "grid vertex colour");
static_assert(offsetof(Vertex, s) == kPaintTexCoord * sizeof(float), "grid vertex texture");

// The runs in order, one pass.
static void gpuGridQuads(Gfx& gfx, const GridQuadsJob& job) {
  drawQuadRuns(gfx, job.pass, job.vertices, job.runs, job.runCount);
}

bool runGridQuads(Gfx& gfx, SoftwarePasses* cpu, const GridQuadsJob& job) {
  if (job.runCount == 0) return false;
  if (cpu && job.orderFree &&
      softwareGridQuads(*cpu, gfx, job.pass, &job.vertices[0].x, job.runs, job.runCount))
    return true;
  gpuGridQuads(gfx, job);
  return false;
}
