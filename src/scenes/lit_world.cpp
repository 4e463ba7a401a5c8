#include "scenes/lit_world.h"

void aimLitWorld(RayWorld& world, LightShafts& light, ViewCamera& drawn, const ViewCamera& placed,
                 const Vector3& lightPosition) {
  drawn = placed;
  world.camera = &drawn;
  world.light = &light;
  light.camera = &drawn;
  light.position = lightPosition;
}

ViewCamera drawnCamera(const ViewCamera& placed, int times) {
  ViewCamera c = placed;
  for (int i = 0; i < times; ++i) c.orthonormalize();
  return c;
}
