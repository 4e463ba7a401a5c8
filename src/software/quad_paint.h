// The grid's quads painted on the CPU. Where the grid's quads may go in any
// order (additive blending onto an opaque framebuffer, nothing tested) each
// texture's quads are painted as GL would rasterise them: two triangles per
// quad with colours and texture coordinates interpolated across each, the
// bilinear texel added to the colour as GL_ADD does, and the result weighed
// by its alpha and summed in 8-bit levels. A software rasteriser spends more
// on setting up those small triangles than on their pixels; here a quad
// costs its pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "software/band_picture.h"
#include "software/pass_shapes.h"
#include "software/texture_copies.h"

// Quads come in the grid's vertex layout (kPaintVertexFloats).

// Per-channel sums of the band's added levels (kBandWidth x kBandHeight x 3).
struct PaintSums {
  std::vector<uint16_t> levels;
  void clear() { levels.assign(size_t(kBandWidth) * kBandHeight * 3, 0); }
};

// Adds the quads' levels to sums. Quads outside the band are clipped to it.
void paintQuads(const float* vertices, int quadCount, const TextureCopy& texture,
                PaintSums& sums);

// The sums as RGBA (alpha 255), each channel saturated at 255.
void settleSums(const PaintSums& sums, uint8_t* rgba);
