// Walker: a two-legged figure made of ray-caster primitives. A fixed gait
// cycle places feet and hips, two-joint IK rooted at each foot bends the
// legs, and the figure advances by exactly what its stance foot pushes, so
// planted feet stay still in world space.
#pragma once

#include "math/vector3.h"

struct RayWorld;
struct RayObject;

// Ids of a walker's eight parts in its world.
struct WalkerParts {
  int thighA = 0, shinA = 0, kneeA = 0;
  int thighB = 0, shinB = 0, kneeB = 0;
  int neck = 0, body = 0;
};

// The figure's measures and gait: a plain value, placed into a world by
// placeWalker.
struct Walker {
  float thighA = 0;
  float shinA = 0;
  float thighB = 0;
  float shinB = 0;
  float reachA = 0;      // (thighA + shinA) * 0.9999
  float reachB = 0;
  float stepLength = 0;  // half the distance covered per gait cycle
  float liftRadius = 0;  // radius of the arc a lifted foot starts on
  float hipWidth = 0;    // distance between the legs across the walking direction
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

  Walker() = default;
  Walker(float thighA, float shinA, float thighB, float shinB, float stepLength,
         float liftRadius, float hipWidth);

  // Adds the eight parts (thigh A, shin A, thigh B, shin B, neck, body,
  // knee A, knee B) to world and keeps the body height.
  WalkerParts addWalkerParts(RayWorld& world, int legTexture, int kneeTexture, float bodyRadius,
                             float bodyHeight, float legRadiusA, float kneeRadiusA,
                             float legRadiusB, float kneeRadiusB);
  // Joint positions for the gait fraction 0 <= f < 1.
  void poseWalker(float f);
  // Advances the gait by deltaMs * speed / 1000 cycles and the figure by
  // what its stance hip moved.
  void updateWalker(float deltaMs, float speed);
};

// Places the parts where the walker's gait, heading and position put them.
void placeWalker(const Walker& walker, const WalkerParts& parts, RayWorld& world);
// Where placeWalker puts the body part.
Vector3 walkerBodyPosition(const Walker& walker);
