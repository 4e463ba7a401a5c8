// Tube kinds: general tube, z-tube, y-tube (cylinders and cones).
#include <cmath>

#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

// --- Add operations ---

int RayWorld::addTube(const RayTube& tube, const RaySurface& surface) {
  const int id = addObject(tube.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kTube;
  o.axis.copyFrom(tube.axis);  // not normalised: its length shapes the surface
  o.radius = tube.radius;
  o.length = tube.length;
  o.inside = tube.inside;
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 1.0f, 0.0f);
  o.wAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

int RayWorld::addTubeZ(const RayAxisTube& tube, const RaySurface& surface) {
  const int id = addObject(tube.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kTubeZ;
  o.axis.set(0.0f, 0.0f, tube.axisLength);
  o.radius = tube.radius;
  o.length = tube.length;
  o.inside = tube.inside;
  return id;
}

int RayWorld::addTubeY(const RayAxisTube& tube, const RaySurface& surface) {
  const int id = addObject(tube.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kTubeY;
  o.axis.set(0.0f, tube.axisLength, 0.0f);
  o.radius = tube.radius;
  o.length = tube.length;
  o.inside = tube.inside;
  return id;
}

// --- Normal and texture ---

void tubeNormal(RayContext& ctx, const RayObject& o) {
  const Vector3& w = ctx.hitLocal;  // H - O
  const float along = dot(w, o.axis);
  const Vector3 axial = scale(o.axis, along);
  Vector3 n = sub(w, axial);
  if (!o.inside) n = scale(n, -1.0f);
  if (o.ripple) {
    const float k =
        o.rippleAmplitude * std::sin(length(axial) * o.rippleFrequency + o.ripplePhase);
    n = sub(n, scale(o.axis, k));
  }
  ctx.normal = n;
}

void cylindricalTexture(RayContext& ctx, const RayObject& o) {
  const Vector3& q = ctx.hitLocal;
  const float px = dot(q, o.uAxis);
  const float py = dot(q, o.vAxis);
  const float pz = std::fabs(dot(q, o.wAxis));
  const float phi = rayAzimuth(px, pz);
  ctx.sample->texU = phi * o.textureScale * 12.0f;
  ctx.sample->texV = py * o.textureScale * 0.125f + 0.5f;
}

void sideTextureZ(RayContext& ctx, const RayObject& o) {
  ctx.sample->texU = ctx.hitLocal.y * o.textureScale;
  ctx.sample->texV = ctx.hitLocal.z * o.textureScale;
}

void sideTextureY(RayContext& ctx, const RayObject& o) {
  ctx.sample->texU = ctx.hitLocal.x * o.textureScale;
  ctx.sample->texV = ctx.hitLocal.y * o.textureScale;
}
