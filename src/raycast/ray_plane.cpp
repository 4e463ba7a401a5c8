// Planar kinds: quad, floor, disc, floor ring.
#include <cmath>

#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

// --- Add operations ---

int RayWorld::addQuad(float px, float py, float pz, float ux, float uy, float uz, float vx,
                      float vy, float vz, uint8_t cutOut, float unused, int textureName,
                      float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                      uint8_t reflective) {
  return addQuad(Vector3(px, py, pz), Vector3(ux, uy, uz), Vector3(vx, vy, vz), cutOut, unused,
                 textureName, textureScale, castsShadow, receivesShadow, reflective);
}

int RayWorld::addQuad(const Vector3& position, const Vector3& edgeU, const Vector3& edgeV,
                      uint8_t cutOut, float unused, int textureName, float textureScale,
                      uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kQuad;
  o.cutOut = cutOut;
  o.radius = unused;  // read by nothing
  // Normal from the unnormalised edges; extents before normalising.
  o.axis.setCross(edgeU, edgeV);
  normalize(o.axis);
  o.extentA = length(edgeU);
  o.extentB = length(edgeV);
  o.uAxis.copyFrom(edgeU);
  normalize(o.uAxis);
  o.vAxis.copyFrom(edgeV);
  normalize(o.vAxis);
  return id;
}

int RayWorld::addFloor(float px, float py, float pz, int textureName, float textureScale,
                       uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  return addFloor(Vector3(px, py, pz), textureName, textureScale, castsShadow, receivesShadow,
                  reflective);
}

int RayWorld::addFloor(const Vector3& position, int textureName, float textureScale,
                       uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kFloor;
  o.axis.set(0.0f, -1.0f, 0.0f);
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

int RayWorld::addDisc(float px, float py, float pz, float nx, float ny, float nz, float inner,
                      float outer, int textureName, float textureScale, uint8_t castsShadow,
                      uint8_t receivesShadow, uint8_t reflective) {
  return addDisc(Vector3(px, py, pz), Vector3(nx, ny, nz), inner, outer, textureName,
                 textureScale, castsShadow, receivesShadow, reflective);
}

int RayWorld::addDisc(const Vector3& position, const Vector3& normal, float inner, float outer,
                      int textureName, float textureScale, uint8_t castsShadow,
                      uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kDisc;
  o.axis.copyFrom(normal);  // unnormalised; uAxis and vAxis stay zero
  o.extentA = inner;
  o.extentB = outer;
  return id;
}

int RayWorld::addFloorRing(float px, float py, float pz, float inner, float outer,
                           int textureName, float textureScale, uint8_t castsShadow,
                           uint8_t receivesShadow, uint8_t reflective) {
  return addFloorRing(Vector3(px, py, pz), inner, outer, textureName, textureScale, castsShadow,
                      receivesShadow, reflective);
}

int RayWorld::addFloorRing(const Vector3& position, float inner, float outer, int textureName,
                           float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                           uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kFloorRing;
  o.axis.set(0.0f, -1.0f, 0.0f);
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 0.0f, 1.0f);
  o.extentA = inner;  // bounds on the squared distance
  o.extentB = outer;
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
