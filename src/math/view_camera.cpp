#include "math/view_camera.h"

void ViewCamera::lookAt(const Vector3& target) {
  forward.copyFrom(target);
  forward.subtract(position);
}

void ViewCamera::orthonormalize() {
  forward.normalize();
  const Vector3 hint(0.0f, -1.0f, 0.0f);
  Vector3 along;
  along.setProjection(forward, hint);
  up.copyFrom(hint);
  up.subtract(along);
  up.normalize();
  right.setCross(up, forward);
  right.normalize();
}
