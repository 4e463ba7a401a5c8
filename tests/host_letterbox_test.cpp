#include <vector>

#include "gl_test_context.h"
#include "host/host.h"
#include "host/offline_host.h"

namespace {

struct Rgb {
  int r, g, b;
};

void quad(float x0, float y0, float x1, float y1, float r, float g, float b) {
  glColor4f(r, g, b, 1);
  glBegin(GL_QUADS);
  glVertex3f(x0, y0, -0.5f);
  glVertex3f(x1, y0, -0.5f);
  glVertex3f(x1, y1, -0.5f);
  glVertex3f(x0, y1, -0.5f);
  glEnd();
}

// The scene region in scene coordinates: blue outside the shown band, and
// four coloured quadrants inside it (red top left, yellow top right, green
// bottom left, cyan bottom right).
void drawMarkedSceneRegion() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glLoadIdentity();
  quad(-256, -192, 256, 192, 0, 0, 1);
  quad(-256, 0, 0, 128, 1, 0, 0);
  quad(0, 0, 256, 128, 1, 1, 0);
  quad(-256, -128, 0, 0, 0, 1, 0);
  quad(0, -128, 256, 0, 0, 1, 1);
  glEnable(GL_TEXTURE_2D);
}

Rgb at(const std::vector<unsigned char>& rgb, int w, int x, int y) {
  const unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
  return {p[0], p[1], p[2]};
}

::testing::AssertionResult near(Rgb got, Rgb want) {
  if (std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 &&
      std::abs(got.b - want.b) <= 2)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.r << "," << got.g << "," << got.b << ") want (" << want.r << ","
         << want.g << "," << want.b << ")";
}

}  // namespace

TEST(Letterbox, BandFillsTheWidthAndTheMiddleTwoThirdsAtEverySize) {
  ASSERT_TRUE(startDemoOnce(1024, 768));

  const int sizes[][2] = {{800, 600}, {640, 480}, {1024, 768}, {1000, 300}, {300, 240}};
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    setSceneViewport(w, h);
    EXPECT_EQ(screenWidth, w);
    EXPECT_EQ(screenHeight, h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawMarkedSceneRegion();
    glClearColor(0.2f, 0.4f, 0.6f, 1);  // the bands take the current clear colour
    presentBand();
    std::vector<unsigned char> rgb;
    readOutputPixels(w, h, rgb);

    const Rgb band = {51, 102, 153};
    const int top = h / 6, bottom = h - h / 6;  // picture rows, top-down
    for (int x : {0, w / 2, w - 1}) {
      EXPECT_TRUE(near(at(rgb, w, x, 0), band));
      EXPECT_TRUE(near(at(rgb, w, x, top - 2), band));
      EXPECT_TRUE(near(at(rgb, w, x, bottom + 1), band));
      EXPECT_TRUE(near(at(rgb, w, x, h - 1), band));
    }
    // Right way up, left to right, spanning the full width.
    const int upper = top + 3, lower = bottom - 4;
    EXPECT_TRUE(near(at(rgb, w, 1, upper), {255, 0, 0}));
    EXPECT_TRUE(near(at(rgb, w, w - 2, upper), {255, 255, 0}));
    EXPECT_TRUE(near(at(rgb, w, 1, lower), {0, 255, 0}));
    EXPECT_TRUE(near(at(rgb, w, w - 2, lower), {0, 255, 255}));
    // Nothing of the scene region outside the band reaches the screen.
    for (int y = 0; y < h; ++y) {
      const Rgb p = at(rgb, w, w / 3, y);
      ASSERT_FALSE(p.b > 200 && p.r < 30 && p.g < 30) << "row " << y;
    }
  }
  glClearColor(0, 0, 0, 1);
}

TEST(Letterbox, ZeroHeightResizeChangesNothing) {
  ASSERT_TRUE(startDemoOnce(1024, 768));
  setSceneViewport(800, 600);
  setSceneViewport(1234, 0);
  EXPECT_EQ(screenWidth, 800);
  EXPECT_EQ(screenHeight, 600);
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 512);
  EXPECT_EQ(vp[3], 384);
}
