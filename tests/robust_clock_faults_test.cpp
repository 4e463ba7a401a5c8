// The frame function under a hostile clock, with every float handed to GL
// checked on the way: the linker routes the calls through the wrappers below
// (-Wl,--wrap, set for this test binary), which count non-finite values and
// then call the real function.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "gl_test_context.h"
#include "host/director.h"
#include "host/host.h"

namespace {

int nonFinite = 0;
std::string firstNonFinite;

void check(const char* call, std::initializer_list<double> values) {
  for (double v : values) {
    if (std::isfinite(v)) continue;
    if (nonFinite++ == 0) firstNonFinite = std::string(call) + " at demo time " +
                                           std::to_string(testDemo().state.director.demoTimeMs);
    return;
  }
}

// Client arrays are checked when they are drawn, from GL's own state.
void checkArray(GLenum array, GLenum sizeQuery, GLenum typeQuery, GLenum strideQuery,
                GLenum pointerQuery, int fixedSize, GLint first, GLsizei count) {
  if (!glIsEnabled(array)) return;
  GLint size = fixedSize, type = 0, stride = 0;
  if (sizeQuery) glGetIntegerv(sizeQuery, &size);
  glGetIntegerv(typeQuery, &type);
  glGetIntegerv(strideQuery, &stride);
  void* pointer = nullptr;
  glGetPointerv(pointerQuery, &pointer);
  if (type != GL_FLOAT || !pointer) return;
  const size_t step = stride ? size_t(stride) : size * sizeof(float);
  for (GLsizei i = 0; i < count; ++i) {
    const float* v = reinterpret_cast<const float*>(static_cast<const char*>(pointer) +
                                                    (first + i) * step);
    for (int k = 0; k < size; ++k) check("a vertex array", {v[k]});
  }
}

}  // namespace

extern "C" {
void __real_glVertex3f(GLfloat, GLfloat, GLfloat);
void __real_glVertex2f(GLfloat, GLfloat);
void __real_glTexCoord2f(GLfloat, GLfloat);
void __real_glColor4f(GLfloat, GLfloat, GLfloat, GLfloat);
void __real_glColor3f(GLfloat, GLfloat, GLfloat);
void __real_glNormal3f(GLfloat, GLfloat, GLfloat);
void __real_glTranslatef(GLfloat, GLfloat, GLfloat);
void __real_glRotatef(GLfloat, GLfloat, GLfloat, GLfloat);
void __real_glScalef(GLfloat, GLfloat, GLfloat);
void __real_glLightfv(GLenum, GLenum, const GLfloat*);
void __real_glClearColor(GLfloat, GLfloat, GLfloat, GLfloat);
void __real_gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble);
void __real_gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                      GLdouble, GLdouble);
void __real_glDrawArrays(GLenum, GLint, GLsizei);

void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  check("glVertex3f", {x, y, z});
  __real_glVertex3f(x, y, z);
}
void __wrap_glVertex2f(GLfloat x, GLfloat y) {
  check("glVertex2f", {x, y});
  __real_glVertex2f(x, y);
}
void __wrap_glTexCoord2f(GLfloat s, GLfloat t) {
  check("glTexCoord2f", {s, t});
  __real_glTexCoord2f(s, t);
}
void __wrap_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  check("glColor4f", {r, g, b, a});
  __real_glColor4f(r, g, b, a);
}
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  check("glColor3f", {r, g, b});
  __real_glColor3f(r, g, b);
}
void __wrap_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  check("glNormal3f", {x, y, z});
  __real_glNormal3f(x, y, z);
}
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  check("glTranslatef", {x, y, z});
  __real_glTranslatef(x, y, z);
}
void __wrap_glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
  check("glRotatef", {a, x, y, z});
  __real_glRotatef(a, x, y, z);
}
void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
  check("glScalef", {x, y, z});
  __real_glScalef(x, y, z);
}
void __wrap_glLightfv(GLenum light, GLenum name, const GLfloat* v) {
  check("glLightfv", {v[0], v[1], v[2]});
  __real_glLightfv(light, name, v);
}
void __wrap_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  check("glClearColor", {r, g, b, a});
  __real_glClearColor(r, g, b, a);
}
void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  check("gluPerspective", {fovy, aspect, zNear, zFar});
  __real_gluPerspective(fovy, aspect, zNear, zFar);
}
void __wrap_gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy,
                      GLdouble cz, GLdouble ux, GLdouble uy, GLdouble uz) {
  check("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
  __real_gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
void __wrap_glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  checkArray(GL_VERTEX_ARRAY, GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_TYPE,
             GL_VERTEX_ARRAY_STRIDE, GL_VERTEX_ARRAY_POINTER, 0, first, count);
  checkArray(GL_COLOR_ARRAY, GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE, GL_COLOR_ARRAY_STRIDE,
             GL_COLOR_ARRAY_POINTER, 0, first, count);
  checkArray(GL_TEXTURE_COORD_ARRAY, GL_TEXTURE_COORD_ARRAY_SIZE, GL_TEXTURE_COORD_ARRAY_TYPE,
             GL_TEXTURE_COORD_ARRAY_STRIDE, GL_TEXTURE_COORD_ARRAY_POINTER, 0, first, count);
  checkArray(GL_NORMAL_ARRAY, 0, GL_NORMAL_ARRAY_TYPE, GL_NORMAL_ARRAY_STRIDE,
             GL_NORMAL_ARRAY_POINTER, 3, first, count);
  __real_glDrawArrays(mode, first, count);
}
}

namespace {

struct ClockFaults : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(startDemoOnce(800, 600));
    testDemo().ended = false;
    nonFinite = 0;
    firstNonFinite.clear();
  }
  void TearDown() override { testDemo().ended = false; }
};

}  // namespace

TEST(GlGuard, CountsNonFiniteValues) {
  ASSERT_TRUE(useHeadlessGl(512, 384));
  nonFinite = 0;
  glBegin(GL_QUADS);
  glVertex3f(0, 0, 0);
  glVertex3f(NAN, 0, 0);
  glEnd();
  EXPECT_EQ(nonFinite, 1);
  nonFinite = 0;
}

TEST_F(ClockFaults, HostileTimeValuesRenderEveryFrameAndEndAt330000) {
  const int hostile[] = {
      0,      16,     10,     10,     10,     329999, 0,      17499,  17500,  17499,
      26500,  26499,  30799,  30800,  36499,  36500,  62999,  63000,  111199, 111200,
      119999, 120000, 127499, 127500, 159499, 159500, 191999, 192000, 207999, 208000,
      255999, 256000, 303999, 304000, 323999, 324000, 100,    300100, 5,      299000,
      288000, 292000, 240000, 212600, 96000,  35600,  329999, 330000,
  };
  for (int now : hostile) {
    ASSERT_FALSE(testDemo().ended) << "quit before " << now;
    renderFrame(testDemo(), now);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "at " << now;
  }
  EXPECT_TRUE(testDemo().ended);
  EXPECT_EQ(nonFinite, 0) << "first: " << firstNonFinite;
}

TEST_F(ClockFaults, WholeTimelineAtTwoFramesASecondStaysFinite) {
  for (int now = 0; now < 330000; now += 500) renderFrame(testDemo(), now);
  EXPECT_FALSE(testDemo().ended);
  renderFrame(testDemo(), 330000);
  EXPECT_TRUE(testDemo().ended);
  EXPECT_EQ(nonFinite, 0) << "first: " << firstNonFinite;
}
