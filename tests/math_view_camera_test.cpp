#include <gtest/gtest.h>

#include <cmath>

#include "math/view_camera.h"

namespace {

void expectXyz(const Vector3& v, float x, float y, float z, float eps = 1e-5f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

TEST(ViewCameraLayout, FourVectorsInOrder) {
  static_assert(sizeof(ViewCamera) == 4 * sizeof(Vector3), "four vectors");
  ViewCamera cam;
  EXPECT_EQ(&cam.forward, &cam.position + 1);
  EXPECT_EQ(&cam.up, &cam.position + 2);
  EXPECT_EQ(&cam.right, &cam.position + 3);
}

TEST(ViewCamera, LookAtIsNotNormalised) {
  ViewCamera cam;
  cam.position.set(1, 2, 3);
  cam.lookAt(Vector3(4, 6, 3));
  expectXyz(cam.forward, 3, 4, 0);
}

TEST(ViewCamera, OrthonormalizeLookingAlongZ) {
  ViewCamera cam;
  cam.forward.set(0, 0, 5);
  cam.up.set(7, 7, 7);
  cam.orthonormalize();
  expectXyz(cam.forward, 0, 0, 1);
  expectXyz(cam.up, 0, -1, 0);
  expectXyz(cam.right, -1, 0, 0);
}

TEST(ViewCamera, OrthonormalizeGivesOrthonormalFrame) {
  ViewCamera cam;
  cam.position.set(5, -3, 2);
  cam.lookAt(Vector3(-2, -9, 11));
  cam.orthonormalize();
  EXPECT_NEAR(cam.forward.lengthSquared(), 1.0f, 1e-5f);
  EXPECT_NEAR(cam.up.lengthSquared(), 1.0f, 1e-5f);
  EXPECT_NEAR(cam.right.lengthSquared(), 1.0f, 1e-5f);
  EXPECT_NEAR(cam.forward.dot(cam.up), 0.0f, 1e-5f);
  EXPECT_NEAR(cam.forward.dot(cam.right), 0.0f, 1e-5f);
  EXPECT_NEAR(cam.up.dot(cam.right), 0.0f, 1e-5f);
  // Up leans towards world up, which is -y.
  EXPECT_LT(cam.up.y, 0.0f);
  // right = up x forward.
  Vector3 r;
  r.setCross(cam.up, cam.forward);
  expectXyz(cam.right, r.x, r.y, r.z);
}

}  // namespace
