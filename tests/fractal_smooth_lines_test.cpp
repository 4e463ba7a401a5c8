#include "software/smooth_lines.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gl_test_context.h"
#include "picture_difference.h"
#include "render_path_guard.h"
#include "scenes/triangle_fractal.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;  // the band: rows 64..319 of the 512 x 384 viewport
const LinePlacement kBand = {256.0f, 256.0f, 192.0f, 128.0f};

struct LineVertex {
  float x, y, z, r, g, b, a;
};

// Identity matrices over the scene viewport, a cleared frame and the blend
// the fractal draws its outlines with.
void prepareFrame(float grey) {
  ASSERT_TRUE(useHeadlessGl(512, 384));
  glViewport(0, 0, 512, 384);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_TEXTURE_2D);
  glClearColor(grey, grey, grey, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(1.0f);
}

std::vector<uint8_t> readBand() {
  std::vector<uint8_t> band(kW * kH * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 64, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, band.data());
  return band;
}

// Band pixel (x, y) in window pixels: NDC for the vertex at its corner.
LineVertex at(float x, float y, float r, float g, float b, float a) {
  return {x / 256.0f - 1.0f, (y + 64.0f) / 192.0f - 1.0f, -1.0f, r, g, b, a};
}

// The same lines through GL's smooth lines and through the CPU, on the same
// cleared band.
Difference drawBothWays(const std::vector<LineVertex>& lines, float grey) {
  prepareFrame(grey);
  std::vector<uint8_t> cpu = readBand();
  glBegin(GL_LINES);
  for (const LineVertex& v : lines) {
    glColor4f(v.r, v.g, v.b, v.a);
    glVertex3f(v.x, v.y, v.z);
  }
  glEnd();
  const std::vector<uint8_t> gl = readBand();
  blendSmoothLines(&lines[0].x, 7, int(lines.size() / 2), kBand, cpu.data(), kW, kH);
  EXPECT_NE(cpu, std::vector<uint8_t>(cpu.size(), uint8_t(grey * 255 + 0.5f)));
  return compareRgb(cpu, gl);
}

}  // namespace

TEST(SmoothLines, CoverAsGlSmoothLinesDoAtEveryAngleAndEnd) {
  SKIP_UNLESS_LLVMPIPE();
  std::vector<LineVertex> lines;
  // Horizontal and vertical off the pixel grid, fractional ends, a slope of
  // one half, a steep one, and a short one inside a single pixel row.
  for (LineVertex v : {at(10, 10.3f, 1, 1, 1, 1), at(30, 10.3f, 1, 1, 1, 1),
                   at(50.6f, 5, 1, 0.5f, 0, 1), at(50.6f, 40.2f, 1, 0.5f, 0, 1),
                   at(10, 60, 0, 1, 0, 1), at(30, 70, 0, 1, 0, 1),
                   at(100.3f, 20.1f, 1, 1, 1, 0.6f), at(107.9f, 61.4f, 1, 1, 1, 0.6f),
                   at(140.2f, 40.5f, 1, 1, 1, 1), at(143.7f, 40.5f, 1, 1, 1, 1)})
    lines.push_back(v);
  // A fan of short lines in every direction, colour and alpha changing
  // along each, some crossing each other.
  for (int k = 0; k < 64; ++k) {
    const float angle = float(k) * 0.0981747704f + 0.05f;
    const float cx = 200.0f + float(k % 8) * 35.0f, cy = 60.0f + float(k / 8) * 22.0f;
    lines.push_back(at(cx, cy, 1, 0.2f, 0.1f, 0.21f));
    lines.push_back(at(cx + 14.0f * std::cos(angle), cy + 14.0f * std::sin(angle), 0.1f, 0.4f,
                       1, 0.9f));
  }
  const Difference d = drawBothWays(lines, 0.1f);
  EXPECT_LE(d.worst, 2);
  EXPECT_LT(d.mean, 0.05);
}

TEST(SmoothLines, CrossingLinesAddUpAndSaturateLikeTheBlend) {
  SKIP_UNLESS_LLVMPIPE();
  std::vector<LineVertex> lines;
  for (int k = 0; k < 12; ++k) {  // twelve bright lines through one point
    const float angle = float(k) * 0.2617994f;
    lines.push_back(at(256 - 30 * std::cos(angle), 128 - 30 * std::sin(angle), 0.9f, 0.6f, 0.3f,
                       0.5f));
    lines.push_back(at(256 + 30 * std::cos(angle), 128 + 30 * std::sin(angle), 0.9f, 0.6f, 0.3f,
                       0.5f));
  }
  const Difference d = drawBothWays(lines, 0.3f);
  EXPECT_LE(d.worst, 3);
  std::vector<uint8_t> band(kW * kH * 4, 0);
  blendSmoothLines(&lines[0].x, 7, int(lines.size() / 2), kBand, band.data(), kW, kH);
  EXPECT_EQ(band[(128 * kW + 256) * 4], 255);  // red saturates where they cross
}

