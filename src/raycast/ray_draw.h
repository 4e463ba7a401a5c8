// Drawing and occlusion-mask updates of the grid ray-caster
// Internal to the renderer.
//
// A frame's quads are collected in one vertex array, in emission order, as
// runs of equal texture, and drawn with glDrawArrays(GL_QUADS) once the
// frame is traced: one bind and one draw per run. The result equals the
// per-quad glBegin/glEnd (same quads, same order, same vertices), without
// the per-vertex call overhead. On the software path, where nothing reads
// the depth the grid writes, the software backend takes the frame instead
// (software/software_passes.h).
#pragma once

#include <cstdint>

#include "raycast/ray_world.h"

struct LightShafts;

// Starts a frame: remembers the world and its light colour. `depthUnread`:
// the caller knows nothing reads the depth these quads would write before
// it is cleared, so their order cannot change the picture.
void rayDrawBegin(const RayWorld& world, float lightDistance, bool depthUnread);
// A leaf block: glow quad (texture 2) if any corner glows, then the textured
// quad unless c0 is background. Corners c0 = (x, y), c1 = (x + w, y),
// c2 = (x, y + h), c3 = (x + w, y + h), drawn c0, c1, c3, c2.
void rayDrawLeaf(int x, int y, int w, int h, const RaySample& c0, const RaySample& c1,
                 const RaySample& c2, const RaySample& c3);
// A single pixel drawn from c0 alone.
void rayDrawPixel(int x, int y, const RaySample& c0);
// Draws the frame's quads and leaves the last quad's texture bound and its
// last vertex's colour and texture coordinate current, as drawing each quad
// on its own would.
void rayDrawEnd();
// Quads submitted since rayDrawBegin.
uint32_t rayDrawQuadCount();
// Whether the software backend drew the last frame's quads.
bool rayDrawnBySoftware();

// Mask after a leaf: all four corner distances below lightDistance -> the
// covered cells become 0.
void rayMaskLeaf(LightShafts& light, float lightDistance, int x, int y, int w, int h,
                 const RaySample& c0, const RaySample& c1, const RaySample& c2,
                 const RaySample& c3);
// Mask after a single pixel: cell = maskFullValue - k * (maskFullValue / 4),
// k = corners below lightDistance.
void rayMaskPixel(LightShafts& light, float lightDistance, int x, int y, const RaySample& c0,
                  const RaySample& c1, const RaySample& c2, const RaySample& c3);
