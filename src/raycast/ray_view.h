// The view plane of one grid frame: where the ray through each grid point
// goes (internal to the renderer).
#pragma once

#include "math/vector3.h"
#include "raycast/ray_grid_size.h"

struct RayView {
  Vector3 topLeft;     // TL = F + U/2 + R
  Vector3 topRight;    // TR = F + U/2 - R
  Vector3 bottomLeft;  // BL = F - U/2 + R
  Vector3 stepX;       // (TR - TL) / 512
  Vector3 stepY;       // (BL - TL) / 256
  float sampleX[kRayGridWidth + 1];   // X' of each grid column (wobble)
  float sampleY[kRayGridHeight + 1];  // Y' of each grid row (wobble)

  // The view ray through grid point (gx, gy), wobble included.
  Vector3 direction(int gx, int gy) const {
    const float sx = sampleX[gx];
    const float sy = sampleY[gy];
    return Vector3(topLeft.x + stepX.x * sx + stepY.x * sy,
                   topLeft.y + stepX.y * sx + stepY.y * sy,
                   topLeft.z + stepX.z * sx + stepY.z * sy);
  }
};
