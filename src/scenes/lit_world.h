// How a ray-cast scene begins its drawn frame: its world and light look
// through one drawn camera, and the light stands where the frame put it.
#pragma once

#include "effects/light_shafts.h"
#include "math/vector3.h"
#include "math/view_camera.h"
#include "raycast/ray_world.h"

// Sets `drawn` to the camera the state placed and points world and light at
// it; the light goes to `lightPosition`.
void aimLitWorld(RayWorld& world, LightShafts& light, ViewCamera& drawn, const ViewCamera& placed,
                 const Vector3& lightPosition);

// The placed camera as the drawn frame sees it, after the scene's own
// orthonormalisations (`times`) before the grid's one.
ViewCamera drawnCamera(const ViewCamera& placed, int times);
