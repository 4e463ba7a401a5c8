#include "math/mat4.h"

#include <cmath>
#include <cstring>

// Each operation repeats GL's float arithmetic in GL's order (Mesa's matrix
// stack, SGI GLU): a reordered sum or a fused multiply-add would move the
// last bit, and the pictures are compared byte for byte.

namespace {

constexpr double kPi = 3.14159265358979323846;

// a * b summed over k in order, the bottom row too, as GL multiplies a loaded
// matrix. Where GL knows a matrix affine (a fresh stack, or one a draw has
// classified) it skips the zero bottom-row terms; that can only flip the sign
// of a zero entry, which moves no vertex.
Mat4 product(const Mat4& a, const Mat4& b) {
  Mat4 p;
  for (int i = 0; i < 4; ++i) {
    const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
    for (int j = 0; j < 4; ++j) {
      const float* bj = b.m + j * 4;
      p.m[j * 4 + i] = ai0 * bj[0] + ai1 * bj[1] + ai2 * bj[2] + ai3 * bj[3];
    }
  }
  return p;
}

void normalize(float v[3]) {
  const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (r == 0.0f) return;
  v[0] /= r;
  v[1] /= r;
  v[2] /= r;
}

void cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

Mat4 identityMatrix() {
  return Mat4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Mat4 translated(const Mat4& a, float x, float y, float z) {
  Mat4 r = a;
  for (int i = 0; i < 4; ++i)
    r.m[12 + i] = a.m[i] * x + a.m[4 + i] * y + a.m[8 + i] * z + a.m[12 + i];
  return r;
}

Mat4 rotated(const Mat4& a, float angleDegrees, float x, float y, float z) {
  if (angleDegrees == 0.0f) return a;
  // Radians rounded to float, then the float sine and cosine: a double sine
  // rounded afterwards differs in the last bit now and then.
  const float radians = static_cast<float>(angleDegrees * kPi / 180.0);
  const float s = std::sin(radians);
  const float c = std::cos(radians);
  Mat4 r = identityMatrix();
  float* m = r.m;
  // An axis along x, y or z gets exact entries whatever its length, not the
  // general formula's rounding.
  if (x == 0.0f && y == 0.0f && z != 0.0f) {
    m[0] = c;
    m[5] = c;
    m[4] = z < 0.0f ? s : -s;
    m[1] = z < 0.0f ? -s : s;
  } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
    m[0] = c;
    m[10] = c;
    m[8] = y < 0.0f ? -s : s;
    m[2] = y < 0.0f ? s : -s;
  } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
    m[5] = c;
    m[10] = c;
    m[9] = x < 0.0f ? s : -s;
    m[6] = x < 0.0f ? -s : s;
  } else {
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f) return a;
    x /= mag;
    y /= mag;
    z /= mag;
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s;
    const float oneC = 1.0f - c;
    m[0] = (oneC * xx) + c;
    m[4] = (oneC * xy) - zs;
    m[8] = (oneC * zx) + ys;
    m[1] = (oneC * xy) + zs;
    m[5] = (oneC * yy) + c;
    m[9] = (oneC * yz) - xs;
    m[2] = (oneC * zx) - ys;
    m[6] = (oneC * yz) + xs;
    m[10] = (oneC * zz) + c;
  }
  return product(a, r);
}

Mat4 scaled(const Mat4& a, float x, float y, float z) {
  Mat4 r = a;
  for (int i = 0; i < 4; ++i) {
    r.m[i] *= x;
    r.m[4 + i] *= y;
    r.m[8 + i] *= z;
  }
  return r;
}

Mat4 multiplied(const Mat4& a, const Mat4& b) {
  // GL leaves the matrix alone, zero signs included, for a bitwise identity.
  const Mat4 one = identityMatrix();
  return std::memcmp(b.m, one.m, sizeof one.m) == 0 ? a : product(a, b);
}

Mat4 ortho(const Mat4& a, double left, double right, double bottom, double top,
           double zNear, double zFar) {
  if (left == right || bottom == top || zNear == zFar) return a;
  // GL takes the box in float before any arithmetic.
  const float l = static_cast<float>(left), r = static_cast<float>(right);
  const float b = static_cast<float>(bottom), t = static_cast<float>(top);
  const float n = static_cast<float>(zNear), f = static_cast<float>(zFar);
  Mat4 o = identityMatrix();
  o.m[0] = 2.0f / (r - l);
  o.m[5] = 2.0f / (t - b);
  o.m[10] = -2.0f / (f - n);
  o.m[12] = -(r + l) / (r - l);
  o.m[13] = -(t + b) / (t - b);
  o.m[14] = -(f + n) / (f - n);
  return product(a, o);
}

Mat4 perspective(const Mat4& a, double fovyDegrees, double aspect, double zNear, double zFar) {
  // GLU works in double and hands GL the doubles, which GL rounds to float.
  const double radians = fovyDegrees / 2 * kPi / 180;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  if (deltaZ == 0 || sine == 0 || aspect == 0) return a;
  const double cotangent = std::cos(radians) / sine;
  Mat4 p = identityMatrix();
  p.m[0] = static_cast<float>(cotangent / aspect);
  p.m[5] = static_cast<float>(cotangent);
  p.m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
  p.m[11] = -1.0f;
  p.m[14] = static_cast<float>(-2 * zNear * zFar / deltaZ);
  p.m[15] = 0.0f;
  return multiplied(a, p);
}

Mat4 lookAt(const Mat4& a, double eyeX, double eyeY, double eyeZ, double centerX,
            double centerY, double centerZ, double upX, double upY, double upZ) {
  // GLU builds the basis in float from differences taken in double.
  float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                      static_cast<float>(centerZ - eyeZ)};
  float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
  float side[3];
  normalize(forward);
  cross(forward, up, side);
  normalize(side);
  cross(side, forward, up);
  Mat4 v = identityMatrix();
  v.m[0] = side[0];
  v.m[4] = side[1];
  v.m[8] = side[2];
  v.m[1] = up[0];
  v.m[5] = up[1];
  v.m[9] = up[2];
  v.m[2] = -forward[0];
  v.m[6] = -forward[1];
  v.m[10] = -forward[2];
  return translated(multiplied(a, v), static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                    static_cast<float>(-eyeZ));
}
