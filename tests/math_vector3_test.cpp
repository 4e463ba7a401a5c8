#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <type_traits>

#include "math/vector3.h"

namespace {

constexpr float kEps = 1e-5f;
constexpr float kHalfPi = kMathPi / 2.0f;

void expectXyz(const Vector3& v, float x, float y, float z, float eps = kEps) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

TEST(Vector3Layout, IsFourPlainFloatsDefaultZero) {
  static_assert(sizeof(Vector3) == 4 * sizeof(float), "four floats");
  static_assert(std::is_trivially_copyable<Vector3>::value, "copied by value");
  static_assert(offsetof(Vector3, x) == 0 && offsetof(Vector3, y) == 4 &&
                    offsetof(Vector3, z) == 8 && offsetof(Vector3, w) == 12,
                "x, y, z, w in order");
  Vector3 arr[3];
  for (const Vector3& v : arr) {
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.w, 0.0f);
  }
  // Contiguous records: a float pointer walks straight through the array.
  const float* f = &arr[0].x;
  EXPECT_EQ(f + 4, &arr[1].x);
  EXPECT_EQ(f + 8, &arr[2].x);
}

TEST(Vector3Set, SetAndCopyKeepW) {
  Vector3 v(1, 2, 3, 9);
  v.set(4, 5, 6);
  expectXyz(v, 4, 5, 6);
  EXPECT_EQ(v.w, 9.0f);

  Vector3 src(7, 8, 9, 42);
  v.copyFrom(src);
  expectXyz(v, 7, 8, 9);
  EXPECT_EQ(v.w, 9.0f);

  v.copy4From(src);
  EXPECT_EQ(v.w, 42.0f);

  v.set4(0.1f, 0.2f, 0.3f, 0.5f);
  expectXyz(v, 0.1f, 0.2f, 0.3f);
  EXPECT_EQ(v.w, 0.5f);
}

TEST(Vector3Length, LengthCachesInW) {
  Vector3 v(3, 4, 0, 7);
  EXPECT_FLOAT_EQ(v.lengthSquared(), 25.0f);
  EXPECT_EQ(v.w, 7.0f);  // lengthSquared does not touch w
  EXPECT_FLOAT_EQ(v.length(), 5.0f);
  EXPECT_FLOAT_EQ(v.w, 5.0f);
}

TEST(Vector3InPlace, NormalizeScaleDivideAddSubtractLeaveW) {
  Vector3 v(0, 3, 4, 11);
  v.normalize();
  expectXyz(v, 0, 0.6f, 0.8f);
  EXPECT_EQ(v.w, 11.0f);

  v.set(1, 2, 3);
  v.scaleBy(2);
  expectXyz(v, 2, 4, 6);
  v.divideBy(4);
  expectXyz(v, 0.5f, 1, 1.5f);
  v.add(Vector3(1, 1, 1, 100));
  expectXyz(v, 1.5f, 2, 2.5f);
  v.subtract(Vector3(0.5f, 2, 3, 100));
  expectXyz(v, 1, 0, -0.5f);
  EXPECT_EQ(v.w, 11.0f);
}

TEST(Vector3InPlace, CrossLerpProjection) {
  Vector3 c;
  c.setCross(Vector3(1, 0, 0), Vector3(0, 1, 0));
  expectXyz(c, 0, 0, 1);
  c.setCross(Vector3(0, -1, 0), Vector3(0, 0, 1));
  expectXyz(c, -1, 0, 0);
  c.setCross(Vector3(1, 2, 3), Vector3(4, 5, 6));
  expectXyz(c, 2 * 6 - 3 * 5, 3 * 4 - 1 * 6, 1 * 5 - 2 * 4);

  // The result may alias an operand.
  Vector3 a(1, 0, 0);
  a.setCross(a, Vector3(0, 1, 0));
  expectXyz(a, 0, 0, 1);

  Vector3 l;
  l.setLerp(Vector3(0, 10, -2), Vector3(10, 20, 2), 0.25f);
  expectXyz(l, 2.5f, 12.5f, -1);

  Vector3 p(0, 0, 0, 3);
  p.setProjection(Vector3(2, 0, 0), Vector3(1, 1, 0));
  expectXyz(p, 1, 0, 0);
  EXPECT_EQ(p.w, 3.0f);

  p.setProjectionOnUnit(Vector3(0, 1, 0), Vector3(5, -2, 7));
  expectXyz(p, 0, -2, 0);
  // For a non-unit n the "on unit" form does not divide by |n|^2.
  p.setProjectionOnUnit(Vector3(2, 0, 0), Vector3(1, 1, 0));
  expectXyz(p, 4, 0, 0);
}

