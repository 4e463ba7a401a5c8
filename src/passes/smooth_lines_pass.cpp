#include "passes/smooth_lines_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

constexpr int kVertexFloats = sizeof(Vertex) / sizeof(float);

static void gpuSmoothLines(Gfx& gfx, const SmoothLinesJob& job) {
  Pass pass;
  pass.viewport = kSceneRegion;
  pass.state.blend = job.blend;
  pass.state.smoothLines = true;
  drawLines(gfx, pass, job.vertices, job.lineCount * 2);
}

void runSmoothLines(Gfx& gfx, SoftwarePasses* cpu, const SmoothLinesJob& job) {
  // Identity matrices: x in [-1, 1] spans the region's 512 columns, y its
  // 384 rows, of which the band starts at row 64.
  const LinePlacement placement = {256.0f, 256.0f, 192.0f, 128.0f};
  if (cpu && job.blend == Blend::kWeighted &&
      softwareLines(*cpu, &job.vertices[0].x, kVertexFloats, job.lineCount, placement))
    return;
  gpuSmoothLines(gfx, job);
}
