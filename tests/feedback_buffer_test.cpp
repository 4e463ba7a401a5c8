#include "effects/feedback_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "gl_test_context.h"
#include "host/screen.h"
#include "render_path_guard.h"
#include "software/texture_copies.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;

struct Rgb {
  int r, g, b;
};

using Picture = std::function<Rgb(int x, int y)>;

struct FeedbackTest : ::testing::Test {
  FeedbackBuffer* fb = nullptr;
  std::vector<unsigned char> pixels;

  void SetUp() override {
    ASSERT_TRUE(useHeadlessGl(512, 384));
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    static FeedbackBuffer* shared =
        new FeedbackBuffer(testDemo().gfx, nullptr);  // made once, as at start-up
    fb = shared;
  }

  // Puts a known picture straight into a texture, row 0 at the bottom.
  void fill(GLuint texture, const Picture& picture) {
    std::vector<unsigned char> rgb(kW * kH * 3);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const Rgb c = picture(x, y);
        unsigned char* p = &rgb[(y * kW + x) * 3];
        p[0] = (unsigned char)c.r;
        p[1] = (unsigned char)c.g;
        p[2] = (unsigned char)c.b;
      }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  }

  void readBand() {
    pixels.assign(kW * kH * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 64, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  }

  Rgb at(int x, int y) const {
    const unsigned char* p = &pixels[(y * kW + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

Picture uniform(int r, int g, int b) {
  return [=](int, int) { return Rgb{r, g, b}; };
}

// Left half dark, right half bright red, with a sharp edge at x = 256.
Rgb halves(int x, int) { return x < 256 ? Rgb{0, 0, 0} : Rgb{200, 0, 0}; }

// Eight vertical bars of distinct colours, 64 pixels wide.
Rgb bars(int x, int) {
  const int k = x / 64;
  return Rgb{30 * k, 240 - 30 * k, (k % 2) * 150};
}

void expectNear(Rgb got, Rgb want, int tolerance, const char* where) {
  EXPECT_NEAR(got.r, want.r, tolerance) << where;
  EXPECT_NEAR(got.g, want.g, tolerance) << where;
  EXPECT_NEAR(got.b, want.b, tolerance) << where;
}

// The level that 7 passes of four coinciding taps leave behind: each tap adds
// a little over a quarter (65/256). Summed exactly that is level * 1.015625^7;
// blended tap by tap in 8 bits (alpha stored as 65/255, each tap rounded) a
// little more. Either way is the same picture.
int blurredLevelExact(int level) { return int(std::min(255.0, level * std::pow(1.015625, 7))); }
int blurredLevelPerTap(int level) {
  const double tap = std::round(0.25390625 * 255) / 255;
  for (int k = 0; k < 7; ++k) level = std::min(255, 4 * int(std::lround(level * tap)));
  return level;
}
int blurredLevel(int level) { return (blurredLevelExact(level) + blurredLevelPerTap(level)) / 2; }
int blurredSlack(int level) {
  return (blurredLevelPerTap(level) - blurredLevelExact(level)) / 2 + 3;
}

}  // namespace

TEST_F(FeedbackTest, ConstructionMakesSixBandTexturesWithTheirWrapModes) {
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(fb->textures[s], fb->textures[s + 3]);
    EXPECT_EQ(fb->textures[s + 6], fb->textures[s + 9]);
    EXPECT_NE(fb->textures[s], fb->textures[s + 6]);
    for (GLuint name : {fb->textures[s], fb->textures[s + 6]}) {
      EXPECT_TRUE(glIsTexture(name));
      glBindTexture(GL_TEXTURE_2D, name);
      GLint w = 0, h = 0, wrapS = 0, wrapT = 0, minF = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minF);
      EXPECT_EQ(w, 512);
      EXPECT_EQ(h, 256);
      EXPECT_EQ(wrapS, s == 2 ? GL_CLAMP : GL_REPEAT);
      EXPECT_EQ(wrapT, s == 2 ? GL_CLAMP : GL_REPEAT);
      EXPECT_EQ(minF, GL_LINEAR);
    }
  }
  EXPECT_EQ(fb->copyX, 0);
  EXPECT_EQ(fb->copyY, 64);
  EXPECT_EQ(fb->copyWidth, 512);
  EXPECT_EQ(fb->copyHeight, 256);
  EXPECT_EQ(fb->imageMemory.size(), 512u * 256u * 4u);
}

TEST_F(FeedbackTest, CaptureCopiesTheBandAndCrossfadeShowsOneSideAtTheEnds) {
  // Paint the band: blue below row 64 + 100, green above, grey outside.
  glClearColor(0.5f, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 64, 512, 100);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glScissor(0, 164, 512, 156);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
  fb->captureFrame(0);
  fill(fb->textures[1], bars);

  fb->crossfade(0.0f, 0, 1);
  readBand();
  expectNear(at(10, 0), {0, 0, 255}, 1, "bottom row of the band");
  expectNear(at(300, 99), {0, 0, 255}, 1, "last blue row");
  expectNear(at(300, 100), {0, 255, 0}, 1, "first green row");
  expectNear(at(511, 255), {0, 255, 0}, 1, "top row of the band");

  fb->crossfade(1.0f, 0, 1);
  readBand();
  for (int x : {0, 63, 64, 200, 511}) expectNear(at(x, 128), bars(x, 128), 1, "slot B only");
}

TEST_F(FeedbackTest, BlurCrossfadeAtZeroShowsSharpAWithoutB) {
  fill(fb->textures[0], halves);
  fill(fb->textures[1], uniform(0, 0, 250));
  Gfx& gfx = testDemo().gfx;
  const GLuint program = gfx.blurTaps.program;
  // On the CPU, then as one summing quad, then as four blended quads.
  const RenderChoice paths[3] = {RenderChoice::Software, RenderChoice::Gl, RenderChoice::Gl};
  const GLuint programs[3] = {program, program, 0u};
  for (int k = 0; k < 3; ++k) {
    FeedbackPathGuard path(*fb, paths[k]);
    gfx.blurTaps.program = programs[k];
    const uint64_t blurs = softwarePassCounts().blur;
    fb->blurCrossfade(0.0f, 0, 1);
    EXPECT_EQ(softwarePassCounts().blur - blurs, k == 0 ? 1u : 0u);
    readBand();
    // All four taps coincide: the edge stays one pixel wide.
    expectNear(at(255, 100), {0, 0, 0}, 1, "dark side of the edge");
    expectNear(at(256, 100), {blurredLevel(200), 0, 0}, blurredSlack(200),
               "bright side of the edge");
    expectNear(at(0, 0), {0, 0, 0}, 1, "corner");
  }
  gfx.blurTaps.program = program;
}

TEST_F(FeedbackTest, BlurPassesAgreeOnTheCpuAsOneSummingQuadAndAsFourQuads) {
  fill(fb->textures[0], bars);
  fill(fb->textures[1], halves);
  Gfx& gfx = testDemo().gfx;
  const GLuint program = gfx.blurTaps.program;
  if (!program) GTEST_SKIP() << "no shaders in this context";
  auto worstDifference = [this](const std::vector<unsigned char>& other) {
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
      worst = std::max(worst, std::abs(pixels[i] - other[i]));
    return worst;
  };
  std::vector<unsigned char> summed;
  {
    FeedbackPathGuard gl(*fb, RenderChoice::Gl);
    fb->blurCrossfade(0.6f, 0, 1);
    readBand();
    summed = pixels;
    gfx.blurTaps.program = 0;
    fb->blurCrossfade(0.6f, 0, 1);
    gfx.blurTaps.program = program;
    readBand();
    EXPECT_LE(worstDifference(summed), 12);  // only the rounding of each blended tap differs
  }
  FeedbackPathGuard software(*fb, RenderChoice::Software);
  const uint64_t blurs = softwarePassCounts().blur;
  fb->blurCrossfade(0.6f, 0, 1);
  ASSERT_EQ(softwarePassCounts().blur, blurs + 1);
  readBand();
  EXPECT_LE(worstDifference(summed), 2);  // the same sums, rounded once per pass either way
  EXPECT_NE(summed, std::vector<unsigned char>(summed.size(), 0));
}

TEST_F(FeedbackTest, BlurStaysInGlForSlotsHoldingOtherPictures) {
  // A start-up picture in the slot: 256 x 256 and clamped, so not a band copy.
  GLuint picture = 0;
  glGenTextures(1, &picture);
  glBindTexture(GL_TEXTURE_2D, picture);
  std::vector<unsigned char> grey(256 * 256 * 3, 120);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, grey.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  const GLuint saved = fb->textures[0];
  fb->textures[0] = picture;
  fill(fb->textures[1], uniform(0, 0, 0));
  {
    // The software path is not handed a slot it did not make: GL blurs it.
    FeedbackPathGuard software(*fb, RenderChoice::Software);
    const uint64_t blurs = softwarePassCounts().blur;
    fb->blurCrossfade(0.0f, 0, 1);
    EXPECT_EQ(softwarePassCounts().blur, blurs);
  }
  fb->textures[0] = saved;
  readBand();
  expectNear(at(256, 128), {blurredLevel(120), blurredLevel(120), blurredLevel(120)},
             blurredSlack(120), "the picture, blurred in place");
  glDeleteTextures(1, &picture);
}

TEST_F(FeedbackTest, BlurCrossfadeAtOneIsTheSharpB) {
  fill(fb->textures[0], uniform(0, 250, 0));
  fill(fb->textures[1], halves);
  fb->blurCrossfade(1.0f, 0, 1);
  readBand();
  for (int x : {0, 255, 256, 511}) expectNear(at(x, 77), halves(x, 77), 1, "sharp B");
}

TEST_F(FeedbackTest, BlurCrossfadeDrawsTheSharpBAtHalfAlphaAt0975) {
  fill(fb->textures[0], uniform(0, 0, 0));
  fill(fb->textures[1], uniform(200, 0, 0));
  fb->blurCrossfade(0.975f, 0, 1);
  readBand();
  const double mixed = 0.975 * blurredLevel(200);
  const int want = int(0.5 * 200 + 0.5 * mixed + 0.5);
  expectNear(at(256, 128), {want, 0, 0}, blurredSlack(200) / 2 + 2,
             "half sharp, half blurred mix");
}

TEST_F(FeedbackTest, BlurCrossfadeBlursAAsTheWeightRises) {
  fill(fb->textures[0], halves);
  fill(fb->textures[1], uniform(0, 0, 0));
  fb->blurCrossfade(0.5f, 0, 1);
  readBand();
  // Spread up to 0.1 of the width each way: the edge is smeared over tens of
  // pixels, darker towards the dark half.
  EXPECT_GT(at(250, 100).r, 10);
  EXPECT_LT(at(262, 100).r, at(300, 100).r + 1);
  EXPECT_LT(at(250, 100).r, at(262, 100).r);
}

TEST_F(FeedbackTest, TintedBlurWithoutPassesDrawsNothing) {
  glClearColor(0.2f, 0.4f, 0.6f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  fb->tintedBlur(0, 0, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f);
  readBand();
  expectNear(at(100, 100), {51, 102, 153}, 1, "frame untouched");
}

TEST_F(FeedbackTest, TintedBlurModulatesByItsColour) {
  fill(fb->textures[0], uniform(100, 100, 100));
  fb->tintedBlur(0, 1, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f);
  readBand();
  expectNear(at(256, 128), {102, 51, 0}, 3, "one pass of four taps, tinted");
}

// The credits' blur on the CPU against GL: a keyed picture (bars whose alpha
// alternates) and a work texture, both band-sized loaded textures with
// copies, as the scenes hand them. A slot without copies stays in GL.
TEST_F(FeedbackTest, TintedBlurOnTheCpuMatchesGl) {
  std::vector<unsigned char> keyed(kW * kH * 4);
  for (int i = 0; i < kW * kH; ++i) {
    const Rgb c = bars(i % kW, i / kW);
    const unsigned char texel[4] = {(unsigned char)c.r, (unsigned char)c.g, (unsigned char)c.b,
                                    (unsigned char)((i % kW) / 16 % 2 ? 255 : 0)};
    std::copy(texel, texel + 4, &keyed[size_t(i) * 4]);
  }
  GLuint names[2];
  glGenTextures(2, names);
  for (GLuint name : names) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kW, kH, 0, GL_RGBA, GL_UNSIGNED_BYTE, keyed.data());
    keepTextureCopy(hostSoftwarePasses().copies, name, kW, kH, 4, keyed.data());
  }
  const GLuint own[2] = {fb->textures[2], fb->textures[8]};
  fb->textures[2] = names[0];
  fb->textures[8] = names[1];
  std::vector<unsigned char> inGl;
  {
    FeedbackPathGuard gl(*fb, RenderChoice::Gl);
    fb->tintedBlur(2, 7, 1.0f, 0.5f, 0.06f, 1.0f, 0.8f, 0.6f);
    readBand();
    inGl = pixels;
  }
  FeedbackPathGuard software(*fb, RenderChoice::Software);
  const uint64_t blurs = softwarePassCounts().tintedBlur;
  fb->tintedBlur(2, 7, 1.0f, 0.5f, 0.06f, 1.0f, 0.8f, 0.6f);
  EXPECT_EQ(softwarePassCounts().tintedBlur, blurs + 1);
  readBand();
  int worst = 0;
  for (size_t i = 0; i < pixels.size(); ++i) worst = std::max(worst, std::abs(pixels[i] - inGl[i]));
  EXPECT_LE(worst, 8);  // GL rounds each tap's blend, the CPU each pass
  EXPECT_NE(inGl, std::vector<unsigned char>(inGl.size(), 0));
  fb->textures[2] = own[0];
  fb->textures[8] = own[1];
  fb->tintedBlur(2, 7, 1.0f, 0.5f, 0.06f, 1.0f, 0.8f, 0.6f);
  EXPECT_EQ(softwarePassCounts().tintedBlur, blurs + 1);  // no copies: GL drew it
  // The two textures stay: a name freed and made again would find their copies.
}

