#include "raycast/lamp_post.h"

#include "raycast/ray_world.h"

LampPost::LampPost(const Vector3& position_, const Vector3& direction_, float, float, float,
                   float) {
  position.copyFrom(position_);
  direction.copyFrom(direction_);
}

LampPost::LampPost(float px, float py, float pz, float dx, float dy, float dz, float, float,
                   float, float) {
  position.set(px, py, pz);
  direction.set(dx, dy, dz);
}

void addLampPost(LampPost& lamp, RayWorld& world) {
  // The post.
  lamp.postId = world.addTubeY(lamp.position, lamp.direction.y, lamp.postRadius,
                               lamp.postHeight, 0, 10, lamp.postTextureScale, 1, 1, 0);
  // The shade: a cone opening downwards from the apex.
  const float reach = lamp.shadeSize + lamp.postHeight;
  const Vector3 apex(lamp.position.x + lamp.direction.x * reach,
                     lamp.position.y + lamp.direction.y * reach,
                     lamp.position.z + lamp.direction.z * reach);
  world.addTubeY(apex, -1.2f, 0.0f, lamp.shadeSize * 2.5f, 0, 13, 0.08f, 1, 1, 0);
}
