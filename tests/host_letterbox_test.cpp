#include <vector>

#include "gfx/scene_region.h"
#include "gl_test_context.h"
#include "host/host.h"
#include "host/screen.h"
#include "host/letterbox.h"
#include "host/offline_host.h"

namespace {

struct Rgb {
  int r, g, b;
};

void quad(float x0, float y0, float x1, float y1, float r, float g, float b) {
  const BandQuad q = flatQuad(x0, y0, x1, y1, 0, 0, 0, 0, Colour{r, g, b, 1});
  drawQuads(testDemo().gfx, scenePass(Blend::kOff, Combine::kNone, 0), q.corners, 4);
}

// The scene region in scene coordinates: blue outside the shown band, and
// four coloured quadrants inside it (red top left, yellow top right, green
// bottom left, cyan bottom right).
void drawMarkedSceneRegion() {
  quad(-256, -192, 256, 192, 0, 0, 1);
  quad(-256, 0, 0, 128, 1, 0, 0);
  quad(0, 0, 256, 128, 1, 1, 0);
  quad(-256, -128, 0, 0, 0, 1, 0);
  quad(0, -128, 256, 0, 0, 1, 1);
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

TEST(Letterbox, LargestCentredFourByThreeRectangle) {
  struct Case {
    int w, h;
    ViewRect want;
  };
  const Case cases[] = {
      {800, 600, {0, 0, 800, 600}},        {1920, 1080, {240, 0, 1440, 1080}},
      {2560, 1080, {560, 0, 1440, 1080}},  {1366, 768, {171, 0, 1024, 768}},
      {600, 800, {0, 175, 600, 450}},      {1, 1, {0, 0, 1, 1}},
      {0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const ViewRect r = letterboxRect(c.w, c.h);
    EXPECT_EQ(r.x, c.want.x) << c.w << "x" << c.h;
    EXPECT_EQ(r.y, c.want.y) << c.w << "x" << c.h;
    EXPECT_EQ(r.width, c.want.width) << c.w << "x" << c.h;
    EXPECT_EQ(r.height, c.want.height) << c.w << "x" << c.h;
  }
}

// At 4:3 sizes the band spans the full width and the middle two thirds of the
// height, the bands above and below in the current clear colour. Other shapes
// show the same layout in their centred 4:3 rectangle with black around it.
// The sizes follow one another as resizes of one drawable.
TEST(Letterbox, BandFillsTheFourByThreeRectangleWithBlackAround) {
  ASSERT_TRUE(startDemoOnce(1024, 768));

  struct Case {
    int w, h;
    int x0, x1, y0, y1;  // the 4:3 rectangle in picture columns and rows, top-down
  };
  const Case cases[] = {
      {800, 600, 0, 800, 0, 600},    {1024, 576, 128, 896, 0, 576},  // 16:9
      {640, 480, 0, 640, 0, 480},    {1008, 432, 216, 792, 0, 432},  // 21:9
      {1024, 768, 0, 1024, 0, 768},  {1000, 300, 300, 700, 0, 300},
      {300, 240, 0, 300, 8, 233},
  };
  for (const Case& c : cases) {
    const int w = c.w, h = c.h;
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    setScreenSize(testDemo(), w, h);
    EXPECT_EQ(testDemo().screenWidth, w);
    EXPECT_EQ(testDemo().screenHeight, h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawMarkedSceneRegion();
    // The bands take the colour the frame ended on.
    testDemo().state.director.clearColour = Colour{0.2f, 0.4f, 0.6f, 1};
    presentBand(testDemo());
    testDemo().state.director.clearColour = kBlack;
    std::vector<unsigned char> rgb;
    readOutputPixels(testDemo().gfx, w, h, rgb);

    const int rw = c.x1 - c.x0, rh = c.y1 - c.y0;
    const Rgb band = {51, 102, 153};
    const int top = c.y0 + rh / 6, bottom = c.y1 - rh / 6;  // picture rows
    for (int x : {c.x0, c.x0 + rw / 2, c.x1 - 1}) {
      EXPECT_TRUE(near(at(rgb, w, x, c.y0), band));
      EXPECT_TRUE(near(at(rgb, w, x, top - 2), band));
      EXPECT_TRUE(near(at(rgb, w, x, bottom + 1), band));
      EXPECT_TRUE(near(at(rgb, w, x, c.y1 - 1), band));
    }
    // Right way up, left to right, spanning the rectangle's width.
    const int upper = top + 3, lower = bottom - 4;
    EXPECT_TRUE(near(at(rgb, w, c.x0 + 1, upper), {255, 0, 0}));
    EXPECT_TRUE(near(at(rgb, w, c.x1 - 2, upper), {255, 255, 0}));
    EXPECT_TRUE(near(at(rgb, w, c.x0 + 1, lower), {0, 255, 0}));
    EXPECT_TRUE(near(at(rgb, w, c.x1 - 2, lower), {0, 255, 255}));
    // Black outside the rectangle, up to its edges.
    for (int y : {0, h / 2, h - 1}) {
      if (c.x0 > 0) {
        EXPECT_TRUE(near(at(rgb, w, 0, y), {0, 0, 0}));
        EXPECT_TRUE(near(at(rgb, w, c.x0 - 1, y), {0, 0, 0}));
        EXPECT_TRUE(near(at(rgb, w, c.x1, y), {0, 0, 0}));
        EXPECT_TRUE(near(at(rgb, w, w - 1, y), {0, 0, 0}));
      }
    }
    if (c.y0 > 0) {
      EXPECT_TRUE(near(at(rgb, w, w / 2, 0), {0, 0, 0}));
      EXPECT_TRUE(near(at(rgb, w, w / 2, c.y0 - 1), {0, 0, 0}));
      EXPECT_TRUE(near(at(rgb, w, w / 2, c.y1), {0, 0, 0}));
      EXPECT_TRUE(near(at(rgb, w, w / 2, h - 1), {0, 0, 0}));
    }
    // Nothing of the scene region outside the band reaches the screen.
    for (int y = 0; y < h; ++y) {
      const Rgb p = at(rgb, w, c.x0 + rw / 3, y);
      ASSERT_FALSE(p.b > 200 && p.r < 30 && p.g < 30) << "row " << y;
    }
  }
  glClearColor(0, 0, 0, 1);
}

TEST(Letterbox, ZeroHeightResizeChangesNothing) {
  ASSERT_TRUE(startDemoOnce(1024, 768));
  setScreenSize(testDemo(), 800, 600);
  setScreenSize(testDemo(), 1234, 0);
  EXPECT_EQ(testDemo().screenWidth, 800);
  EXPECT_EQ(testDemo().screenHeight, 600);
}
