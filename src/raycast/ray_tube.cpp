// Tube kinds: general tube, z-tube, y-tube (cylinders and cones).
#include <cmath>

#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

// --- Add operations ---

int RayWorld::addTube(float px, float py, float pz, float ax, float ay, float az, float radius,
                      float length, uint8_t inside, int textureName, float textureScale,
                      uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  return addTube(Vector3(px, py, pz), Vector3(ax, ay, az), radius, length, inside, textureName,
                 textureScale, castsShadow, receivesShadow, reflective);
}

int RayWorld::addTube(const Vector3& position, const Vector3& axis, float radius, float length,
                      uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
                      uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kTube;
  o.axis.copyFrom(axis);  // not normalised: its length shapes the surface
  o.radius = radius;
  o.length = length;
  o.inside = inside;
  o.uAxis.set(1.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 1.0f, 0.0f);
  o.wAxis.set(0.0f, 0.0f, 1.0f);
  return id;
}

int RayWorld::addTubeZ(float px, float py, float pz, float axisLength, float radius,
                       float length, uint8_t inside, int textureName, float textureScale,
                       uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  return addTubeZ(Vector3(px, py, pz), axisLength, radius, length, inside, textureName,
                  textureScale, castsShadow, receivesShadow, reflective);
}

int RayWorld::addTubeZ(const Vector3& position, float axisLength, float radius, float length,
                       uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
                       uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kTubeZ;
  o.axis.set(0.0f, 0.0f, axisLength);
  o.radius = radius;
  o.length = length;
  o.inside = inside;
  return id;
}

int RayWorld::addTubeY(float px, float py, float pz, float axisLength, float radius,
                       float length, uint8_t inside, int textureName, float textureScale,
                       uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective) {
  return addTubeY(Vector3(px, py, pz), axisLength, radius, length, inside, textureName,
                  textureScale, castsShadow, receivesShadow, reflective);
}

int RayWorld::addTubeY(const Vector3& position, float axisLength, float radius, float length,
                       uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
                       uint8_t receivesShadow, uint8_t reflective) {
  const int id =
      addObject(position, textureName, textureScale, castsShadow, receivesShadow, reflective);
  RayObject& o = objects[id];
  o.shape = RayShape::kTubeY;
  o.axis.set(0.0f, axisLength, 0.0f);
  o.radius = radius;
  o.length = length;
  o.inside = inside;
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
