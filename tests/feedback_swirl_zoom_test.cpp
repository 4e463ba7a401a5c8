#include "software/swirl_zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "effects/feedback_buffer.h"
#include "gl_test_context.h"
#include "render_path_guard.h"
#include "picture_difference.h"
#include "host/screen.h"

namespace {

struct Picture {
  int width, height;
  std::vector<uint8_t> rgba;
  Picture(int w, int h) : width(w), height(h), rgba(size_t(w) * h * 4, 0) {}
  uint8_t& at(int x, int y, int c) { return rgba[(size_t(y) * width + x) * 4 + c]; }
  uint8_t at(int x, int y, int c) const { return rgba[(size_t(y) * width + x) * 4 + c]; }
};

// Irregular levels below `range` in every channel.
Picture noise(int w, int h, unsigned seed, int range) {
  Picture p(w, h);
  for (uint8_t& v : p.rgba) {
    seed = seed * 1664525u + 1013904223u;
    v = uint8_t((seed >> 24) % unsigned(range));
  }
  return p;
}

Picture uniform(int w, int h, int level) {
  Picture p(w, h);
  std::fill(p.rgba.begin(), p.rgba.end(), uint8_t(level));
  return p;
}

// The parallelogram from `origin` along `across` and `up`.
struct Shape {
  double originX, originY, acrossX, acrossY, upX, upY;
  float du, dv;
};

SwirlQuad quad(const Shape& p) {
  SwirlQuad q;
  for (int c = 0; c < 4; ++c) {
    const double along = c == 1 || c == 2 ? 1 : 0, up = c >= 2 ? 1 : 0;
    q.x[c] = p.originX + along * p.acrossX + up * p.upX;
    q.y[c] = p.originY + along * p.acrossY + up * p.upY;
  }
  q.du = p.du;
  q.dv = p.dv;
  return q;
}

// The quad over the whole picture, texel centres on pixel centres.
SwirlQuad fullQuad(int w, int h, float du = 0.0f, float dv = 0.0f) {
  return quad({0, 0, double(w), 0, 0, double(h), du, dv});
}

// What one blended fragment adds: colour * alpha / 255, rounded.
int added(double colour, int alphaLevel) {
  return int(std::lround(std::round(colour) * alphaLevel / 255.0));
}

Picture swirled(Picture p, const Picture* first, const std::vector<SwirlQuad>& quads,
                float alpha) {
  SwirlScratch scratch;
  swirlPasses(p.rgba.data(), first ? first->rgba.data() : nullptr, p.width, p.height,
              quads.data(), int(quads.size()), alpha, scratch);
  return p;
}

}  // namespace

// Widths that are and are not multiples of the eight pixels done at once.
TEST(SwirlPasses, AQuadOverThePictureAddsAlphaTimesEachTexelAndSaturates) {
  for (int w : {16, 13, 40}) {
    const Picture base = noise(w, 6, 1, 256);
    const Picture texture = noise(w, 6, 2, 256);
    const Picture out = swirled(base, &texture, {fullQuad(w, 6)}, 0.4f);  // alpha level 102
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < w; ++x) {
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(out.at(x, y, c),
                    std::min(255, base.at(x, y, c) + added(texture.at(x, y, c), 102)))
              << w << ": " << x << "," << y << "," << c;
        ASSERT_EQ(out.at(x, y, 3), base.at(x, y, 3)) << "alpha is left alone";
      }
  }
}

TEST(SwirlPasses, SamplesBetweenTexelsAndTheBlackBorderBeyondTheClamp) {
  // Even levels: the average of two texels is a whole level.
  Picture texture = noise(32, 16, 3, 128);
  for (uint8_t& v : texture.rgba) v = uint8_t(v * 2);
  const Picture base = uniform(32, 16, 0);
  const Picture& t = texture;

  // Half a texel right: each pixel averages a texel and its right neighbour;
  // the last column meets the border at s = 1.
  Picture across = swirled(base, &texture, {fullQuad(32, 16, 0.5f / 32)}, 1.0f);
  for (int y : {0, 7, 15})
    for (int x = 0; x < 32; ++x)
      for (int c = 0; c < 3; ++c) {
        const int right = x < 31 ? t.at(x + 1, y, c) : 0;
        ASSERT_EQ(across.at(x, y, c), (t.at(x, y, c) + right) / 2) << x << "," << y;
      }

  // Half a texel up, likewise between rows.
  Picture up = swirled(base, &texture, {fullQuad(32, 16, 0.0f, 0.5f / 16)}, 1.0f);
  for (int y = 0; y < 16; ++y)
    for (int x : {0, 9, 31})
      for (int c = 0; c < 3; ++c) {
        const int above = y < 15 ? t.at(x, y + 1, c) : 0;
        ASSERT_EQ(up.at(x, y, c), (t.at(x, y, c) + above) / 2) << x << "," << y;
      }

  // A quarter of the picture left: the first eight columns fall below s = 0
  // and clamp to the edge, half the first texel and half the border.
  Picture left = swirled(base, &texture, {fullQuad(32, 16, -0.25f)}, 1.0f);
  for (int y : {0, 8})
    for (int x = 0; x < 32; ++x)
      for (int c = 0; c < 3; ++c) {
        const int want = x < 8 ? t.at(0, y, c) / 2 : t.at(x - 8, y, c);
        ASSERT_EQ(left.at(x, y, c), want) << x << "," << y;
      }
}