TEST(Vector3Dot, BothForms) {
  Vector3 a(1, 2, 3, 50);
  Vector3 b(-4, 5, 0.5f, 60);
  EXPECT_FLOAT_EQ(a.dot(b), -4 + 10 + 1.5f);
  EXPECT_FLOAT_EQ(Vector3::dot(a, b), -4 + 10 + 1.5f);
}

TEST(Vector3Operators, ResultWIsZeroAndOperandsUnchanged) {
  const Vector3 a(3, 4, 0, 5);
  const Vector3 b(1, 1, 1, 8);
  Vector3 s = a + b;
  expectXyz(s, 4, 5, 1);
  EXPECT_EQ(s.w, 0.0f);
  Vector3 d = a - b;
  expectXyz(d, 2, 3, -1);
  EXPECT_EQ(d.w, 0.0f);
  Vector3 m = a * 2.0f;
  expectXyz(m, 6, 8, 0);
  EXPECT_EQ(m.w, 0.0f);
  Vector3 q = a / 2.0f;
  expectXyz(q, 1.5f, 2, 0);
  EXPECT_EQ(q.w, 0.0f);
  expectXyz(a, 3, 4, 0);
  EXPECT_EQ(a.w, 5.0f);
  expectXyz(b, 1, 1, 1);
  EXPECT_EQ(b.w, 8.0f);
}

// The single-axis rotations turn by minus the angle.
TEST(Vector3Rotate, SingleAxisTurnByMinusAngle) {
  Vector3 v(1, 0, 0, 6);
  v.rotateZ(kHalfPi);
  expectXyz(v, 0, -1, 0);
  EXPECT_EQ(v.w, 6.0f);

  v.set(0, 1, 0);
  v.rotateX(kHalfPi);
  expectXyz(v, 0, 0, -1);

  v.set(1, 0, 0);
  v.rotateY(kHalfPi);
  expectXyz(v, 0, 0, 1);

  // General angle, full formulas.
  const float a = 0.3f;
  const float c = std::cos(a), s = std::sin(a);
  v.set(1, 2, 3);
  v.rotateX(a);
  expectXyz(v, 1, 2 * c + 3 * s, 3 * c - 2 * s);
  v.set(1, 2, 3);
  v.rotateY(a);
  expectXyz(v, 1 * c - 3 * s, 2, 1 * s + 3 * c);
  v.set(1, 2, 3);
  v.rotateZ(a);
  expectXyz(v, 2 * s + 1 * c, 2 * c - 1 * s, 3);
}

TEST(Vector3RotateEuler, SingleAxisSigns) {
  Vector3 out(9, 9, 9, 4);
  rotateEuler(Vector3(1, 0, 0), Vector3(0, 0, kHalfPi), out);
  expectXyz(out, 0, 1, 0);
  EXPECT_EQ(out.w, 4.0f);  // w untouched
  rotateEuler(Vector3(0, 1, 0), Vector3(kHalfPi, 0, 0), out);
  expectXyz(out, 0, 0, 1);
  rotateEuler(Vector3(1, 0, 0), Vector3(0, kHalfPi, 0), out);
  expectXyz(out, 0, 0, 1);
}

TEST(Vector3RotateEuler, OrderIsZThenXThenY) {
  // z: (1,0,0) -> (0,1,0); x: -> (0,0,1); y: -> (-1,0,0).
  // Any other order gives a different answer.
  Vector3 out;
  rotateEuler(Vector3(1, 0, 0), Vector3(kHalfPi, kHalfPi, kHalfPi), out);
  expectXyz(out, -1, 0, 0);

  // Against a step-by-step evaluation at general angles.
  const float ax = 0.4f, ay = -1.1f, az = 2.3f;
  const float x = 1.5f, y = -0.5f, z = 2.0f;
  const float x1 = x * std::cos(az) - y * std::sin(az);
  const float y1 = x * std::sin(az) + y * std::cos(az);
  const float y2 = y1 * std::cos(ax) - z * std::sin(ax);
  const float z2 = y1 * std::sin(ax) + z * std::cos(ax);
  const float x3 = x1 * std::cos(ay) - z2 * std::sin(ay);
  const float z3 = x1 * std::sin(ay) + z2 * std::cos(ay);
  rotateEuler(Vector3(x, y, z), Vector3(ax, ay, az), out);
  expectXyz(out, x3, y2, z3);

  // The separate-angle form agrees, and p may alias out.
  Vector3 p(x, y, z, 7);
  rotateEuler(p, ax, ay, az, p);
  expectXyz(p, x3, y2, z3);
  EXPECT_EQ(p.w, 7.0f);
}

}  // namespace
