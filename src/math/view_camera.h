// ViewCamera: the camera record scenes aim and the renderers read.
#pragma once

#include "math/vector3.h"

struct ViewCamera {
  Vector3 position;
  Vector3 forward;  // viewing direction, not necessarily unit length
  Vector3 up;
  Vector3 right;

  // forward = target - position (not normalised).
  void lookAt(const Vector3& target);

  // Normalises forward; up = normalised((0, -1, 0) minus its projection on
  // forward) (world up is -y); right = normalised(up x forward).
  void orthonormalize();
};
