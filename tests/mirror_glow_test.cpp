#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "gl_test_context.h"
#include "host/host.h"
#include "scenes/mirror_hall.h"

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
  setSceneViewport(800, 600);
  drawTextGlow(seconds, kTextSlot, kGlowSlot);
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
  setSceneViewport(800, 600);
  drawTextGlow(3.0f, kTextSlot, kGlowSlot);
  const std::vector<unsigned char> glow = textureRgb(kGlowSlot);
  size_t lit = 0;
  for (unsigned char v : glow) lit += v > 0;
  EXPECT_EQ(lit, 0u);
}