TEST(SwirlPasses, LaterPassesSampleTheResultOfTheOneBefore) {
  const Picture base = uniform(24, 10, 40);
  const Picture first = uniform(24, 10, 100);
  const std::vector<SwirlQuad> quads(3, fullQuad(24, 10));
  // Alpha level 128. With its own texture, the first pass adds that; without,
  // it adds the picture itself.
  for (bool ownTexture : {true, false}) {
    Picture out = swirled(base, ownTexture ? &first : nullptr, quads, 0.5f);
    int level = 40 + added(ownTexture ? 100 : 40, 128);
    for (int pass = 1; pass < 3; ++pass) level += added(level, 128);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 24; ++x) ASSERT_EQ(out.at(x, y, 1), level) << x << "," << y;
  }
  // Many passes at a low alpha (level 13), the picture a single row.
  const std::vector<SwirlQuad> many(45, fullQuad(24, 1));
  Picture out = swirled(uniform(24, 1, 20), nullptr, many, 0.05f);
  int level = 20;
  for (int pass = 0; pass < 45; ++pass) level = std::min(255, level + added(level, 13));
  for (int x = 0; x < 24; ++x) ASSERT_EQ(out.at(x, 0, 0), level) << x;
}

// Rotated and sheared parallelograms, some crossing the picture's edges:
// pixels whose centres lie inside are blended, those outside are not. Long
// rows exercise the columns taken as wholly inside.
TEST(SwirlPasses, QuadsCoverThePixelsWhoseCentresTheyContain) {
  const Shape shapes[] = {
      {10.3, -1, 40.4, 0, 0, 20, 0, 0},           // upright, edges between centres
      {30, -12, 50, 18, -14, 40, 0, 0},           // turned
      {90, 3, -70, 9, 5, 11, 0.1f, 0},            // mirrored, thin
      {-40, -30, 200, 10, -10, 100, 0, 0},        // over everything but corners
      {60.25, 8.25, 0.5, 0.25, -0.25, 0.5, 0, 0},  // smaller than a pixel
      {-2e5, -1e5, 4e5, 0, 0, 1e5 + 5.5, 0, 0},   // too far off to snap
      // Likewise, an edge through (48, 9) with the inside left of it, then right.
      {48 - 1.6e5, 9 - 1.2e5, 3.2e5, 2.4e5, -2.4e5, 3.2e5, 0, 0},
      {48 - 1.6e5, 9 - 1.2e5, 3.2e5, 2.4e5, 2.4e5, -3.2e5, 0, 0}};
  const Picture base = uniform(96, 18, 0);
  const Picture texture = uniform(96, 18, 200);
  for (const Shape& q : shapes) {
    Picture out = swirled(base, &texture, {quad(q)}, 1.0f);
    const double det = q.acrossX * q.upY - q.acrossY * q.upX;
    const double acrossWidth = std::fabs(det) / std::hypot(q.upX, q.upY);
    const double upWidth = std::fabs(det) / std::hypot(q.acrossX, q.acrossY);
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 96; ++x) {
        const double px = x + 0.5 - q.originX, py = y + 0.5 - q.originY;
        const double a = (px * q.upY - py * q.upX) / det;
        const double b = (q.acrossX * py - q.acrossY * px) / det;
        // Pixels from the nearest edge; within a hundredth, snapping decides.
        const double inside =
            std::min(std::min(a, 1 - a) * acrossWidth, std::min(b, 1 - b) * upWidth);
        if (std::fabs(inside) < 0.01) continue;
        ASSERT_EQ(out.at(x, y, 0) != 0, inside > 0) << q.originX << ": " << x << "," << y;
      }
  }
}

