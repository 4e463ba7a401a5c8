// The ripple transition's sheet painted on the CPU. GL draws the sheet's
// 50 x 50 cells twice in perspective: the outgoing picture with depth test
// less, then the incoming one with depth test equal, each texel added
// weighed by the corner alphas. A software rasteriser spends most of the
// transition setting up those 10,000 small textured triangles; here both
// passes are one walk over the cells.
#pragma once

#include <cstdint>
#include <memory>

#include "software/pass_shapes.h"
#include "software/texture_copies.h"

constexpr int kSheetBandWidth = 512;
constexpr int kSheetBandHeight = 256;

// A 512 x 256 picture the sheet samples: GL_LINEAR with GL_REPEAT, or with
// GL_CLAMP and a black border; alpha reads as 1 (RGB textures).
struct SheetPicture {
  const TextureCopy* texels;
  bool repeats;
};

// Adds both passes to `band` (512 x 256 RGBA, row 0 at the bottom, alpha
// left alone) over a depth buffer cleared to the far plane: cells of four
// corners each, split along the diagonal from the first corner to the
// third as GL splits quads, covered as llvmpipe covers pixels. Fragments
// of the outgoing pass add where nearer than all before them; the incoming
// pass adds once per pixel, at the nearest fragment.
struct RippleScratch;
void paintRippleSheet(const SheetCorner* corners, int cellCount, const SheetPicture& outgoing,
                      const SheetPicture& incoming, uint8_t* band, RippleScratch& scratch);

// The painter's per-pixel planes, triangles and framed pictures, kept from
// call to call.
struct RippleScratch {
  RippleScratch();
  ~RippleScratch();
  struct Planes;
  std::unique_ptr<Planes> planes;
};
