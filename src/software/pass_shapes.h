// The shapes the software passes take: the descriptors their callers fill
// and their implementations read, apart from the passes themselves.
#pragma once

#include "gfx/gfx.h"
#include "software/terrain_strip.h"

// The rectangle of the frame that a feedback buffer copies into its slots.
struct BandCopy {
  int x, y, width, height;
};

// A feedback slot as its buffer made it: the picture, and the work texture
// its passes leave their result in, both copy-sized RGB with linear filters,
// repeating or clamped to a black border.
struct FeedbackSlot {
  unsigned picture;
  unsigned work;
  bool repeats;
};

// Passes of the dissolve's blur.
constexpr int kBlurPasses = 7;

// A textured quad in band pixels (x right, y up; pixel (i, j) centred at
// (i + 0.5, j + 0.5)), corners in drawing order: a parallelogram up to
// rounding. Corner 0 carries texture coordinates (du, dv), corner 1 adds 1
// to s, corner 3 adds 1 to t.
struct SwirlQuad {
  double x[4], y[4];
  float du, dv;
};

// A corner of a ripple sheet cell as GL places it: x, y in band pixels (row
// 0 at the bottom), z the window depth, w the clip w that perspective
// divides by, u, v the texture coordinates, and the corner's alpha in the
// outgoing and in the incoming pass.
struct SheetCorner {
  float x, y, z, w, u, v, alphaOut, alphaIn;
};

// Where line coordinates land in the band: pixel x = x * scaleX + offsetX,
// likewise y; pixel centres sit at half-integers, row 0 first.
struct LinePlacement {
  float scaleX, offsetX;
  float scaleY, offsetY;
};

// One piece of the text glow: columns [x0, x1) and rows [row0, row1) of the
// band, rows counted from the bottom as in the texture; its tint multiplies
// the samples.
struct GlowPiece {
  int x0, x1, row0, row1;
  float tint[3];
};

// Fills a column's terrain strips and returns their count.
using TerrainMarch = int (*)(int column, TerrainStrip* strips, const void* context);

// The grid's vertex layout, tied to its vertex struct by static_assert:
// x, y, z, r, g, b, a, u, v; four per quad with corners (x0, y0), (x1, y0),
// (x1, y1), (x0, y1) in band pixels, row 0 at the bottom.
constexpr int kPaintVertexFloats = 9;
constexpr int kPaintColour = 3;    // r, g, b, a
constexpr int kPaintTexCoord = 7;  // u, v

// A run of the ray grid's quads that share one texture, in emission order.
using GridRun = QuadRun;
