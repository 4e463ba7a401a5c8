// The hall's text glow painted on the CPU. Every pass draws each showing
// piece four times, offset by (+-o/2, +-o/2) in texture coordinates, as
// bilinear samples of the last pass's picture tinted and added at alpha
// 0.2539 over the clear colour. Under a software rasteriser the seven passes
// and their band copies cost a third of the hall's frame; here they are a
// few vector loops over the band.
#pragma once

#include <cstdint>

#include "software/band_picture.h"

// One piece: columns [x0, x1) and rows [row0, row1) of the band, rows counted
// from the bottom as in the texture; its tint multiplies the samples.
struct GlowPiece {
  int x0, x1, row0, row1;
  float tint[3];
};

// Runs passCount passes. The first samples `source` (a band picture,
// repeating at its edges, alpha weighing each sample); later ones sample
// the previous pass, which is opaque as a copied framebuffer is.
// offsets[pass * pieceCount + k] is piece k's o in that pass. The last pass
// lands in `out` (a band picture) with alpha 255. Each sample rounds to
// 8-bit levels as the framebuffer stores them; sums saturate at 255. Not
// reentrant.
void paintTextGlow(const uint8_t* source, const GlowPiece* pieces, int pieceCount,
                   const float* offsets, int passCount, const uint8_t clear[3], uint8_t* out);
