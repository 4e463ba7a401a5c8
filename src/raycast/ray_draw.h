// Drawing and occlusion-mask updates of the grid ray-caster
// Internal to the renderer.
//
// Quads are collected in one preallocated vertex array and submitted with
// glDrawArrays(GL_QUADS), in emission order: per run of equal texture, or,
// where the context has shaders and the world's last frame changed texture
// often, with the frame's textures on separate units so that runs end only
// when the units are used up. The result equals the per-quad glBegin/glEnd
// (same quads, same order, same vertices), without the per-vertex call
// overhead.
//
// Where blending only adds and nothing is tested, the order cannot change a
// pixel: a world that changes texture often then has its quads grouped by
// texture, and the narrow ones painted on the CPU and added as one picture
// (within a level or two of the rasteriser's own rounding).
#pragma once

#include <cstdint>

#include "raycast/ray_world.h"

struct LightShafts;

// Starts a frame: remembers the world, its light colour and lightDistance,
// and enables the client arrays (client vertex-array state is pushed).
void rayDrawBegin(const RayWorld& world, float lightDistance);
// A leaf block: glow quad (texture 2) if any corner glows, then the textured
// quad unless c0 is background. Corners c0 = (x, y), c1 = (x + w, y),
// c2 = (x, y + h), c3 = (x + w, y + h), drawn c0, c1, c3, c2.
void rayDrawLeaf(int x, int y, int w, int h, const RaySample& c0, const RaySample& c1,
                 const RaySample& c2, const RaySample& c3);
// A single pixel drawn from c0 alone.
void rayDrawPixel(int x, int y, const RaySample& c0);
// Submits what is left, restores the client array state and leaves the current
// colour and texture coordinate as the last vertex set them.
void rayDrawEnd();
// False keeps one texture unit and a run per texture change.
extern bool rayTextureUnitsEnabled;
// Where blending is additive and nothing is tested, quads of a world that
// changes texture often are drawn grouped by texture (the blend sums the
// same in any order); false keeps them in order.
extern bool rayQuadGroupingEnabled;
// Grouped quads are painted on the CPU and added to the band as one picture
// where the projection and per-fragment state are the grid's own.
extern bool rayQuadPaintingEnabled;
// Quads submitted since rayDrawBegin.
uint32_t rayDrawQuadCount();
// The most texture units in use at once since rayDrawBegin; 0 where the
// quads went with one unit and a run per texture.
int rayDrawUnitsUsed();
// Whether the quads since rayDrawBegin went grouped by texture.
bool rayDrawGroupedByTexture();
// Whether they were painted on the CPU.
bool rayDrawPaintedOnCpu();

// Mask after a leaf: all four corner distances below lightDistance -> the
// covered cells become 0.
void rayMaskLeaf(LightShafts& light, float lightDistance, int x, int y, int w, int h,
                 const RaySample& c0, const RaySample& c1, const RaySample& c2,
                 const RaySample& c3);
// Mask after a single pixel: cell = maskFullValue - k * (maskFullValue / 4),
// k = corners below lightDistance.
void rayMaskPixel(LightShafts& light, float lightDistance, int x, int y, const RaySample& c0,
                  const RaySample& c1, const RaySample& c2, const RaySample& c3);
