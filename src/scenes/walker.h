// Walker: a two-legged figure made of ray-caster primitives. A fixed gait
// cycle places feet and hips, two-joint IK rooted at each foot bends the
// legs, and the figure advances by exactly what its stance foot pushes, so
// planted feet stay still in world space.
#pragma once

#include "math/vector3.h"

struct RayWorld;
struct RayObject;

struct Walker {
  float thighA;
  float shinA;
  float thighB;
  float shinB;
  float reachA;      // (thighA + shinA) * 0.9999
  float reachB;
  float stepLength;  // half the distance covered per gait cycle
  float liftRadius;  // radius of the arc a lifted foot starts on
  float hipWidth;    // distance between the legs across the walking direction
  Vector3 offset;    // gait placement; z is a sideways shift outside the heading turn
  Vector3 footA;
  Vector3 footB;
  Vector3 hipB;
  Vector3 hipA;
  float heading = 0;  // direction of travel about y, radians
  float phase = 0;    // gait clock in cycles
  float bodyHeight = 0;
  Vector3 position;
  float strideX = 0;
  float strideDelta = 0;
  float lastStrideX = 0;

  // Parts in the world, set by addWalkerParts.
  RayObject* thighAPart = nullptr;
  RayObject* shinAPart = nullptr;
  RayObject* kneeAPart = nullptr;
  RayObject* thighBPart = nullptr;
  RayObject* shinBPart = nullptr;
  RayObject* kneeBPart = nullptr;
  RayObject* neckPart = nullptr;
  RayObject* bodyPart = nullptr;

  // The sixth value is accepted for call compatibility and not used.
  Walker(float thighA, float shinA, float thighB, float shinB, float stepLength, float unused,
         float liftRadius, float hipWidth);

  // Adds the eight parts (thigh A, shin A, thigh B, shin B, neck, body,
  // knee A, knee B) to world. The world's object table must outlive the walker.
  void addWalkerParts(RayWorld& world, int legTexture, int kneeTexture, float bodyRadius,
                      float bodyHeight, float legRadiusA, float kneeRadiusA, float legRadiusB,
                      float kneeRadiusB);
  // Joint positions for the gait fraction 0 <= f < 1.
  void poseWalker(float f);
  // Advances the gait by deltaMs * speed / 1000 cycles and places the parts.
  void updateWalker(float deltaMs, float speed);
};
