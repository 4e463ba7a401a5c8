// Dispatch of the primitive operations by kind.
#include "raycast/ray_primitives.h"

#include "raycast/ray_math.h"

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