TEST_F(FeedbackTest, SwirlZoomAlphaHasAFloor) {
  fill(fb->textures[0], uniform(100, 100, 100));
  glClear(GL_COLOR_BUFFER_BIT);
  // zoom base 1 and offset -0.15 would give -0.058; the passes use 0.2.
  fb->swirlZoom(0, 0.0f, 0, 1.0f, 0.0f, 0.0f, 0.0f, -0.15f);
  readBand();
  const int want = int(100 * 0.2 * std::pow(1.2, 8) + 0.5);  // each pass adds 0.2 of itself
  for (int x : {0, 256, 511}) expectNear(at(x, 128), {want, want, want}, 5, "nine passes at 0.2");
}

TEST_F(FeedbackTest, RippleWithoutCoverShowsOnlyA) {
  fill(fb->textures[2], bars);
  fill(fb->textures[1], uniform(255, 0, 255));
  for (float rf : {0.0f, 1.0f}) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    fb->rippleTransition(2, 1, 0, 0, 0.0f, 0.0f, 0.0f, rf, rf == 0.0f ? 2.85f : 0.0f);
    readBand();
    for (int x = 8; x < 512; x += 64)
      for (int y : {2, 128, 253}) expectNear(at(x + 24, y), bars(x + 24, y), 2, "picture A");
  }
}

