#include "raycast/lamp_post.h"

#include "raycast/ray_world.h"

LampPost::LampPost(const Vector3& position_, const Vector3& direction_) {
  position.copyFrom(position_);
  direction.copyFrom(direction_);
}

void addLampPost(LampPost& lamp, RayWorld& world) {
  // The post.
  lamp.postId = world.addTubeY({.position = lamp.position,
                                .axisLength = lamp.direction.y,
                                .radius = lamp.postRadius,
                                .length = lamp.postHeight},
                               {.textureName = 10,
                                .textureScale = lamp.postTextureScale,
                                .castsShadow = true,
                                .receivesShadow = true});
  // The shade: a cone opening downwards from the apex.
  const float reach = lamp.shadeSize + lamp.postHeight;
  const Vector3 apex(lamp.position.x + lamp.direction.x * reach,
                     lamp.position.y + lamp.direction.y * reach,
                     lamp.position.z + lamp.direction.z * reach);
  world.addTubeY(
      {.position = apex, .axisLength = -1.2f, .radius = 0.0f, .length = lamp.shadeSize * 2.5f},
      {.textureName = 13, .textureScale = 0.08f, .castsShadow = true, .receivesShadow = true});
}
