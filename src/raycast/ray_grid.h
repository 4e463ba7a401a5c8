// The grid ray-caster's per-frame entry: traces the corners of
// adaptively refined screen blocks of the 512 x 256 band and draws them as
// Gouraud-shaded textured quads with depth, lowering the light's occlusion
// mask and deciding whether its flare is visible.
#pragma once

#include <cstdint>
#include <memory>

#include "raycast/ray_grid_size.h"
#include "raycast/ray_stats.h"
#include "raycast/ray_world.h"

struct Gfx;
struct Pass;
struct SoftwarePasses;

// Whether anything reads the grid's depth before it is cleared: where
// something does, the quads write it; where nothing does, they write none,
// their order cannot change the picture and the software path may regroup
// them.
enum class GridDepth { Read, Unread };

struct RayGridMemory;  // ray_grid_memory.h

// The grid's working memory: sample cache and table, view plane, the points
// traced ahead and the frame's quads (about 6 MB). Made once and handed to
// every renderRayGrid call; it holds nothing a later frame reads, only what
// the last call left for inspection.
struct RayGrid {
  RayGrid();
  ~RayGrid();
  RayGrid(const RayGrid&) = delete;
  RayGrid& operator=(const RayGrid&) = delete;

  std::unique_ptr<RayGridMemory> memory;
  // Whether the points every frame traces alike are traced ahead on all
  // cores (the default); off, one thread traces all in order. For tests,
  // which compare the two.
  bool traceAhead = true;
};

// Clears the colour buffer and draws `world` with rayGridPass(depth) (grid
// point (gx, gy) at (gx, gy) in model coordinates), lowering the light's
// occlusion mask.
// Orthonormalises world.camera and runs the flare test (as advanceRayView).
// Counts into `stats` and prints its line every 51 frames. With `software`
// (the software path) the software backend may draw the quads.
void renderRayGrid(Gfx& gfx, RayGrid& grid, RayWorld& world, GridDepth depth,
                   SoftwarePasses* software, RayStats& stats);

// How the grid's quads draw: in the scene region, band-translated, colour
// added to the texture and weighted by its alpha; depth written where read.
Pass rayGridPass(GridDepth depth);

// What renderRayGrid does that a later frame may read, for frames that are
// not drawn: orthonormalises world.camera and sets the light's visibleFlare
// by the flare test. No GL, no grid memory, no statistics.
void advanceRayView(RayWorld& world);

// --- Inspection of the last frame (tests, tools) ---
// The sample traced at grid point (gx, gy) in the last frame, or nullptr if
// that point was not traced (or lies outside 0..512 x 0..256).
const RaySample* rayGridSample(const RayGrid& grid, int gx, int gy);
// Number of samples traced in the last frame.
int rayGridSampleCount(const RayGrid& grid);
// Whether the software backend drew the last frame's quads.
bool rayGridDrawnBySoftware(const RayGrid& grid);

// Depth of a sample at distance d: depthScale * (1 - 1 / (depthGain * d + 1)).
float rayDepth(const RayWorld& world, float distance);
