#include "passes/swirl_pass.h"

#include <cmath>

#include "gfx/scene_region.h"
#include "software/software_passes.h"

namespace {

constexpr int kSwirlPasses = 9;

// One swirl pass's quad: corners at z = -1 in the identity modelview, and
// the texture offset added to the unit square's coordinates.
struct SwirlCorners {
  float x[4], y[4];
  float du, dv;
};

SwirlCorners swirlCorners(int l, const SwirlJob& job) {
  static const float kCornerTurns[4] = {0.0f, -1.570795f, -3.14159f, -4.712385f};
  SwirlCorners q;
  const float zoom = std::pow(1.05f, job.zoomBase * (l + 1) * job.zoomExponent) * 1.3f;
  const float t = l * 0.11111111f;
  const float angle = (t + 0.1f) * 103.0f * job.spin;
  const float ox = (t - 0.5f) * job.panX * 0.5f;
  const float oy = (t - 0.5f) * job.panY * 0.5f;
  q.du = ox * 0.001953125f;
  q.dv = oy * 0.00390625f;
  const float ca = std::cos(angle);
  const float sa = std::sin(angle);
  for (int c = 0; c < 4; ++c) {
    const float cc = std::cos(kCornerTurns[c]);
    const float sc = std::sin(kCornerTurns[c]);
    const float x0 = -256.0f * zoom;
    const float y0 = -256.0f * zoom;
    // Plane rotation by θ: (x cos θ + y sin θ, y cos θ − x sin θ).
    const float x1 = x0 * cc + y0 * sc - ox;
    const float y1 = y0 * cc - x0 * sc - oy;
    q.x[c] = x1 * ca + y1 * sa + 2.0f * ox;
    q.y[c] = (y1 * ca - x1 * sa + 2.0f * oy) * 0.5f;
  }
  return q;
}

// Each pass drawn from the work texture the previous one was copied into.
void gpuSwirl(Gfx& gfx, const SwirlJob& job, const SwirlCorners (&corners)[kSwirlPasses]) {
  static const float kCornerTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  // The zoomed quads overfill the viewport, but only the copied band is
  // ever read again: shading the rest would be a third of the passes' work.
  for (int l = 0; l < kSwirlPasses; ++l) {
    const SwirlCorners& q = corners[l];
    Vertex quad[4];
    for (int c = 0; c < 4; ++c)
      quad[c] = Vertex{q.x[c], q.y[c], -1.0f, 0.0f, 0.0f, 0.0f, job.alpha,
                       kCornerTex[c][0] + q.du, kCornerTex[c][1] + q.dv};
    Pass pass =
        scenePass(Blend::kWeighted, Combine::kAdd, l == 0 ? job.slot.picture : job.slot.work);
    pass.state.scissored = true;
    pass.state.scissor = job.copy;
    drawQuads(gfx, pass, quad, 4);
    copyFrameToTexture(gfx, job.slot.work, job.copy);
  }
}

// The quads placed in the band as the scene projection puts them (x
// -256..256 over the viewport's 512 columns, y -192..192 over its 384 rows).
bool cpuSwirl(SoftwarePasses& cpu, const SwirlJob& job,
              const SwirlCorners (&corners)[kSwirlPasses]) {
  SwirlQuad quads[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l) {
    for (int c = 0; c < 4; ++c) {
      quads[l].x[c] = double(corners[l].x[c]) + 256.0 - job.copy.x;
      quads[l].y[c] = double(corners[l].y[c]) + 192.0 - job.copy.y;
    }
    quads[l].du = corners[l].du;
    quads[l].dv = corners[l].dv;
  }
  const BandCopy copy{job.copy.x, job.copy.y, job.copy.width, job.copy.height};
  return softwareSwirl(cpu, copy, job.slot, quads, kSwirlPasses, job.alpha);
}

}  // namespace

void runSwirl(Gfx& gfx, SoftwarePasses* cpu, const SwirlJob& job) {
  SwirlCorners corners[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l) corners[l] = swirlCorners(l, job);
  if (cpu && job.ownSlot && cpuSwirl(*cpu, job, corners)) return;
  gpuSwirl(gfx, job, corners);
}
