#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "gl_test_context.h"
#include "math/mat4.h"

namespace {

// One operation issued both to GL's current matrix and to a Mat4, with
// inputs that hit GL's special paths: axis-aligned rotations of either sign,
// zero angles, tiny and non-unit axes, degenerate boxes, identity products,
// doubles that float cannot hold, eyes looking straight down -z.
struct Both {
  std::mt19937 rng{20240611};
  Mat4 cpu = identityMatrix();

  float in(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  float sign() { return below(2) ? 1.0f : -1.0f; }

  void translate() {
    const float x = below(4) ? in(-100, 100) : 0.0f, y = in(-100, 100), z = in(-100, 100);
    glTranslatef(x, y, z);
    cpu = translated(cpu, x, y, z);
  }
  void rotate() {
    static const float kAngles[] = {0, 90, 180, -90, -37.5f, 270, 720};
    const float angle = below(3) ? in(-720, 720) : kAngles[below(7)];
    float axis[3] = {0, 0, 0};
    const int kind = below(5);
    if (kind < 3) axis[kind] = sign() * (below(2) ? 1.0f : in(0.01f, 5));
    if (kind == 3) {
      for (float& v : axis) v = in(-2, 2);
    } else if (kind == 4) {
      axis[0] = in(-1e-4f, 1e-4f);
      axis[1] = in(-1e-4f, 1e-4f);
    }
    glRotatef(angle, axis[0], axis[1], axis[2]);
    cpu = rotated(cpu, angle, axis[0], axis[1], axis[2]);
  }
  void scale() {
    static const float kFactors[] = {1, -1, 2, 0.5f, 0};
    float f[3];
    for (float& v : f) v = below(4) ? in(-3, 3) : kFactors[below(5)];
    glScalef(f[0], f[1], f[2]);
    cpu = scaled(cpu, f[0], f[1], f[2]);
  }
  void multiply() {
    Mat4 b = identityMatrix();
    if (below(3))
      for (float& v : b.m) v = below(4) ? in(-2, 2) : 0.0f;
    glMultMatrixf(b.m);
    cpu = multiplied(cpu, b);
  }
  void orthographic() {
    double v[6];
    for (double& d : v) d = in(-1000, 1000) / (below(2) ? 1.0 : 3.0);
    if (below(8) == 0) v[1] = v[0];
    if (below(8) == 0) v[5] = v[4];
    glOrtho(v[0], v[1], v[2], v[3], v[4], v[5]);
    cpu = ortho(cpu, v[0], v[1], v[2], v[3], v[4], v[5]);
  }
  void perspectiveView() {
    double fovy = in(1, 170), aspect = in(0.2f, 4), zNear = in(0.01f, 10),
           zFar = zNear + in(1, 5000);
    if (below(4) == 0) {
      fovy = 45;
      aspect = 800.0 / 600.0;
      zNear = 1;
      zFar = 1000;
    }
    if (below(10) == 0) zFar = zNear;
    gluPerspective(fovy, aspect, zNear, zFar);
    cpu = perspective(cpu, fovy, aspect, zNear, zFar);
  }
  void look() {
    double e[9];
    for (double& d : e) d = in(-50, 50) / (below(2) ? 1.0 : 3.0);
    const int up = below(4);
    if (up < 3) {
      e[6] = e[7] = e[8] = 0;
      e[6 + up] = sign();
    }
    if (below(4) == 0) {  // down -z, y up: an identity basis but for a zero's sign
      const double straight[9] = {e[0], e[1], e[2], e[0], e[1], e[2] - 10, 0, 1, 0};
      std::copy(straight, straight + 9, e);
    }
    gluLookAt(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
    cpu = lookAt(cpu, e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
  }

  void apply(char op) {
    switch (op) {
      case 'T': translate(); break;
      case 'R': rotate(); break;
      case 'S': scale(); break;
      case 'M': multiply(); break;
      case 'O': orthographic(); break;
      case 'P': perspectiveView(); break;
      case 'L': look(); break;
    }
  }

  // Runs ops from an identity on the given stack and fails at the first
  // operation whose result differs from GL's in any bit. Each case starts
  // from a loaded identity: a loaded matrix is one GL multiplies in full, as
  // Mat4 does (see mat4.cpp on the zero terms GL may skip otherwise).
  void expectSameAsGl(GLenum mode, const std::string& ops, int caseIndex) {
    glMatrixMode(mode);
    cpu = identityMatrix();
    glLoadMatrixf(cpu.m);
    for (size_t i = 0; i < ops.size(); ++i) {
      apply(ops[i]);
      float gl[16];
      glGetFloatv(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, gl);
      ASSERT_EQ(std::memcmp(gl, cpu.m, sizeof gl), 0)
          << "case " << caseIndex << ", " << ops.substr(0, i + 1) << " (the last differs)";
    }
  }
};

TEST(Mat4, EachOperationHoldsGlsExactFloats) {
  ASSERT_TRUE(useHeadlessGl(16, 16));
  Both both;
  const std::string ops = "TRSMOPL";
  for (int i = 0; i < 700; ++i) {
    const std::string op(1, ops[i % ops.size()]);
    both.expectSameAsGl(i % 2 ? GL_PROJECTION : GL_MODELVIEW, op, i);
    if (HasFatalFailure()) return;
  }
}

TEST(Mat4, ChainsHoldGlsExactFloats) {
  ASSERT_TRUE(useHeadlessGl(16, 16));
  Both both;
  const char* const chains[] = {"OTRS", "OTRSRT", "PLTR", "PLTRSR", "SLTR", "MSRTM", "SRSRSR"};
  for (int i = 0; i < 350; ++i) {
    both.expectSameAsGl(i % 2 ? GL_MODELVIEW : GL_PROJECTION, chains[i % 7], i);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
