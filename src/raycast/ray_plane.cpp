// Planar kinds: quad, floor, disc, floor ring.
#include <cmath>

#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

// --- Add operations ---

int RayWorld::addQuad(const RayQuad& quad, const RaySurface& surface) {
  const int id = addObject(quad.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kQuad;
  o.cutOut = quad.cutOut;
  // Normal from the unnormalised edges; extents before normalising.
  o.axis.setCross(quad.edgeU, quad.edgeV);
  normalize(o.axis);
  o.extentA = length(quad.edgeU);
  o.extentB = length(quad.edgeV);
  o.uAxis.copyFrom(quad.edgeU);
  normalize(o.uAxis);
  o.vAxis.copyFrom(quad.edgeV);
  normalize(o.vAxis);
  return id;
}

int RayWorld::addFloor(const RayFloor& floor, const RaySurface& surface) {
  const int id = addObject(floor.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kFloor;
  o.axis.set(0.0f, -1.0f, 0.0f);
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

int RayWorld::addDisc(const RayDisc& disc, const RaySurface& surface) {
  const int id = addObject(disc.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kDisc;
  o.axis.copyFrom(disc.normal);  // unnormalised; uAxis and vAxis stay zero
  o.extentA = disc.inner;
  o.extentB = disc.outer;
  return id;
}

int RayWorld::addFloorRing(const RayFloorRing& ring, const RaySurface& surface) {
  const int id = addObject(ring.position, surface);
  RayObject& o = objects[id];
  o.shape = RayShape::kFloorRing;
  o.axis.set(0.0f, -1.0f, 0.0f);
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 0.0f, 1.0f);
  o.extentA = ring.inner;  // bounds on the squared distance
  o.extentB = ring.outer;
  return id;
}

// --- Normal and texture ---

void planarNormal(RayContext& ctx, const RayObject& o) {
  Vector3 n = o.axis;
  if (dot(o.axis, ctx.dir) < 0.0f) n = scale(o.axis, -1.0f);
  if (o.ripple) {
    const Vector3& q = ctx.hitLocal;
    const float rho = length(q);
    const float k = o.rippleAmplitude * std::sin(rho * o.rippleFrequency + o.ripplePhase) / rho;
    n = sub(n, scale(q, k));
  }
  ctx.normal = n;
}

void planarTexture(RayContext& ctx, const RayObject& o) {
  const Vector3& q = ctx.hitLocal;
  ctx.sample->texU = dot(q, o.uAxis) * o.textureScale + o.textureOffsetA;
  ctx.sample->texV = dot(q, o.vAxis) * o.textureScale + o.textureOffsetB;
}
