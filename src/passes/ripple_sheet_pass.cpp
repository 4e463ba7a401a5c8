#include "passes/ripple_sheet_pass.h"

#include "effects/feedback_buffer.h"
#include "gfx/scene_region.h"
#include "software/software_passes.h"

// Both passes as quads in the sheet's perspective, through the depth buffer.
static void gpuRippleSheet(Gfx& gfx, const RippleSheetJob& job) {
  Pass pass = scenePass(Blend::kWeighted, Combine::kAdd, job.outgoing.picture);
  // At distance 1 this frustum shows exactly the sheet's 1 x 0.5 extent over
  // the band.
  pass.projection = perspective(identityMatrix(), 41.1, 1.3333333333333333, 0.5, 1000.0);
  pass.state.depth = DepthTest::kLess;
  std::vector<Vertex>& vertices = *job.vertices;
  sheetVertices(*job.sheet, false, vertices);
  drawQuads(gfx, pass, vertices.data(), int(vertices.size()));
  // The same cells again, only where the first pass drew them.
  pass.state.depth = DepthTest::kEqual;
  pass.texture = job.incoming.picture;
  sheetVertices(*job.sheet, true, vertices);
  drawQuads(gfx, pass, vertices.data(), int(vertices.size()));
}

static bool cpuRippleSheet(SoftwarePasses& cpu, const RippleSheetJob& job) {
  sheetCorners(*job.sheet, *job.corners);
  return softwareRippleSheet(cpu, job.outgoing, job.incoming, job.corners->data(),
                             RippleSheet::kPoints * RippleSheet::kPoints);
}

void runRippleSheet(Gfx& gfx, SoftwarePasses* cpu, const RippleSheetJob& job) {
  if (cpu && job.ownPictures && cpuRippleSheet(*cpu, job)) return;
  gpuRippleSheet(gfx, job);
}
