#include "passes/text_glow_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

// Each piece's quad at (x, y) of the band, row 0 at the bottom, is
// (x - 256, y - 128) in the scene projection and (x / 512, y / 256) in the
// texture, exact for whole pixels.
static void gpuTextGlow(Gfx& gfx, const TextGlowJob& job) {
  Pass pass = scenePass(Blend::kWeighted, Combine::kModulate, 0);
  // One draw a pass for up to 16 pieces; more are drawn in order, in turns.
  constexpr int kRoom = 4 * 4 * 16;
  Vertex quads[kRoom];
  for (int n = 0; n < job.passCount; ++n) {
    // Nothing here tests or writes depth, so clearing it once is enough.
    clearFrame(gfx, kBlack, n == 0);
    pass.texture = n == 0 ? job.source : job.glow;
    const float* offsets = job.offsets + n * job.pieceCount;
    int count = 0;
    for (int dy = 0; dy < 2; ++dy) {
      for (int dx = 0; dx < 2; ++dx) {
        for (int k = 0; k < job.pieceCount; ++k) {
          if (count == kRoom) {
            drawQuads(gfx, pass, quads, count);
            count = 0;
          }
          const GlowPiece& p = job.pieces[k];
          const float ds = offsets[k] * (float(dx) - 0.5f);
          const float dt = offsets[k] * (float(dy) - 0.5f);
          const float xs[4] = {float(p.x0), float(p.x1), float(p.x1), float(p.x0)};
          const float ys[4] = {float(p.row0), float(p.row0), float(p.row1), float(p.row1)};
          for (int v = 0; v < 4; ++v)
            quads[count++] = Vertex{xs[v] - 256.0f, ys[v] - 128.0f, 0.0f, p.tint[0], p.tint[1],
                                    p.tint[2], 0.25390625f, xs[v] * 0.001953125f + ds,
                                    ys[v] * 0.00390625f + dt};
        }
      }
    }
    drawQuads(gfx, pass, quads, count);
    copyFrameToTexture(gfx, job.glow, kBandRect);
  }
  clearFrame(gfx, kBlack);
}

GlowRows runTextGlow(Gfx& gfx, SoftwarePasses* cpu, const TextGlowJob& job) {
  const uint8_t black[3] = {0, 0, 0};
  GlowRows rows{0, kBandRect.height};  // the whole band where the GL passes make it
  if (cpu && softwareTextGlow(*cpu, job.source, job.glow, job.pieces, job.pieceCount, job.offsets,
                              job.passCount, black, rows.begin, rows.end)) {
    clearFrame(gfx, kBlack, true);
    return rows;
  }
  gpuTextGlow(gfx, job);
  return rows;
}