TEST_F(FeedbackTest, RippleCoverGrowsFromTheCentre) {
  fill(fb->textures[2], uniform(0, 200, 0));
  fill(fb->textures[1], uniform(200, 0, 0));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fb->rippleTransition(2, 1, 0, 0, 0.0f, 0.0f, 0.0f, 0.3f, 2.85f);
  readBand();
  // Cover at the centre is 2.85 * 0.5 * 0.3 * 2.2 = 0.94.
  expectNear(at(256, 128), {188, 12, 0}, 2, "centre: mostly B");
  expectNear(at(4, 4), {0, 200, 0}, 2, "corner: A");
  // Alphas of both passes add up to one everywhere.
  for (int x = 0; x < 512; x += 37) {
    const Rgb c = at(x, 128);
    EXPECT_NEAR(c.r + c.g, 200, 4) << x;
  }
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fb->rippleTransition(2, 1, 0, 0, 0.0f, 0.0f, 0.0f, 1.0f, 2.85f);  // the end of the sweep
  readBand();
  expectNear(at(256, 128), {200, 0, 0}, 2, "centre: B");
  expectNear(at(4, 4), {200, 0, 0}, 2, "corner: B");
}

TEST_F(FeedbackTest, RippleHidesAOnlyWhereANoLongerShows) {
  float first = 0.0f;  // the first sweep, in steps of 1/1000, that hides A
  while (first <= 1.0f && !rippleHidesOutgoing(first, 2.85f)) first += 0.001f;
  ASSERT_LT(first, 1.0f);
  fill(fb->textures[1], bars);
  for (RenderChoice choice : {RenderChoice::Gl, RenderChoice::Software}) {
    FeedbackPathGuard path(*fb, choice);
    for (float sweep : {first - 0.001f, first}) {
      std::vector<unsigned char> withA[2];
      for (int k = 0; k < 2; ++k) {
        fill(fb->textures[2], uniform(k * 250, k * 250, k * 250));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        fb->rippleTransition(2, 1, 0, 0, 2.1f, 0.8f, 5.0f, sweep, 2.85f);
        readBand();
        withA[k] = pixels;
      }
      if (sweep == first)
        EXPECT_EQ(withA[0], withA[1]) << "A shows once hidden";
      else
        EXPECT_NE(withA[0], withA[1]) << "A already hidden a step earlier";
    }
  }
}

