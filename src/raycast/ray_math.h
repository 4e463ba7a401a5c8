// Small inline vector helpers for the ray-caster's inner loops (internal).
#pragma once

#include <cmath>

#include "math/vector3.h"

namespace raymath {

inline float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 add(const Vector3& a, const Vector3& b) {
  return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector3 sub(const Vector3& a, const Vector3& b) {
  return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vector3 scale(const Vector3& a, float s) { return Vector3(a.x * s, a.y * s, a.z * s); }
inline float length(const Vector3& a) { return std::sqrt(dot(a, a)); }
inline void normalize(Vector3& a) {
  const float len = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  a.x /= len;
  a.y /= len;
  a.z /= len;
}

}  // namespace raymath
