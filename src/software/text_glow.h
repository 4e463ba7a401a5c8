// The hall's text glow painted on the CPU. Every pass draws each showing
// piece four times, offset by (+-o/2, +-o/2) in texture coordinates, as
// bilinear samples of the last pass's picture tinted and added at alpha
// 0.2539 over the clear colour. Under a software rasteriser the seven passes
// and their band copies cost a third of the hall's frame; here they are a
// few vector loops over the band.
#pragma once

#include <cstdint>
#include <vector>

#include "software/band_picture.h"
#include "software/pass_shapes.h"

// The passes' planes, kept from call to call.
struct GlowScratch {
  std::vector<float> planes[2][4];  // ping-pong R, G, B, A with wrapped margins
  std::vector<float> sums[3];       // the pass's added levels per channel
};

// Runs passCount passes. The first samples `source` (a band picture,
// repeating at its edges, alpha weighing each sample); later ones sample
// the previous pass, which is opaque as a copied framebuffer is.
// offsets[pass * pieceCount + k] is piece k's o in that pass. The last pass
// lands in `out` (a band picture) with alpha 255. Each sample rounds to
// 8-bit levels as the framebuffer stores them; sums saturate at 255.
void paintTextGlow(const uint8_t* source, const GlowPiece* pieces, int pieceCount,
                   const float* offsets, int passCount, const uint8_t clear[3], uint8_t* out,
                   GlowScratch& scratch);
