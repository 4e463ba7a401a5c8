// Vector3: the small value type everything computes with (positions,
// directions, normals, Euler angle triples and, through w, RGBA colours).
//
// Layout is exactly four floats x, y, z, w so arrays of Vector3 are plain
// contiguous records. w is a spare slot: length() caches the length there,
// the value-returning operators (+ - * /) produce w = 0, set4 uses it for
// alpha, and every other operation leaves it untouched.
//
// Rotation conventions: rotateX/Y/Z turn the vector by MINUS the angle in a
// right-handed frame (rotateZ(+a) takes (1,0,0) to (cos a, -sin a, 0)).
// rotateEuler turns by +az about z, then +ax about x, then -ay about y.
// Angles are radians.
#pragma once

// Pi as used throughout the demo (not the full-precision value), and the
// radians-to-degrees factor used for fixed-function GL calls.
constexpr float kMathPi = 3.14159f;
constexpr double kMathDegreesPerRadian = 57.29582790879778;

struct Vector3 {
  float x;
  float y;
  float z;
  float w;

  constexpr Vector3() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
  constexpr Vector3(float x_, float y_, float z_, float w_ = 0.0f)
      : x(x_), y(y_), z(z_), w(w_) {}

  // --- In-place operations (x, y, z only unless stated) ---
  // The small ones are defined here: splines and the ray grid call them
  // millions of times.
  void set(float nx, float ny, float nz) { x = nx, y = ny, z = nz; }  // w unchanged
  void set4(float nx, float ny, float nz, float nw) {  // all four (colours)
    x = nx, y = ny, z = nz, w = nw;
  }
  void copyFrom(const Vector3& v) { x = v.x, y = v.y, z = v.z; }  // w unchanged
  void copy4From(const Vector3& v) { *this = v; }                 // all four
  void normalize();                                    // no zero guard
  void scaleBy(float s) { x *= s, y *= s, z *= s; }
  void divideBy(float s);
  void add(const Vector3& v) { x += v.x, y += v.y, z += v.z; }
  void subtract(const Vector3& v) { x -= v.x, y -= v.y, z -= v.z; }
  void setCross(const Vector3& a, const Vector3& b);   // this = a x b
  void setLerp(const Vector3& a, const Vector3& b, float t);  // (1-t)a + tb
  // this = (dot(n, v) / |n|^2) * n
  void setProjection(const Vector3& n, const Vector3& v);
  // this = dot(n, v) * n, n assumed unit length
  void setProjectionOnUnit(const Vector3& n, const Vector3& v);
  // y' = y cos a + z sin a; z' = z cos a - y sin a
  void rotateX(float angle);
  // x' = x cos a - z sin a; z' = x sin a + z cos a
  void rotateY(float angle);
  // x' = y sin a + x cos a; y' = y cos a - x sin a
  void rotateZ(float angle);

  // --- Queries ---
  float length();                 // sqrt(x²+y²+z²), also stored in w
  float lengthSquared() const { return x * x + y * y + z * z; }
  float dot(const Vector3& v) const { return x * v.x + y * v.y + z * v.z; }
  static float dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
  }
};

static_assert(sizeof(Vector3) == 16, "Vector3 must be exactly four floats");

// Value-returning arithmetic: new vector with w = 0; operands unchanged.
inline Vector3 operator+(const Vector3& v, const Vector3& u) {
  return Vector3(v.x + u.x, v.y + u.y, v.z + u.z, 0.0f);
}
inline Vector3 operator-(const Vector3& v, const Vector3& u) {
  return Vector3(v.x - u.x, v.y - u.y, v.z - u.z, 0.0f);
}
inline Vector3 operator*(const Vector3& v, float s) {
  return Vector3(v.x * s, v.y * s, v.z * s, 0.0f);
}
Vector3 operator/(const Vector3& v, float s);

// Rotates p by the angle triple (ax, ay, az) = (angles.x, angles.y, angles.z)
// and writes x, y, z of out (out.w untouched). p and out may be the same.
//   1. about z by +az: x1 = x cos az - y sin az; y1 = x sin az + y cos az
//   2. about x by +ax: y2 = y1 cos ax - z sin ax; z2 = y1 sin ax + z cos ax
//   3. about y by -ay: x3 = x1 cos ay - z2 sin ay; z3 = x1 sin ay + z2 cos ay
//   out = (x3, y2, z3)
void rotateEuler(const Vector3& p, const Vector3& angles, Vector3& out);
void rotateEuler(const Vector3& p, float ax, float ay, float az, Vector3& out);
