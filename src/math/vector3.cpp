#include "math/vector3.h"

#include <cmath>

void Vector3::normalize() {
  const float len = std::sqrt(x * x + y * y + z * z);
  x /= len;
  y /= len;
  z /= len;
}

void Vector3::divideBy(float s) {
  x /= s;
  y /= s;
  z /= s;
}

void Vector3::setCross(const Vector3& a, const Vector3& b) {
  // Read everything first: a or b may be this vector.
  const float cx = a.y * b.z - a.z * b.y;
  const float cy = a.z * b.x - a.x * b.z;
  const float cz = a.x * b.y - a.y * b.x;
  x = cx;
  y = cy;
  z = cz;
}

void Vector3::setLerp(const Vector3& a, const Vector3& b, float t) {
  const float s = 1.0f - t;
  const float lx = s * a.x + t * b.x;
  const float ly = s * a.y + t * b.y;
  const float lz = s * a.z + t * b.z;
  x = lx;
  y = ly;
  z = lz;
}

void Vector3::setProjection(const Vector3& n, const Vector3& v) {
  const float k = dot(n, v) / n.lengthSquared();
  const float px = n.x * k;
  const float py = n.y * k;
  const float pz = n.z * k;
  x = px;
  y = py;
  z = pz;
}

void Vector3::setProjectionOnUnit(const Vector3& n, const Vector3& v) {
  const float k = dot(n, v);
  const float px = n.x * k;
  const float py = n.y * k;
  const float pz = n.z * k;
  x = px;
  y = py;
  z = pz;
}

void Vector3::rotateX(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float ny = y * c + z * s;
  const float nz = z * c - y * s;
  y = ny;
  z = nz;
}

void Vector3::rotateY(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float nx = x * c - z * s;
  const float nz = x * s + z * c;
  x = nx;
  z = nz;
}

void Vector3::rotateZ(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float nx = y * s + x * c;
  const float ny = y * c - x * s;
  x = nx;
  y = ny;
}

float Vector3::length() {
  w = std::sqrt(x * x + y * y + z * z);
  return w;
}

Vector3 operator/(const Vector3& v, float s) {
  return Vector3(v.x / s, v.y / s, v.z / s, 0.0f);
}

void rotateEuler(const Vector3& p, float ax, float ay, float az, Vector3& out) {
  const float x = p.x;
  const float y = p.y;
  const float z = p.z;

  const float cz = std::cos(az);
  const float sz = std::sin(az);
  const float x1 = x * cz - y * sz;
  const float y1 = x * sz + y * cz;

  const float cx = std::cos(ax);
  const float sx = std::sin(ax);
  const float y2 = y1 * cx - z * sx;
  const float z2 = y1 * sx + z * cx;

  const float cy = std::cos(ay);
  const float sy = std::sin(ay);
  const float x3 = x1 * cy - z2 * sy;
  const float z3 = x1 * sy + z2 * cy;

  out.x = x3;
  out.y = y2;
  out.z = z3;
}

void rotateEuler(const Vector3& p, const Vector3& angles, Vector3& out) {
  rotateEuler(p, angles.x, angles.y, angles.z, out);
}
