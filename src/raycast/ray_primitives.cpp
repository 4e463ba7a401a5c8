// Dispatch of the primitive operations by kind, and the ray statistics.
#include "raycast/ray_primitives.h"

#include "raycast/ray_math.h"
#include "raycast/ray_stats.h"

RayStats rayStats;

float rayIntersect(RayContext& ctx, const RayObject& o) {
  ++rayStats.frameIntersects;
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

void rayNormalAt(RayContext& ctx, const RayObject& o) {
  switch (o.shape) {
    case RayShape::kQuad:
    case RayShape::kFloor:
    case RayShape::kDisc:
    case RayShape::kFloorRing:
      planarNormal(ctx, o);
      return;
    case RayShape::kSphere:
    case RayShape::kCutSphere:
      sphereNormal(ctx, o);
      return;
    case RayShape::kTube:
    case RayShape::kTubeZ:
    case RayShape::kTubeY:
      tubeNormal(ctx, o);
      return;
    case RayShape::kNone:
      break;
  }
  ctx.normal.set(0.0f, 0.0f, 0.0f);
}

void rayTextureAt(RayContext& ctx, const RayObject& o) {
  switch (o.shape) {
    case RayShape::kQuad:
    case RayShape::kFloor:
    case RayShape::kDisc:
    case RayShape::kFloorRing:
      planarTexture(ctx, o);
      return;
    case RayShape::kSphere:
    case RayShape::kCutSphere:
      sphericalTexture(ctx, o);
      return;
    case RayShape::kTube:
      cylindricalTexture(ctx, o);
      return;
    case RayShape::kTubeZ:
      sideTextureZ(ctx, o);
      return;
    case RayShape::kTubeY:
      sideTextureY(ctx, o);
      return;
    case RayShape::kNone:
      break;
  }
}
