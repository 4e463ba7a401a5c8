// The 512 x 384 region at the window's origin that scenes draw in, and the
// 512 x 256 band of it (rows 64 to 319) that makes the picture.
#pragma once

#include "gfx/gfx.h"

constexpr PixelRect kSceneRegion{0, 0, 512, 384};
constexpr PixelRect kBandRect{0, 64, 512, 256};

// x -256..256 and y -192..192 across the region, z 0..1 into the screen.
Mat4 sceneProjection();

// A pass over the scene region in its projection, with no modelview.
Pass scenePass(Blend blend, Combine combine, TextureName texture);

// The band as one quad at z = -1 in the scene projection, colour
// (0, 0, 0, alpha), texture coordinates (0, 0)..(1, 1) shifted by (du, dv).
struct BandQuad {
  Vertex corners[4];
};
BandQuad bandQuad(float alpha, float du = 0.0f, float dv = 0.0f);

// A rectangle at z = -1 with one colour and texture coordinates
// (s0, t0)..(s1, t1), corners counter-clockwise from (x0, y0).
BandQuad flatQuad(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
                  const Colour& colour);