TEST(SmoothLines, TheFractalsOutlinesMatchGlOnTheCpu) {
  SKIP_UNLESS_LLVMPIPE();
  static FractalLineBatch batch;
  FractalTriangle root;
  fractalRootTriangle(11.0f, root);
  setFractalOffsets(root, 11.0f, -0.05f);
  subdivideTriangle(kFractalDepth, root, 0.1f, -0.2f, 0.15f, batch);
  ASSERT_EQ(batch.leafCount, kFractalLeafCount);
  const FractalLineBatch copy = batch;

  std::vector<uint8_t> gl, cpu;
  {
    RenderPathGuard path(RenderChoice::Gl);
    prepareFrame(0.05f);
    flushTriangleOutlines(testDemo().gfx, batch, LineBlend::OverDestinationAlpha, softwarePasses());
    gl = readBand();
  }
  {
    RenderPathGuard path(RenderChoice::Software);
    batch = copy;
    prepareFrame(0.05f);
    const uint64_t lines = softwarePassCounts().lines;
    flushTriangleOutlines(testDemo().gfx, batch, LineBlend::OverDestinationAlpha, softwarePasses());
    EXPECT_EQ(softwarePassCounts().lines, lines + 1);
    cpu = readBand();
  }
  EXPECT_EQ(batch.leafCount, 0);
  const Difference d = compareRgb(cpu, gl);
  // A few pixels under many overlapping lines gather the rounding of each.
  EXPECT_LE(d.worst, 6);
  EXPECT_LT(d.mean, 0.02);
}

// Added outlines are never handed to the software pass: GL draws them, as
// on the gl path.
TEST(SmoothLines, OutlinesUnderABlendNotHandedStayInGl) {
  static FractalLineBatch batch;
  FractalTriangle root;
  fractalRootTriangle(11.0f, root);
  subdivideTriangle(kFractalDepth, root, 0.1f, -0.2f, 0.15f, batch);
  const FractalLineBatch copy = batch;
  std::vector<uint8_t> results[2];
  for (bool software : {false, true}) {
    RenderPathGuard path(software ? RenderChoice::Software : RenderChoice::Gl);
    batch = copy;
    prepareFrame(0.05f);
    const uint64_t lines = softwarePassCounts().lines;
    flushTriangleOutlines(testDemo().gfx, batch, LineBlend::Added, softwarePasses());
    EXPECT_EQ(softwarePassCounts().lines, lines);
    results[software] = readBand();
  }
  EXPECT_EQ(results[0], results[1]);
}

TEST(SmoothLines, DegenerateAndFarOffLinesDrawNothingOutsideThePicture) {
  std::vector<LineVertex> lines = {
      at(20, 20, 1, 1, 1, 1),       at(20, 20, 1, 1, 1, 1),        // no length
      at(NAN, 5, 1, 1, 1, 1),       at(40, 5, 1, 1, 1, 1),         // not a number
      at(INFINITY, 9, 1, 1, 1, 1),  at(-INFINITY, 9, 1, 1, 1, 1),  // infinite
      at(-1e30f, -1e30f, 1, 1, 1, 1), at(-1e29f, -1e30f, 1, 1, 1, 1),  // far away
      at(60, 60, NAN, NAN, NAN, NAN), at(90, 60, NAN, NAN, NAN, NAN),  // colour not a number
      at(-100, 128.5f, 1, 1, 1, 1), at(-10, 128.5f, 1, 1, 1, 1)};  // left of the band
  std::vector<uint8_t> band(kW * kH * 4, 7);
  blendSmoothLines(&lines[0].x, 7, int(lines.size() / 2), kBand, band.data(), kW, kH);
  EXPECT_EQ(band, std::vector<uint8_t>(band.size(), 7));

  // A line running off the band's edges draws up to them.
  lines = {at(-50, 100.5f, 1, 1, 1, 1), at(600, 100.5f, 1, 1, 1, 1),
           at(300.5f, -40, 1, 1, 1, 1), at(300.5f, 400, 1, 1, 1, 1)};
  blendSmoothLines(&lines[0].x, 7, 2, kBand, band.data(), kW, kH);
  EXPECT_EQ(band[(100 * kW + 0) * 4], 255);
  EXPECT_EQ(band[(100 * kW + 511) * 4], 255);
  EXPECT_EQ(band[(0 * kW + 300) * 4], 255);
  EXPECT_EQ(band[(255 * kW + 300) * 4], 255);
  EXPECT_EQ(band[(101 * kW + 200) * 4], 7);
}
