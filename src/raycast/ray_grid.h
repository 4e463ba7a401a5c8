// The grid ray-caster's per-frame entry: traces the corners of
// adaptively refined screen blocks of the 512 x 256 band and draws them as
// Gouraud-shaded textured quads with depth, lowering the light's occlusion
// mask and deciding whether its flare is visible.
#pragma once

#include <cstdint>

#include "raycast/ray_world.h"

// Grid size and limits.
constexpr int kRayGridWidth = 512;
constexpr int kRayGridHeight = 256;
constexpr int kRayMaxSamples = 40000;

// Whether anything reads the depth the grid's quads write (where the caller
// left depth testing on) before it is cleared. Where nothing does, the
// quads' order cannot change the picture and the software path may regroup
// them.
enum class GridDepth { Read, Unread };

// Clears the colour buffer and draws `world` into the current GL context
// (model coordinates: grid point (gx, gy) at (gx, gy) after
// glTranslatef(-256, -128, 0)). Orthonormalises world.camera. Prints the
// statistics line every 51 frames. Without `draw` only what carries into
// later frames is done: the camera basis, the world's per-frame terms and
// the flare test; nothing is traced for the picture and GL is not touched.
void renderRayGrid(RayWorld& world, GridDepth depth = GridDepth::Read, bool draw = true);
inline void renderRayGrid(RayWorld* world, GridDepth depth = GridDepth::Read, bool draw = true) {
  renderRayGrid(*world, depth, draw);
}

// --- Inspection of the last frame (tests, tools) ---
// The sample traced at grid point (gx, gy) in the last frame, or nullptr if
// that point was not traced (or lies outside 0..512 x 0..256).
const RaySample* rayGridSample(int gx, int gy);
// Number of samples traced in the last frame.
int rayGridSampleCount();
// Whether the points every frame traces alike are traced ahead on all
// cores (the default); off, one thread traces all in order. For tests,
// which compare the two.
void rayGridTraceAhead(bool on);

// Leaf test of traceBlock (w <= 8 is checked by the caller): equal
// hitObject, shadowCount and bounceObject at all four corners, and
// |delta glow| <= 0.4 and |delta shade| <= 0.4 for all six pairs (double
// precision comparison).
bool rayCornersAgree(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                     const RaySample& c3);

// Depth of a sample at distance d: depthScale * (1 - 1 / (depthGain * d + 1)).
float rayDepth(const RayWorld& world, float distance);
