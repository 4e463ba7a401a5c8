#include "passes/tinted_blur_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

// The most passes the CPU version takes.
constexpr int kMaxCpuPasses = 16;

// Four tinted taps a pass, weighed by their alpha; each pass copied into
// the work texture for the next.
static void gpuTintedBlur(Gfx& gfx, const TintedBlurJob& job) {
  const float halfW = job.copy.width * 0.5f;
  const float halfH = job.copy.height * 0.5f;
  const Colour tint{job.tint[0], job.tint[1], job.tint[2], kBlurTapWeight};
  const int n = job.passes;
  for (int p = 1; p <= n; ++p) {
    clearFrame(gfx, job.background);
    const float h = job.amount * p;
    const float du = job.uSpread * h / n;
    const float dv = job.vSpread * h / n;
    BandQuad taps[4];
    BandQuad* tap = taps;
    for (float oy : {-dv * 0.5f, dv * 0.5f})
      for (float ox : {-du * 0.5f, du * 0.5f})
        *tap++ = flatQuad(-halfW, -halfH, halfW, halfH, 0.0f + ox, 0.0f + oy, 1.0f + ox,
                          1.0f + oy, tint);
    const Pass pass =
        scenePass(Blend::kWeighted, Combine::kModulate, p == 1 ? job.picture : job.work);
    drawQuads(gfx, pass, taps[0].corners, 16);
    copyFrameToTexture(gfx, job.work, job.copy);
  }
}

static bool cpuTintedBlur(SoftwarePasses& cpu, const TintedBlurJob& job) {
  const int n = job.passes;
  float spreadS[kMaxCpuPasses], spreadT[kMaxCpuPasses];
  for (int p = 1; p <= n; ++p) {
    const float h = job.amount * p;
    spreadS[p - 1] = job.uSpread * h / n * 0.5f;
    spreadT[p - 1] = job.vSpread * h / n * 0.5f;
  }
  const BandCopy copy{job.copy.x, job.copy.y, job.copy.width, job.copy.height};
  return softwareTintedBlur(cpu, copy, job.picture, job.work, n, spreadS, spreadT,
                            kBlurTapWeight, job.tint);
}

void runTintedBlur(Gfx& gfx, SoftwarePasses* cpu, const TintedBlurJob& job) {
  if (cpu && job.passes > 0 && job.passes <= kMaxCpuPasses && cpuTintedBlur(*cpu, job)) return;
  gpuTintedBlur(gfx, job);
}
