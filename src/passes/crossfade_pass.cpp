#include "passes/crossfade_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

// Each picture as a band quad of colour (0, 0, 0, weight) whose texture is
// added to it, blended by its alpha onto the opaque frame.
static void gpuCrossfade(Gfx& gfx, const CrossfadeJob& job) {
  const BandQuad b = bandQuad(job.w);
  drawQuads(gfx, scenePass(Blend::kWeighted, Combine::kAdd, job.b), b.corners, 4);
  const BandQuad a = bandQuad(1.0f - job.w);
  drawQuads(gfx, scenePass(Blend::kWeighted, Combine::kAdd, job.a), a.corners, 4);
}

void runCrossfade(Gfx& gfx, SoftwarePasses* cpu, const CrossfadeJob& job) {
  clearFrame(gfx, job.background);
  const BandCopy copy{job.copy.x, job.copy.y, job.copy.width, job.copy.height};
  if (cpu && job.ownPictures && softwareCrossfade(*cpu, copy, job.a, job.b, job.w)) return;
  gpuCrossfade(gfx, job);
}
