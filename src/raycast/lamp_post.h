// LampPost: a street lamp made of ray-caster primitives: a y-tube
// post and a cone-shaped shade above it.
#pragma once

#include <cstdint>

#include "math/vector3.h"

struct RayWorld;

struct LampPost {
  int32_t postId = 0;          // id of the post, set by addLampPost (shade = postId + 1)
  Vector3 position;
  Vector3 direction;
  float postHeight = 3.0f;
  float postRadius = 0.5f;
  float shadeSize = 1.6f;
  float postTextureScale = 1.0f;

  LampPost(const Vector3& position, const Vector3& direction);
};

// Adds the post (texture 10) and the shade (texture 13) to `world`.
void addLampPost(LampPost& lamp, RayWorld& world);
