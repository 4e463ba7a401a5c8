#include "passes/blur_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

static float blurHalfSpread(int pass, float factor) {
  return pass * 0.028571429f * factor * 0.5f;
}

// Each pass drawn over the cleared frame and copied into the slot's work
// texture, which the next pass samples.
static void gpuBlur(Gfx& gfx, const BlurJob& job) {
  const BandQuad band = bandQuad(1.0f);
  for (int s = 0; s < 2; ++s) {
    const FeedbackSlot& slot = job.slots[s];
    for (int k = 1; k <= kBlurPasses; ++k) {
      clearFrame(gfx, job.background);
      const Pass pass =
          scenePass(Blend::kWeighted, Combine::kAdd, k == 1 ? slot.picture : slot.work);
      drawBlurTaps(gfx, pass, band.corners, blurHalfSpread(k, job.factors[s]));
      copyFrameToTexture(gfx, slot.work, job.copy);
    }
  }
}

static bool cpuBlur(SoftwarePasses& cpu, const BlurJob& job) {
  float spreads[2][kBlurPasses];
  for (int s = 0; s < 2; ++s)
    for (int k = 0; k < kBlurPasses; ++k) spreads[s][k] = blurHalfSpread(k + 1, job.factors[s]);
  const BandCopy copy{job.copy.x, job.copy.y, job.copy.width, job.copy.height};
  return softwareBlur(cpu, copy, job.slots, spreads, kBlurTapWeight);
}

void runBlur(Gfx& gfx, SoftwarePasses* cpu, const BlurJob& job) {
  if (cpu && job.ownSlots && cpuBlur(*cpu, job)) return;
  gpuBlur(gfx, job);
}
