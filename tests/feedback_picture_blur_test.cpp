#include "software/picture_blur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr float kTap = 0.25390625f;  // 65/256 per tap, as the dissolve uses

struct Picture {
  int width, height;
  std::vector<uint8_t> rgba;
  Picture(int w, int h) : width(w), height(h), rgba(size_t(w) * h * 4, 0) {}
  uint8_t& at(int x, int y, int c) { return rgba[(size_t(y) * width + x) * 4 + c]; }
};

// Distinct, irregular levels in every channel, all low enough not to saturate.
Picture pattern(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) p.at(x, y, c) = uint8_t((x * 37 + y * 11 + c * 53) % 60);
  return p;
}

Picture blurred(const Picture& src, float spreadS, float spreadT) {
  Picture out(src.width, src.height);
  std::vector<float> row;
  blurRepeatingPicture(src.rgba.data(), out.rgba.data(), src.width, src.height, spreadS, spreadT,
                       kTap, row);
  return out;
}

int level(double v) { return int(std::min(255.0, std::floor(v + 0.5))); }

}  // namespace

TEST(PictureBlur, CoincidingTapsScaleEveryTexelAndSaturate) {
  Picture src(16, 8);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 8; ++y)
      for (int c = 0; c < 4; ++c) src.at(x, y, c) = uint8_t(x * 16 + c);
  Picture out = blurred(src, 0.0f, 0.0f);
  for (int x = 0; x < 16; ++x)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(out.at(x, 5, c), level(4 * kTap * src.at(x, 5, c))) << x << "," << c;
  EXPECT_EQ(out.at(15, 0, 0), 244);  // 240 * 1.015625 = 243.75
  src.at(15, 0, 3) = 255;
  EXPECT_EQ(blurred(src, 0.0f, 0.0f).at(15, 0, 3), 255);  // 259 saturates
}

TEST(PictureBlur, WholeTexelSpreadsReadAcrossTheWrap) {
  Picture src = pattern(32, 16);
  // Three texels across, none down: two taps on each side, same texel.
  Picture across = blurred(src, 3.0f / 32, 0.0f);
  // Two rows down, none across.
  Picture down = blurred(src, 0.0f, 2.0f / 16);
  for (int y : {0, 1, 7, 15})
    for (int x : {0, 2, 3, 17, 30, 31})
      for (int c = 0; c < 4; ++c) {
        const int left = (x + 32 - 3) % 32, right = (x + 3) % 32;
        EXPECT_EQ(across.at(x, y, c), level(2 * kTap * (src.at(left, y, c) + src.at(right, y, c))))
            << x << "," << y;
        const int below = (y + 16 - 2) % 16, above = (y + 2) % 16;
        EXPECT_EQ(down.at(x, y, c), level(2 * kTap * (src.at(x, below, c) + src.at(x, above, c))))
            << x << "," << y;
      }
}

TEST(PictureBlur, FractionalSpreadsFilterBilinearlyInBothDirections) {
  Picture src = pattern(32, 16);
  // 1.25 texels across and 0.5 down: each of the four taps is a bilinear
  // sample, summed here the slow way.
  const double a = 1.25, b = 0.5;
  Picture out = blurred(src, float(a / 32), float(b / 16));
  auto texel = [&](int x, int y, int c) { return double(src.at((x + 32) % 32, (y + 16) % 16, c)); };
  auto sample = [&](double x, double y, int c) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    return (1 - fx) * (1 - fy) * texel(x0, y0, c) + fx * (1 - fy) * texel(x0 + 1, y0, c) +
           (1 - fx) * fy * texel(x0, y0 + 1, c) + fx * fy * texel(x0 + 1, y0 + 1, c);
  };
  for (int y : {0, 5, 15})
    for (int x : {0, 1, 16, 31})
      for (int c = 0; c < 4; ++c) {
        const double sum = sample(x - a, y - b, c) + sample(x + a, y - b, c) +
                           sample(x - a, y + b, c) + sample(x + a, y + b, c);
        EXPECT_EQ(out.at(x, y, c), level(kTap * sum)) << x << "," << y << "," << c;
      }
}

TEST(PictureBlur, SpreadsBeyondThePictureRepeatAndNonFiniteOnesDrawTheTexelItself) {
  Picture src = pattern(32, 16);
  const Picture small = blurred(src, 3.0f / 32, 1.0f / 16);
  EXPECT_EQ(blurred(src, 35.0f / 32, 17.0f / 16).rgba, small.rgba);
  EXPECT_EQ(blurred(src, -3.0f / 32, -1.0f / 16).rgba, small.rgba);  // taps are symmetric
  EXPECT_EQ(blurred(src, NAN, INFINITY).rgba, blurred(src, 0.0f, 0.0f).rgba);
}