TEST(SwirlPasses, NonFiniteDegenerateOrFarOffQuadsLeaveThePictureAlone) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const float fnan = std::numeric_limits<float>::quiet_NaN();
  const Shape shapes[] = {
      {nan, 0, 13, 0, 0, 7, 0, 0},         {0, 0, inf, 0, 0, 7, 0, 0},
      {0, 0, 13, 0, 0, 7, fnan, 0},        {0, 0, 13, 0, 0, 7, 0, float(inf)},
      {0, 0, 0, 0, 0, 7, 0, 0},            {0, 0, 13, 2, 26, 4, 0, 0},  // no area
      {3.3, 2.2, 1e-7, 0, 0, 1e-7, 0, 0},  // far too small to hold a centre
      {1e300, 0, 13, 0, 0, 7, 0, 0},       {-1e20, -1e20, 1, 1, -1, 1, 0, 0},
      {-1e6, 3, 2e6, 0, 0, 1e-3, 0, 0}};  // too far to snap, and too thin
  const Picture base = noise(13, 7, 4, 200);
  const Picture texture = uniform(13, 7, 255);
  for (const Shape& q : shapes)
    EXPECT_EQ(swirled(base, &texture, {quad(q)}, 1.0f).rgba, base.rgba)
        << q.originX << " " << q.acrossX;
  EXPECT_EQ(swirled(base, &texture, {fullQuad(13, 7)}, float(nan)).rgba, base.rgba)
      << "no alpha, nothing added";
}

TEST(SwirlPasses, AHugeQuadSamplesOnePlaceEverywhere) {
  // Zoomed a trillion times about the picture's centre: every pixel samples
  // within a hair of the centre of the texture.
  const double size = 1e12;
  const SwirlQuad q = quad({20 - size / 2, 8 - size / 2, size, 0, 0, size, 0, 0});
  Picture texture = uniform(40, 16, 0);
  for (int y = 7; y <= 8; ++y)
    for (int x = 19; x <= 20; ++x)
      for (int c = 0; c < 3; ++c) texture.at(x, y, c) = 120;
  Picture out = swirled(uniform(40, 16, 10), &texture, {q}, 1.0f);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(out.at(x, y, 2), 130) << x << "," << y;
}

namespace {

constexpr int kW = 512;
constexpr int kH = 256;
constexpr int kSlot = 2;  // the clamped slot the fractal swirls

// A picture like the fractal's band: dark smooth shading with bright lines,
// which nine passes at alpha 0.2 brighten about fivefold.
Picture shadedWithLines() {
  Picture p = noise(kW, kH, 9, 12);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      p.at(x, y, 0) += uint8_t(x / 16);
      p.at(x, y, 1) += uint8_t(y / 8);
      p.at(x, y, 2) += uint8_t((x + y) / 24);
      if ((x + 2 * y) % 37 == 0 || (3 * x - y) % 53 == 0)
        for (int c = 0; c < 3; ++c) p.at(x, y, c) = 150;
      p.at(x, y, 3) = 255;  // as the frame reads back
    }
  return p;
}

struct SwirlZoomTest : ::testing::Test {
  FeedbackBuffer* fb = nullptr;

  void SetUp() override {
    ASSERT_TRUE(useHeadlessGl(512, 384));
    glLoadIdentity();
    static FeedbackBuffer* shared =
        new FeedbackBuffer(testDemo().gfx, nullptr);  // made once, as at start-up
    fb = shared;
  }

