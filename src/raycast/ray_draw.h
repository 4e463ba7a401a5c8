// Drawing and occlusion-mask updates of the grid ray-caster
// Internal to the renderer.
//
// A frame's quads are collected in one vertex array, in emission order, as
// runs of equal texture, and drawn once the frame is traced: one draw per
// run. The result equals drawing each quad on its own (same quads, same
// order, same vertices), without the per-quad overhead (passes/grid_quads_pass.h).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/gfx.h"
#include "raycast/ray_world.h"
#include "software/pass_shapes.h"

struct LightShafts;
struct SoftwarePasses;

// A frame's quads: working memory of the grid (keeps its capacity from
// frame to frame) and what the frame's drawing needs of its world.
struct RayDrawList {
  std::vector<Vertex> vertices;     // in emission order
  std::vector<GridRun> runs;        // runs of one texture
  long boundTexture = -1;           // unknown at frame start: the first quad starts a run
  bool orderFree = false;
  bool softwareDrew = false;        // for inspection after rayDrawEnd

  const RayWorld* world = nullptr;
  float lightColour[3] = {0, 0, 0};
  float depthScale = 0;
  float depthGain = 0;
};

// A block of the grid with its four traced corners: c0 = (x, y),
// c1 = (x + w, y), c2 = (x, y + h), c3 = (x + w, y + h).
struct RayBlock {
  int x, y, w, h;
  const RaySample& c0;
  const RaySample& c1;
  const RaySample& c2;
  const RaySample& c3;
};

// Starts a frame: remembers the world and its light colour. `depthUnread`:
// the caller knows nothing reads the depth these quads would write before
// it is cleared, so their order cannot change the picture.
void rayDrawBegin(RayDrawList& list, const RayWorld& world, bool depthUnread);
// A leaf block: glow quad (texture 2) if any corner glows, then the textured
// quad unless c0 is background, drawn c0, c1, c3, c2.
void rayDrawLeaf(RayDrawList& list, const RayBlock& block);
// A single pixel drawn from c0 alone.
void rayDrawPixel(RayDrawList& list, int x, int y, const RaySample& c0);
// Draws the frame's quads with `pass`, each run with its own texture.
void rayDrawEnd(Gfx& gfx, RayDrawList& list, const Pass& pass, SoftwarePasses* software);
// Quads submitted since rayDrawBegin.
inline uint32_t rayDrawQuadCount(const RayDrawList& list) {
  return uint32_t(list.vertices.size() / 4);
}

// Mask after a leaf: all four corner distances below lightDistance -> the
// covered cells become 0.
void rayMaskLeaf(LightShafts& light, float lightDistance, const RayBlock& block);
// Mask after a single pixel (x, y of the block): cell = maskFullValue -
// k * (maskFullValue / 4), k = corners below lightDistance.
void rayMaskPixel(LightShafts& light, float lightDistance, const RayBlock& block);
