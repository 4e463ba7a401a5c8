// The current ray context of the grid ray-caster: what the
// primitive operations read and write. The grid keeps one in its working
// memory and copies it for each worker thread; tests may build their own.
#pragma once

#include "math/vector3.h"
#include "raycast/ray_world.h"

struct RayContext {
  // Frame constants (set by renderRayGrid, or by a test).
  RayWorld* world = nullptr;
  Vector3 cameraPosition;
  Vector3 lightPosition;
  float lightDistance = 0;    // |light position - camera position|
  // intersect calls made through this context (statistics; counted also on
  // a const context, which tracing hands to the primitives).
  mutable uint32_t intersects = 0;

  // The current ray.
  int kind = kRayFromCamera;  // kRayFromCamera / kRayFromLight / kRayFromBounce
  Vector3 origin;
  Vector3 dir;                // unit direction D
  float dirDot = 1;           // dot(D, D)
  RayObject* object = nullptr;
  RaySample* sample = nullptr;

  // The accepted hit of the current sample.
  Vector3 hitOffset;          // H = D * distance (hit - origin)
  Vector3 hitLocal;           // Q = H - offset of the block (hit - object position)
  Vector3 lightDir;           // unit vector from the light to the hit
  float lightHitDistance = 0; // distance light -> hit
  Vector3 normal;             // N (unit after shadeRay normalises it)
  Vector3 bounceDir;          // B = D - 2 dot(N, D) N
};

