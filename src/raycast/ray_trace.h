// Tracing one grid point. All operate on the
// context's world and write into the context.
#pragma once

#include "math/vector3.h"
#include "raycast/ray_context.h"
#include "raycast/ray_world.h"

// Sets the frame constants of ctx for `world` (camera and light positions,
// lightDistance) and runs world.prepareFrame(). Does not touch the camera
// basis.
void rayBeginFrame(RayContext& ctx, RayWorld& world);

// Primary ray from the camera through `direction` (not necessarily unit),
// with the one mirror bounce and its highlight. Lists in idList form.
void traceSample(RayContext& ctx, const int32_t* hitList, const int32_t* shadowList,
                 const Vector3& direction, RaySample& s);

// One ray of the current kind from ctx.origin: normalises D in place, finds
// the nearest hit, texture, normal, bounce direction, shadow and lighting.
void shadeRay(RayContext& ctx, const int32_t* hitList, const int32_t* shadowList, Vector3& d,
              RaySample& s);

// Nearest positive hit of the listed objects along d (the current kind);
// s.hitObject = 0 and s.distance = 164350 when nothing is hit.
void nearestHit(RayContext& ctx, const int32_t* list, const Vector3& d, RaySample& s);

// Ray kind 1 along ctx.lightDir: the first listed caster with
// 0 < t and t + 0.04 < lightHitDistance becomes s.shadowObject.
void shadowTest(RayContext& ctx, const int32_t* list, RaySample& s);

// Lighting terms of ctx.object into s.shade (starting from s.shade).
void lightSample(RayContext& ctx, RaySample& s);

// The distance at which nearestHit reports a miss.
constexpr float kRayMissDistance = 164350.0f;
// Blockers closer than this to the hit point along the light ray are ignored.
constexpr float kShadowEpsilon = 0.04f;
