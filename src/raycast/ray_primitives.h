// The three operations of each primitive kind, dispatched by a
// switch on RayObject::shape. They read the block of ctx.kind, ctx.dir and
// ctx.dirDot (intersect, inline in ray_intersect.h), ctx.hitOffset and
// ctx.hitLocal (normal, texture).
#pragma once

#include "raycast/ray_context.h"
#include "raycast/ray_intersect.h"
#include "raycast/ray_world.h"

// Writes ctx.normal (not normalised).
void rayNormalAt(RayContext& ctx, const RayObject& o);
// Writes texU, texV of ctx.sample.
void rayTextureAt(RayContext& ctx, const RayObject& o);

// Per family (ray_plane.cpp, ray_sphere.cpp, ray_tube.cpp).
void planarNormal(RayContext& ctx, const RayObject& o);
void sphereNormal(RayContext& ctx, const RayObject& o);
void tubeNormal(RayContext& ctx, const RayObject& o);

void planarTexture(RayContext& ctx, const RayObject& o);
void sphericalTexture(RayContext& ctx, const RayObject& o);
void cylindricalTexture(RayContext& ctx, const RayObject& o);
void sideTextureZ(RayContext& ctx, const RayObject& o);
void sideTextureY(RayContext& ctx, const RayObject& o);

// phi of the spherical and cylindrical mappings: 0.25 at px = 0, else
// atan(pz / px) / (2 * 3.14159), plus 0.5 when px < 0.
float rayAzimuth(float px, float pz);