TEST_F(FeedbackTest, RippleRimStaysAtDepthOne) {
  fill(fb->textures[2], bars);
  fill(fb->textures[1], uniform(0, 0, 0));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fb->rippleTransition(2, 1, 0, 0, 1.3f, 40.0f, 0.7f, 0.0f, 2.85f);

  // Window depth of eye distance 1 under the sheet's frustum (near 0.5, far 1000).
  const double n = 0.5, f = 1000.0;
  const double ndc = (f + n) / (f - n) - 2 * f * n / ((f - n) * 1.0);
  const double rimDepth = (ndc + 1) * 0.5;
  float depth[4] = {0, 0, 0, 0};
  glReadPixels(0, 64, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
  glReadPixels(511, 64, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
  glReadPixels(0, 319, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[2]);
  glReadPixels(511, 319, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[3]);
  for (float d : depth) EXPECT_NEAR(d, rimDepth, 2e-5);
  float centre = 0;
  glReadPixels(256, 192, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &centre);
  EXPECT_GT(centre, rimDepth + 1e-4);  // the middle of the sheet is pushed away
  glDisable(GL_DEPTH_TEST);
}

namespace {

// Fine detail in every channel, so a texel off shows.
Rgb texture(int x, int y) { return Rgb{x / 2, y, (x + 2 * y) / 5}; }

}  // namespace

TEST_F(FeedbackTest, RippleSheetOnTheCpuMatchesGl) {
  SKIP_UNLESS_LLVMPIPE();
  fill(fb->textures[2], texture);
  fill(fb->textures[1], bars);
  // The start, a half-covered rippling sheet, and the end of the sweep.
  const float params[3][5] = {{0.0f, 0.0f, 0.0f, 0.0f, 2.85f},
                              {2.1f, 0.8f, 5.0f, 0.35f, 2.85f},
                              {0.6f, 0.3f, 1.0f, 0.9f, 2.85f}};
  for (const float* p : params) {
    std::vector<unsigned char> gl;
    for (RenderChoice choice : {RenderChoice::Gl, RenderChoice::Software}) {
      FeedbackPathGuard path(*fb, choice);
      const uint64_t ripples = softwarePassCounts().ripple;
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      fb->rippleTransition(2, 1, 0, 0, p[0], p[1], p[2], p[3], p[4]);
      EXPECT_EQ(softwarePassCounts().ripple - ripples, choice == RenderChoice::Software ? 1u : 0u);
      readBand();
      if (choice == RenderChoice::Gl) gl = pixels;
    }
    int worst = 0, far = 0;
    double sum = 0;
    for (size_t i = 0; i < gl.size(); ++i) {
      const int e = std::abs(int(gl[i]) - int(pixels[i]));
      worst = std::max(worst, e);
      far += e > 8;
      sum += e;
    }
    // Folds of the sheet, where fragments of nearly equal depth overlap,
    // and sharp picture edges a fraction of a texel off account for the
    // few pixels apart.
    EXPECT_LE(sum / double(gl.size()), 0.6) << "worst " << worst;
    EXPECT_LE(far, int(gl.size() / 50)) << "levels more than 8 apart";
  }
  EXPECT_NE(pixels, std::vector<unsigned char>(pixels.size(), 0));
}

TEST_F(FeedbackTest, RippleSheetStaysInGlWhereTheCpuCannotTakeIt) {
  FeedbackPathGuard software(*fb, RenderChoice::Software);
  fill(fb->textures[2], bars);
  fill(fb->textures[1], uniform(0, 0, 0));
  const uint64_t ripples = softwarePassCounts().ripple;
  // A sheet drawn nearer than distance 1 reaches beyond the band.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fb->rippleTransition(2, 1, 0, 0, 1.3f, -0.9f, 0.7f, 0.0f, 2.85f);
  // A slot holding a picture the buffer did not make.
  const GLuint saved = fb->textures[2];
  fb->textures[2] = fb->textures[0];
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fb->rippleTransition(2, 1, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f, 2.85f);
  fb->textures[2] = saved;
  EXPECT_EQ(softwarePassCounts().ripple, ripples);
  glDisable(GL_DEPTH_TEST);
}

TEST_F(FeedbackTest, CrossfadeOnTheCpuMatchesGl) {
  SKIP_UNLESS_LLVMPIPE();
  fill(fb->textures[0], texture);
  fill(fb->textures[1], bars);
  // The quads add to the colour the crossfade clears to (the fractal's is
  // not black), saturating.
  for (float clear : {0.0f, 0.02f, 0.9f}) {
    fb->background = Colour{clear, clear * 0.8f, clear * 0.65f, 1};
    for (float w : {0.0f, 0.3f, 0.5f, 0.77f, 1.0f}) {
      std::vector<unsigned char> gl;
      for (RenderChoice choice : {RenderChoice::Gl, RenderChoice::Software}) {
        FeedbackPathGuard path(*fb, choice);
        const uint64_t crossfades = softwarePassCounts().crossfade;
        fb->crossfade(w, 0, 1);
        EXPECT_EQ(softwarePassCounts().crossfade - crossfades,
                  choice == RenderChoice::Software ? 1u : 0u);
        readBand();
        if (choice == RenderChoice::Gl) gl = pixels;
      }
      EXPECT_EQ(gl, pixels) << "weight " << w << ", clear " << clear;
    }
  }
  fb->background = kBlack;
  // A slot holding a picture the buffer did not make stays in GL.
  FeedbackPathGuard software(*fb, RenderChoice::Software);
  const GLuint saved = fb->textures[1];
  fb->textures[1] = fb->textures[2];
  const uint64_t crossfades = softwarePassCounts().crossfade;
  fb->crossfade(0.5f, 0, 1);
  fb->textures[1] = saved;
  EXPECT_EQ(softwarePassCounts().crossfade, crossfades);
}
