// The feedback buffer's swirling zoom on the CPU. Each pass draws a picture
// as one rotated, zoomed textured quad over the band, adding alpha times the
// texel to what is there, and the next pass samples the result. On a
// software rasteriser each pass costs four texel reads and a blend per band
// pixel through a general pipeline; here the passes are plain loops over
// the band read back once.
//
// Sampling follows GL_LINEAR with GL_CLAMP on an RGB texture as llvmpipe
// filters it: coordinates clamp to [0, 1], the four texels about
// (s * width - 0.5, t * height - 0.5) are weighed in float, and texels
// beyond the edge are the black border (whose alpha an RGB texture reads as
// 1, so only the colour darkens). The fragment's colour and alpha round to 8
// bits and the blend adds colour * alpha / 255, rounded, saturating at 255.
#pragma once

#include <cstdint>
#include <vector>

#include "software/pass_shapes.h"

// The pictures the passes work on, kept from call to call: each framed by
// one texel of zeros, the border that samples beyond the edges read (the
// ping-pong pair and the first pass's texture), for pictures of one size.
struct SwirlScratch {
  std::vector<uint32_t> framed[3];
  int width = 0, height = 0;
};

// Runs `passCount` passes of quads (SwirlQuad) over `picture` (width x
// height RGBA, alpha left alone), leaving the result there. Pass 0 samples
// `firstTexture` (same size) or, when null, the picture itself; later
// passes sample the previous pass's result. Quads that are degenerate or
// not finite draw nothing.
//
// Coverage is llvmpipe's: corners snap to 1/256 pixel, and a centre on an
// edge counts for left edges and bottom ones (rows counted up, as here; the
// top ones of the frame it keeps upside down). Texture coordinates come
// from the corners as given, unsnapped, as it interpolates them.
void swirlPasses(uint8_t* picture, const uint8_t* firstTexture, int width, int height,
                 const SwirlQuad* quads, int passCount, float alpha, SwirlScratch& scratch);
