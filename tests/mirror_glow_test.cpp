#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gl_test_context.h"
#include "host/screen.h"
#include "scenes/mirror_hall.h"
#include "software/text_glow.h"
#include "render_path_guard.h"
#include "software/texture_copies.h"

namespace {

constexpr int kTextSlot = 24;
constexpr int kGlowSlot = 25;

std::vector<unsigned char> textureRgb(int name) {
  std::vector<unsigned char> rgb(512 * 256 * 3);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

int brightness(const std::vector<unsigned char>& rgb, int x, int rowFromTop) {
  const size_t i = (size_t(255 - rowFromTop) * 512 + size_t(x)) * 3;
  return rgb[i] + rgb[i + 1] + rgb[i + 2];
}

struct GlowCounts {
  int lit = 0;     // text pixels that glow
  int spread = 0;  // pixels away from any text that glow
};

// Inside the first piece, away from the rows its neighbours share.
GlowCounts glowAt(float seconds) {
  drawTextGlow(testDemo().gfx, seconds, kTextSlot, kGlowSlot, softwarePasses());
  const std::vector<unsigned char> source = textureRgb(kTextSlot);
  const std::vector<unsigned char> glow = textureRgb(kGlowSlot);
  GlowCounts c;
  for (int y = 55; y < 86; ++y) {
    for (int x = 285; x < 486; ++x) {
      bool nearText = false;
      for (int dy = -1; dy <= 1 && !nearText; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (brightness(source, x + dx, y + dy) > 30) nearText = true;
      const int g = brightness(glow, x, y);
      if (brightness(source, x, y) > 600 && g > 300) ++c.lit;
      if (!nearText && g > 60) ++c.spread;
    }
  }
  return c;
}

}  // namespace

TEST(MirrorGlow, FullStrengthPieceIsSharp) {
  ASSERT_TRUE(startDemoOnce(800, 600));
  ASSERT_FLOAT_EQ(textPieceStrength(0, 10.0f), 1.0f);
  const GlowCounts sharp = glowAt(10.0f);
  EXPECT_GT(sharp.lit, 300);
  EXPECT_EQ(sharp.spread, 0);
  // Part way in, the same piece is a wide blur around its letters.
  const float a = textPieceStrength(0, 8.6f);
  ASSERT_GT(a, 0.5f);
  ASSERT_LT(a, 0.9f);
  const GlowCounts soft = glowAt(8.6f);
  EXPECT_GT(soft.spread, 200);
}

TEST(MirrorGlow, NothingShowsBeforeTheFirstPiece) {
  ASSERT_TRUE(startDemoOnce(800, 600));
  drawTextGlow(testDemo().gfx, 3.0f, kTextSlot, kGlowSlot, softwarePasses());
  const std::vector<unsigned char> glow = textureRgb(kGlowSlot);
  size_t lit = 0;
  for (unsigned char v : glow) lit += v > 0;
  EXPECT_EQ(lit, 0u);
}

namespace {

std::vector<uint8_t> uniformPicture(uint8_t level, uint8_t alpha) {
  std::vector<uint8_t> p(size_t(kBandWidth) * kBandHeight * 4);
  for (size_t i = 0; i < p.size(); i += 4) {
    p[i] = p[i + 1] = p[i + 2] = level;
    p[i + 3] = alpha;
  }
  return p;
}

const uint8_t* pixel(const std::vector<uint8_t>& p, int x, int row) {
  return &p[(size_t(row) * kBandWidth + size_t(x)) * 4];
}

void paintGlow(const uint8_t* source, const GlowPiece* pieces, int pieceCount,
               const float* offsets, int passCount, const uint8_t clear[3], uint8_t* out) {
  GlowScratch scratch;
  paintTextGlow(source, pieces, pieceCount, offsets, passCount, clear, out, scratch);
}

}  // namespace

TEST(MirrorGlowPainter, SharpPieceAddsFourRoundedSamplesOverTheClearColour) {
  const std::vector<uint8_t> source = uniformPicture(200, 255);
  std::vector<uint8_t> out(source.size());
  const GlowPiece piece{10, 20, 5, 9, {1.0f, 0.5f, 0.0f}};
  const float offsets[2] = {0.0f, 0.0f};
  const uint8_t clear[3] = {3, 2, 1};
  paintGlow(source.data(), &piece, 1, offsets, 1, clear, out.data());
  // Each sample: round(round(tint * 200) * round(0.2539 * 255) / 255).
  EXPECT_EQ(pixel(out, 10, 5)[0], 3 + 4 * 51);
  EXPECT_EQ(pixel(out, 19, 8)[1], 2 + 4 * 25);
  EXPECT_EQ(pixel(out, 15, 6)[2], 1);
  EXPECT_EQ(pixel(out, 15, 6)[3], 255);
  // Outside the piece only the clear colour.
  for (const auto& xy : {std::pair<int, int>{9, 5}, {20, 5}, {10, 4}, {10, 9}})
    EXPECT_EQ(pixel(out, xy.first, xy.second)[0], 3) << xy.first << "," << xy.second;

  // A second pass samples the first: 207 and 102 inside the piece.
  paintGlow(source.data(), &piece, 1, offsets, 2, clear, out.data());
  EXPECT_EQ(pixel(out, 12, 6)[0], 3 + 4 * 53);
  EXPECT_EQ(pixel(out, 12, 6)[1], 2 + 4 * 13);

  // Sums saturate.
  const std::vector<uint8_t> white = uniformPicture(255, 255);
  paintGlow(white.data(), &piece, 1, offsets, 1, clear, out.data());
  EXPECT_EQ(pixel(out, 12, 6)[0], 255);
}

TEST(MirrorGlowPainter, FirstPassWeighsByTheSourceAlphaLaterPassesDoNot) {
  std::vector<uint8_t> source = uniformPicture(0, 0);
  // One opaque texel; the piece samples it half a texel to the right.
  uint8_t* lit = &source[(size_t(40) * kBandWidth + 100) * 4];
  lit[0] = lit[1] = lit[2] = 200;
  lit[3] = 255;
  const GlowPiece piece{90, 110, 35, 45, {1, 1, 1}};
  // o = 1/512 puts the four samples at (+-0.5, +-0.25) texels.
  const float offsets[2] = {1.0f / 512.0f, 0.0f};
  const uint8_t clear[3] = {0, 0, 0};
  std::vector<uint8_t> out(source.size());
  paintGlow(source.data(), &piece, 1, offsets, 1, clear, out.data());
  // At (100, 40) each sample weighs the texel by 3/8 for colour and again
  // for alpha: round(75 * round(0.2539 * 96) / 255) = 7, four times.
  EXPECT_EQ(pixel(out, 100, 40)[0], 4 * 7);
  EXPECT_EQ(pixel(out, 95, 40)[0], 0);
  // The second pass samples an opaque picture: no alpha weighting.
  paintGlow(source.data(), &piece, 1, offsets, 2, clear, out.data());
  EXPECT_GT(pixel(out, 100, 40)[0], 0);
}

TEST(MirrorGlowPainter, SamplesRepeatAcrossTheEdgesAndOddOffsetsStayInside) {
  std::vector<uint8_t> source = uniformPicture(0, 255);
  for (int row = 0; row < kBandHeight; ++row) {
    uint8_t* p = &source[(size_t(row) * kBandWidth + kBandWidth - 1) * 4];
    p[0] = p[1] = p[2] = 255;
  }
  const GlowPiece piece{0, 4, 250, 260, {1, 1, 1}};
  // Two texels across: column 1 samples the last column.
  const float offsets[1] = {4.0f / 512.0f};
  const uint8_t clear[3] = {0, 0, 0};
  std::vector<uint8_t> out(source.size());
  paintGlow(source.data(), &piece, 1, offsets, 1, clear, out.data());
  EXPECT_GT(pixel(out, 1, 255)[0], 0);
  EXPECT_EQ(pixel(out, 0, 255)[0], 0);
  EXPECT_GT(pixel(out, 1, 250)[0], 0);
  EXPECT_EQ(pixel(out, 3, 250)[0], 0);

  for (float odd : {std::nanf(""), INFINITY, -INFINITY, 1e30f, -1e30f}) {
    const float o[2] = {odd, odd};
    paintGlow(source.data(), &piece, 1, o, 2, clear, out.data());
    for (int x = 0; x < 4; ++x) EXPECT_LE(pixel(out, x, 252)[0], 255);
  }
}

// The CPU passes against the GL passes they replace, on the real text.
TEST(MirrorGlow, CpuPassesMatchTheGlPasses) {
  ASSERT_TRUE(startDemoOnce(800, 600));
  SKIP_UNLESS_LLVMPIPE();
  if (!textureCopy(kTextSlot))
    GTEST_SKIP() << "the textures were loaded on the gl path (LUMIVAARA_RENDER=gl): no copies";
  glClearColor(0, 0, 0, 1);  // the hall's
  for (float seconds : {3.0f, 8.6f, 10.0f, 12.9f, 21.5f, 30.0f}) {
    std::vector<unsigned char> gl, cpu;
    {
      RenderPathGuard path(RenderChoice::Gl);
      drawTextGlow(testDemo().gfx, seconds, kTextSlot, kGlowSlot, softwarePasses());
      gl = textureRgb(kGlowSlot);
    }
    {
      RenderPathGuard path(RenderChoice::Software);
      const uint64_t glows = softwarePassCounts().glow;
      drawTextGlow(testDemo().gfx, seconds, kTextSlot, kGlowSlot, softwarePasses());
      ASSERT_EQ(softwarePassCounts().glow, glows + 1) << "no copy of the text texture";
      cpu = textureRgb(kGlowSlot);
    }
    int worst = 0;
    double total = 0;
    for (size_t i = 0; i < gl.size(); ++i) {
      const int d = std::abs(int(gl[i]) - int(cpu[i]));
      worst = std::max(worst, d);
      total += d;
    }
    EXPECT_LE(worst, 4) << seconds;
    EXPECT_LT(total / double(gl.size()), 0.05) << seconds;
  }
}

// A source texture without a copy kept at load time is one that may change:
// it is never handed to the software pass, and GL makes the glow from it.
TEST(MirrorGlow, TexturesWithoutACopyStayInGl) {
  ASSERT_TRUE(startDemoOnce(800, 600));
  glClearColor(0, 0, 0, 1);
  GLuint changing = 0;
  glGenTextures(1, &changing);
  glBindTexture(GL_TEXTURE_2D, changing);
  std::vector<unsigned char> text(size_t(kBandWidth) * kBandHeight * 4);
  for (size_t i = 0; i < text.size(); ++i) text[i] = (i / 4) % 7 == 0 ? 255 : 0;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBandWidth, kBandHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               text.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  std::vector<unsigned char> results[2];
  for (bool software : {false, true}) {
    RenderPathGuard path(software ? RenderChoice::Software : RenderChoice::Gl);
    const uint64_t glows = softwarePassCounts().glow;
    drawTextGlow(testDemo().gfx, 10.0f, int(changing), kGlowSlot, softwarePasses());
    EXPECT_EQ(softwarePassCounts().glow, glows);
    results[software] = textureRgb(kGlowSlot);
  }
  glDeleteTextures(1, &changing);
  EXPECT_EQ(results[0], results[1]);
  EXPECT_NE(results[0], std::vector<unsigned char>(results[0].size(), 0));
}

// More pieces than one GL draw of the pass holds are drawn in turns: each
// piece exactly once, none lost at a turn.
TEST(MirrorGlow, ManyPiecesAreEachDrawnOnce) {
  ASSERT_TRUE(startDemoOnce(800, 600));
  GLuint source = 0;
  glGenTextures(1, &source);
  glBindTexture(GL_TEXTURE_2D, source);
  const std::vector<uint8_t> grey = uniformPicture(200, 255);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBandWidth, kBandHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               grey.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  constexpr int kPieces = 20;
  GlowPiece pieces[kPieces];
  float offsets[kPieces] = {};
  for (int k = 0; k < kPieces; ++k) pieces[k] = {25 * k, 25 * k + 10, 100, 110, {1, 1, 1}};
  TextGlowJob job;
  job.source = source;
  job.glow = kGlowSlot;
  job.pieces = pieces;
  job.pieceCount = kPieces;
  job.offsets = offsets;
  job.passCount = 1;
  runTextGlow(testDemo().gfx, nullptr, job);
  glDeleteTextures(1, &source);
  const std::vector<unsigned char> glow = textureRgb(kGlowSlot);
  const int first = brightness(glow, 5, 255 - 105);
  EXPECT_GT(first, 0);
  for (int k = 0; k < kPieces; ++k) {
    EXPECT_EQ(brightness(glow, 25 * k + 5, 255 - 105), first) << "piece " << k;
    EXPECT_EQ(brightness(glow, 25 * k + 15, 255 - 105), 0) << "after piece " << k;
  }
}
