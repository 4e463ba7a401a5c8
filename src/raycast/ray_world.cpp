#include "raycast/ray_world.h"

#include "effects/light_shafts.h"
#include "math/view_camera.h"
#include "raycast/ray_math.h"

using namespace raymath;

void RayObject::prepareBlock(int kind, const Vector3& origin) {
  RayOriginBlock& b = from[kind];
  b.offset = sub(position, origin);
  b.squaredDistance = dot(b.offset, b.offset);
  b.negAxisDot = -dot(b.offset, axis);
}

RayWorld::RayWorld(int count) {
  capacity = count + 1;
  // Value-initialised: every Vector3 (blocks included) and scalar is zero
  // apart from the ripple defaults of RayObject.
  objects = new RayObject[capacity]();
  idList = new int32_t[capacity]();
  lastAdded = &objects[0];
  idList[0] = 0;
}

RayWorld::~RayWorld() {
  delete[] objects;
  delete[] idList;
}

int RayWorld::addObject(const Vector3& position, const RaySurface& surface) {
  RayObject& o = objects[nextId];
  // 1. Position and surface, zero offsets, axes and radius.
  o.position.copyFrom(position);
  o.textureName = surface.textureName;
  o.textureScale = surface.textureScale;
  o.castsShadow = surface.castsShadow;
  o.receivesShadow = surface.receivesShadow;
  o.reflective = surface.reflective;
  o.textureOffsetA = 0.0f;
  o.textureOffsetB = 0.0f;
  o.uAxis.set(0.0f, 0.0f, 0.0f);
  o.vAxis.set(0.0f, 0.0f, 0.0f);
  o.radius = 0.0f;
  // 2. Register the id.
  const int id = nextId;
  idList[id] = id;
  idList[0] += 1;
  lastAdded = &o;
  nextId += 1;
  // 3. Current material.
  o.lightFlags = lightFlags;
  o.specularGain = specularGain;
  o.sheenGain = sheenGain;
  o.diffuseGain = diffuseGain;
  o.falloffRange = falloffRange;
  o.falloffGain = falloffGain;
  o.falloffBase = falloffBase;
  o.colour = colour;  // all four floats
  o.shadowFactor = shadowFactor;
  // 4. Ripple defaults.
  o.ripple = 0;
  o.rippleFrequency = 1.0f;
  o.rippleAmplitude = 0.1f;
  o.ripplePhase = 0.0f;
  return id;
}

void RayWorld::prepareFrame() {
  const Vector3 lightPosition = light->position;
  const Vector3 cameraPosition = camera->position;
  const int count = idList[0];
  for (int i = 1; i <= count; ++i) {
    RayObject& o = objects[idList[i]];
    o.prepareBlock(kRayFromLight, lightPosition);
    o.prepareBlock(kRayFromCamera, cameraPosition);
  }
}
