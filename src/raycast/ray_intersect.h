// Intersections of the primitive kinds, inline so that the trace loops
// run them without a call per object (internal to the ray-caster).
#pragma once

#include <cmath>

#include "raycast/ray_context.h"
#include "raycast/ray_math.h"
#include "raycast/ray_world.h"

// The origin terms of `o` for the current ray. The camera's and the light's
// are renewed once a frame in the object; a bounce's are made here from its
// origin, so that tracing only reads the world and contexts on several
// threads can share one.
inline RayOriginBlock originBlock(const RayContext& ctx, const RayObject& o) {
  if (ctx.kind != kRayFromBounce) return o.from[ctx.kind];
  RayOriginBlock b;
  b.offset = raymath::sub(o.position, ctx.origin);
  b.squaredDistance = raymath::dot(b.offset, b.offset);
  b.negAxisDot = -raymath::dot(b.offset, o.axis);
  return b;
}

// --- Planar kinds ---

inline float intersectQuad(const RayContext& ctx, const RayObject& o) {
  const RayOriginBlock b = originBlock(ctx, o);
  const float d = raymath::dot(ctx.dir, o.axis);
  const float t = -b.negAxisDot / d;
  if (!(t > 0.0f)) return 0.0f;
  const Vector3 q = raymath::sub(raymath::scale(ctx.dir, t), b.offset);
  const float a = raymath::dot(q, o.uAxis);
  const float c = raymath::dot(q, o.vAxis);
  const bool inside = -o.extentA < a && a < o.extentA && -o.extentB < c && c < o.extentB;
  if (o.cutOut) return inside ? 0.0f : t;
  return inside ? t : 0.0f;
}

inline float intersectFloor(const RayContext& ctx, const RayObject& o) {
  const float t = originBlock(ctx, o).negAxisDot / ctx.dir.y;
  return t > 0.0f ? t : 0.0f;
}

inline float intersectDisc(const RayContext& ctx, const RayObject& o) {
  const RayOriginBlock b = originBlock(ctx, o);
  const float t = -b.negAxisDot / raymath::dot(ctx.dir, o.axis);
  if (!(t > 0.0f)) return 0.0f;
  const float r = raymath::length(raymath::sub(raymath::scale(ctx.dir, t), b.offset));
  return (o.extentA < r && r < o.extentB) ? t : 0.0f;
}

inline float intersectFloorRing(const RayContext& ctx, const RayObject& o) {
  const RayOriginBlock b = originBlock(ctx, o);
  const float t = b.negAxisDot / ctx.dir.y;
  if (t < 0.0f) return 0.0f;
  const Vector3 q = raymath::sub(raymath::scale(ctx.dir, t), b.offset);
  const float q2 = raymath::dot(q, q);
  return (o.extentA < q2 && q2 < o.extentB) ? t : 0.0f;
}

// --- Sphere kinds ---

inline float intersectSphere(const RayContext& ctx, const RayObject& o) {
  const RayOriginBlock blk = originBlock(ctx, o);
  const float a = ctx.dirDot;
  const float b = -2.0f * raymath::dot(ctx.dir, blk.offset);
  const float c = blk.squaredDistance - o.radius * o.radius;
  const float disc = b * b - 4.0f * a * c;
  if (!(disc > 0.0f)) return 0.0f;
  const float root = std::sqrt(disc);
  const float t = o.inside ? (-b + root) / (2.0f * a) : (-b - root) / (2.0f * a);
  return t > 0.0f ? t : 0.0f;
}

// Whether the root t lies on the kept part of the cut sphere.
inline bool rayCutCounts(const RayContext& ctx, const RayObject& o, const RayOriginBlock& blk,
                         float t) {
  const Vector3 p = raymath::sub(raymath::scale(ctx.dir, t), blk.offset);
  const Vector3 m(p.x / o.radius, p.y / o.radius, p.z / o.radius);
  const float s = raymath::dot(m, o.cutAxis);
  const float v = s > 0.0f ? 2.0f - s : s + 1.0f;
  return v < o.cutLimit;
}

inline float intersectCutSphere(const RayContext& ctx, const RayObject& o) {
  const RayOriginBlock blk = originBlock(ctx, o);
  const float a = ctx.dirDot;
  const float b = -2.0f * raymath::dot(ctx.dir, blk.offset);
  const float c = blk.squaredDistance - o.radius * o.radius;
  const float disc = b * b - 4.0f * a * c;
  if (!(disc > 0.0f)) return 0.0f;
  const float root = std::sqrt(disc);
  const float tNear = (-b - root) / (2.0f * a);
  const float tFar = (-b + root) / (2.0f * a);
  if (tNear > 0.0f && rayCutCounts(ctx, o, blk, tNear)) return tNear;
  if (tFar > 0.0f && rayCutCounts(ctx, o, blk, tFar)) return tFar;
  return 0.0f;
}

// --- Tube kinds ---

// dA = dot(D, axis) (tube), axis.z * D.z (z-tube), axis.y * D.y (y-tube).
inline float intersectTube(const RayContext& ctx, const RayObject& o, float dA) {
  const RayOriginBlock blk = originBlock(ctx, o);
  const float cA = -blk.negAxisDot;  // dot(O, A)
  const float a = ctx.dirDot - dA * dA;
  const float b = 2.0f * (cA * dA - raymath::dot(ctx.dir, blk.offset));
  const float c = blk.squaredDistance - cA * cA - o.radius * o.radius;
  const float disc = b * b - 4.0f * a * c;
  if (!(disc > 0.0f)) return 0.0f;
  const float root = std::sqrt(disc);
  const float t = o.inside ? (-b + root) / (2.0f * a) : (-b - root) / (2.0f * a);
  if (t <= 0.0f) return t;  // a miss, returned unchanged
  if (o.length <= 0.0f) return t;
  // Axial coordinate of the hit; only the chosen root is tested.
  const float h = t * dA - cA;
  return (0.0f <= h && h <= o.length) ? t : 0.0f;
}

// --- Dispatch ---

// Ray parameter t of the surface hit along ctx.dir, or a value <= 0 for none.
// Counts one call in the context's counter.
inline float rayIntersect(const RayContext& ctx, const RayObject& o) {
  ++ctx.intersects;
  switch (o.shape) {
    case RayShape::kQuad:
      return intersectQuad(ctx, o);
    case RayShape::kFloor:
      return intersectFloor(ctx, o);
    case RayShape::kDisc:
      return intersectDisc(ctx, o);
    case RayShape::kFloorRing:
      return intersectFloorRing(ctx, o);
    case RayShape::kSphere:
      return intersectSphere(ctx, o);
    case RayShape::kCutSphere:
      return intersectCutSphere(ctx, o);
    case RayShape::kTube:
      return intersectTube(ctx, o, raymath::dot(ctx.dir, o.axis));
    case RayShape::kTubeZ:
      return intersectTube(ctx, o, o.axis.z * ctx.dir.z);
    case RayShape::kTubeY:
      return intersectTube(ctx, o, o.axis.y * ctx.dir.y);
    case RayShape::kNone:
      break;
  }
  return 0.0f;
}
