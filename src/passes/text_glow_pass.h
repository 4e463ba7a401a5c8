// The text glow: passes that each add four offset copies of tinted pieces
// of a band-sized text picture over black, every pass sampling the last.
#pragma once

#include "gfx/gfx.h"
#include "software/pass_shapes.h"

struct SoftwarePasses;

struct TextGlowJob {
  TextureName source = 0;  // static, band-sized: the CPU paints from its copy
  TextureName glow = 0;    // band-sized; receives every pass's result
  // The pieces showing, their texture 1:1 with the band; each pass draws
  // every piece offset by (+-o/2, +-o/2) in texture coordinates with o =
  // offsets[pass * pieceCount + piece].
  const GlowPiece* pieces = nullptr;
  int pieceCount = 0;
  const float* offsets = nullptr;
  int passCount = 0;
};

// Band rows [begin, end) of the glow texture that hold any light.
struct GlowRows {
  int begin;
  int end;
};

// Leaves the result in `glow` and the frame cleared to black, depth
// included.
GlowRows runTextGlow(Gfx& gfx, SoftwarePasses* cpu, const TextGlowJob& job);
