// Sphere kinds: sphere and cut sphere.
#include <cmath>

#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

// --- Add operations ---

int RayWorld::addSphere(const RaySphere& sphere, const RaySurface& surface) {
  const int id = addObject(sphere.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kSphere;
  o.radius = sphere.radius;
  o.inside = sphere.inside;
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 1.0f, 0.0f);
  o.wAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

int RayWorld::addCutSphere(const RayCutSphere& sphere, const RaySurface& surface) {
  const int id = addObject(sphere.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kCutSphere;
  o.radius = sphere.radius;
  o.cutAxis.copyFrom(sphere.cutAxis);
  o.cutLimit = sphere.cutLimit;
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 1.0f, 0.0f);
  o.wAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

// --- Normal and texture ---

void sphereNormal(RayContext& ctx, const RayObject& o) {
  ctx.normal.x = ctx.hitLocal.x / o.radius;
  ctx.normal.y = ctx.hitLocal.y / o.radius;
  ctx.normal.z = ctx.hitLocal.z / o.radius;
}

float rayAzimuth(float px, float pz) {
  if (px == 0.0f) return 0.25f;
  double phi = std::atan(pz / px) * 0.159155077524438;
  if (px < 0.0f) phi += 0.5;
  return static_cast<float>(phi);
}

void sphericalTexture(RayContext& ctx, const RayObject& o) {
  const Vector3& q = ctx.hitLocal;
  const float px = dot(q, o.uAxis);
  const float py = dot(q, o.vAxis);
  const float pz = std::fabs(dot(q, o.wAxis));
  const float phi = rayAzimuth(px, pz);
  ctx.sample->texU = phi * o.textureScale * 0.75f + o.textureOffsetB;
  ctx.sample->texV = (0.5f * py / o.radius + 0.5f) * o.textureScale * 0.5f + o.textureOffsetA;
}