  void put(GLuint texture, const Picture& p) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE,
                    p.rgba.data());
  }

  // The band shows `band` and the slot holds `slot`; both are the same
  // picture after a capture.
  void prepare(const Picture& band, const Picture& slot) {
    put(fb->textures[kSlot], band);
    fb->crossfade(1.0f, kSlot, kSlot);
    put(fb->textures[kSlot], slot);
  }

  std::vector<uint8_t> readBand() {
    std::vector<uint8_t> band(kW * kH * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 64, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, band.data());
    return band;
  }

  std::vector<uint8_t> readTexture(GLuint texture) {
    std::vector<uint8_t> pixels(kW * kH * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // The swirl drawn in GL and on the CPU from the same band and slot.
  Difference bothWays(const Picture& band, const Picture& slot, float spin, float zoomBase,
                      float zoomExponent, float panX, float panY) {
    std::vector<uint8_t> results[2];
    for (bool onCpu : {false, true}) {
      FeedbackPathGuard path(*fb, onCpu ? RenderChoice::Software : RenderChoice::Gl);
      prepare(band, slot);
      const uint64_t swirls = softwarePassCounts().swirl;
      fb->swirlZoom(kSlot, spin, 0, zoomBase, zoomExponent, panX, panY, -0.15f);
      EXPECT_EQ(softwarePassCounts().swirl - swirls, onCpu ? 1u : 0u);
      results[onCpu] = readBand();
    }
    EXPECT_NE(results[0], band.rgba) << "the swirl drew something";
    return compareRgb(results[0], results[1]);
  }
};

}  // namespace

// The scene's own range: spin 1.2, zoom base 1 to 1.6, exponent 1.8, pans up
// to 50 pixels. Each pixel's nine passes round like the rasteriser's but for
// a rare step where a sample lands within float error of a rounding edge.
TEST_F(SwirlZoomTest, MatchesGlOverTheFractalsSwirls) {
  SKIP_UNLESS_LLVMPIPE();
  const Picture pictures[] = {shadedWithLines(), noise(kW, kH, 7, 40)};
  for (const Picture& p : pictures)
    for (float zoomBase : {1.0f, 1.3f, 1.6f})
      for (float pan : {0.0f, 50.0f, -37.0f}) {
        const Difference d = bothWays(p, p, 1.2f, zoomBase, 1.8f, pan, -0.7f * pan);
        EXPECT_LE(d.worst, 2) << zoomBase << " " << pan;
        EXPECT_LT(d.mean, 0.01) << zoomBase << " " << pan;
      }
}

// Shrinking quads leave parts of the band uncovered and minify; panned ones
// sample far beyond the texture's edges; a vanishing zoom draws almost
// nothing. Then the first pass samples a slot picture other than the band.
TEST_F(SwirlZoomTest, MatchesGlWhereQuadsShrinkPanFarOrSampleAnotherPicture) {
  SKIP_UNLESS_LLVMPIPE();
  const Picture band = shadedWithLines();
  struct Case {
    float spin, zoomBase, zoomExponent, panX, panY;
  } cases[] = {{0.37f, 1.0f, -6.0f, 20.0f, 10.0f},
               {2.0f, 1.2f, -2.0f, -300.0f, 250.0f},
               {0.0f, 1.6f, 1.8f, 900.0f, -700.0f},
               {1.2f, 1.3f, -60.0f, 0.0f, 0.0f}};
  for (const Case& c : cases) {
    const Difference d = bothWays(band, band, c.spin, c.zoomBase, c.zoomExponent, c.panX, c.panY);
    EXPECT_LE(d.worst, 2) << c.zoomExponent << " " << c.panX;
    EXPECT_LT(d.mean, 0.01) << c.zoomExponent << " " << c.panX;
  }
  const Difference d = bothWays(band, noise(kW, kH, 5, 90), 1.2f, 1.3f, 1.8f, 30.0f, 12.0f);
  EXPECT_LE(d.worst, 2);
  EXPECT_LT(d.mean, 0.01);
}

TEST_F(SwirlZoomTest, NonFinitePansAndZoomsDrawNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Picture band = shadedWithLines();
  struct Case {
    float zoomExponent, panX, panY;
  } cases[] = {{1.8f, nan, 0.0f}, {1.8f, 0.0f, -inf}, {inf, 0.0f, 0.0f}, {nan, 3.0f, 4.0f}};
  for (const Case& c : cases) {
    prepare(band, band);
    fb->swirlZoom(kSlot, 1.2f, 0, 1.3f, c.zoomExponent, c.panX, c.panY, -0.15f);
    EXPECT_EQ(readBand(), band.rgba) << c.zoomExponent << " " << c.panX << " " << c.panY;
  }
}

// The swirl sets the state it draws with: a texture environment, modelview
// scale or scissor left behind by others never reaches the software pass,
// which still runs and still draws what GL draws.
TEST_F(SwirlZoomTest, StateLeftByOthersNeverReachesTheSoftwarePass) {
  SKIP_UNLESS_LLVMPIPE();
  const Picture band = shadedWithLines();
  std::vector<uint8_t> results[2];
  for (bool onCpu : {false, true}) {
    FeedbackPathGuard path(*fb, onCpu ? RenderChoice::Software : RenderChoice::Gl);
    prepare(band, band);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glScalef(0.5f, 2.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(40, 80, 100, 100);
    const uint64_t swirls = softwarePassCounts().swirl;
    fb->swirlZoom(kSlot, 1.2f, 0, 1.3f, 1.8f, 10.0f, 10.0f, -0.15f);
    EXPECT_EQ(softwarePassCounts().swirl - swirls, onCpu ? 1u : 0u);
    glLoadIdentity();
    glDisable(GL_SCISSOR_TEST);
    results[onCpu] = readTexture(fb->textures[kSlot + 6]);
  }
  EXPECT_NE(results[0], band.rgba);
  const Difference d = compareRgb(results[0], results[1]);
  EXPECT_LE(d.worst, 2);
  EXPECT_LT(d.mean, 0.01);
}

// A slot holding a picture the buffer did not make is not handed to the
// software pass: GL draws it, the same picture on either path.
TEST_F(SwirlZoomTest, SlotsHoldingOtherPicturesStayInGl) {
  const Picture band = shadedWithLines();
  GLuint picture = 0;
  glGenTextures(1, &picture);
  glBindTexture(GL_TEXTURE_2D, picture);
  const Picture small = noise(256, 256, 6, 120);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               small.rgba.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  const GLuint saved = fb->textures[kSlot];
  std::vector<uint8_t> results[2];
  for (bool onCpu : {false, true}) {
    FeedbackPathGuard path(*fb, onCpu ? RenderChoice::Software : RenderChoice::Gl);
    fb->textures[kSlot] = saved;
    prepare(band, band);
    fb->textures[kSlot] = picture;
    const uint64_t swirls = softwarePassCounts().swirl;
    fb->swirlZoom(kSlot, 1.2f, 0, 1.3f, 1.8f, 10.0f, 10.0f, -0.15f);
    EXPECT_EQ(softwarePassCounts().swirl, swirls);
    results[onCpu] = readBand();
  }
  fb->textures[kSlot] = saved;
  glDeleteTextures(1, &picture);
  EXPECT_EQ(results[0], results[1]);
}

// Corners on pixel centres put whole rows and columns of centres exactly on
// the edges; the rasteriser takes those on left and bottom edges, whichever
// way round the quad is drawn.
TEST_F(SwirlZoomTest, CentresOnEdgesAreCoveredAsGlCoversThem) {
  SKIP_UNLESS_LLVMPIPE();
  const Picture band = uniform(kW, kH, 0);
  const Picture texture = uniform(kW, kH, 200);
  SwirlScratch scratch;
  const double corners[2][4][2] = {{{100.5, 50.5}, {300.5, 50.5}, {300.5, 150.5}, {100.5, 150.5}},
                                   {{200.5, 20.5}, {280.5, 100.5}, {200.5, 180.5}, {120.5, 100.5}}};
  for (const auto& shape : corners)
    for (int first = 0; first < 4; ++first)
      for (int turn : {1, 3}) {  // either winding
        SwirlQuad q;
        for (int c = 0; c < 4; ++c) {
          q.x[c] = shape[(first + turn * c) % 4][0];
          q.y[c] = shape[(first + turn * c) % 4][1];
        }
        q.du = q.dv = 0.0f;
        prepare(band, texture);
        glBindTexture(GL_TEXTURE_2D, fb->textures[kSlot]);
        glColor4f(0, 0, 0, 1);
        glBegin(GL_QUADS);
        for (int c = 0; c < 4; ++c) {
          glTexCoord2f(c == 1 || c == 2 ? 1.0f : 0.0f, c >= 2 ? 1.0f : 0.0f);
          glVertex3f(float(q.x[c] - 256), float(q.y[c] - 128), -1.0f);  // band at the centre
        }
        glEnd();
        const std::vector<uint8_t> gl = readBand();
        Picture cpu = band;
        swirlPasses(cpu.rgba.data(), texture.rgba.data(), kW, kH, &q, 1, 1.0f, scratch);
        int differing = 0, covered = 0;
        for (size_t i = 0; i < gl.size(); i += 4) {
          differing += (gl[i] != 0) != (cpu.rgba[i] != 0);
          covered += cpu.rgba[i] != 0;
        }
        EXPECT_EQ(differing, 0) << q.x[0] << "," << q.y[0] << " turning " << turn;
        EXPECT_GT(covered, 10000);
      }
}
