#include <gtest/gtest.h>

#include <cmath>

#include "math/time_window.h"

namespace {

constexpr float kEps = 1e-5f;

TEST(TimeWindowLayout, ThreeFloatsDefaultSpanOne) {
  static_assert(sizeof(TimeWindow) == 3 * sizeof(float), "three floats");
  TimeWindow w;
  EXPECT_EQ(w.start, 0.0f);
  EXPECT_EQ(w.length, 0.0f);
  EXPECT_EQ(w.span, 1.0f);
  TimeWindow v{17.5f, 6.0f, 1.0f};
  EXPECT_EQ(v.start, 17.5f);
  EXPECT_EQ(v.length, 6.0f);
}

TEST(TimeWindowRise, BoundariesAndMiddle) {
  TimeWindow w{2.0f, 4.0f, 1.0f};
  EXPECT_EQ(w.rise(0.0f), 0.0f);
  EXPECT_EQ(w.rise(2.0f), 0.0f);  // equality counts as before
  EXPECT_NEAR(w.rise(3.0f), 0.25f, kEps);
  EXPECT_EQ(w.rise(6.0f), 1.0f);  // u = 1 at the end
  EXPECT_EQ(w.rise(100.0f), 1.0f);

  EXPECT_EQ(w.fall(1.0f), 1.0f);
  EXPECT_EQ(w.fall(2.0f), 1.0f);
  EXPECT_NEAR(w.fall(3.0f), 0.75f, kEps);
  EXPECT_EQ(w.fall(6.0f), 0.0f);
  EXPECT_EQ(w.fall(7.0f), 0.0f);
}

TEST(TimeWindowRise, IgnoresSpan) {
  TimeWindow w{0.0f, 1.0f, 3.0f};
  EXPECT_EQ(w.rise(1.5f), 1.0f);
  EXPECT_EQ(w.fall(1.5f), 0.0f);
}

TEST(TimeWindowZeroLength, NeverDivides) {
  TimeWindow w{5.0f, 0.0f, 1.0f};
  EXPECT_EQ(w.rise(5.0f), 0.0f);
  EXPECT_EQ(w.rise(5.001f), 1.0f);
  EXPECT_EQ(w.fall(5.0f), 1.0f);
  EXPECT_EQ(w.fall(5.001f), 0.0f);
  EXPECT_EQ(w.easeIn(5.0f, 1, 1), 0.0f);
  EXPECT_EQ(w.easeIn(5.001f, 1, 1), 1.0f);
  EXPECT_EQ(w.ringOut(5.0f, 1, 1), 1.0f);
  EXPECT_EQ(w.ringOut(5.001f, 1, 1), 0.0f);

  TimeWindow d;  // default: every t > 0 is after
  EXPECT_EQ(d.rise(0.0f), 0.0f);
  EXPECT_EQ(d.rise(0.5f), 1.0f);
}

TEST(TimeWindowEaseIn, ValuesAlongTheWindow) {
  TimeWindow w{17.5f, 6.0f, 1.0f};
  EXPECT_EQ(w.easeIn(17.5f, 1, 1), 0.0f);
  EXPECT_NEAR(w.easeIn(20.5f, 1, 1), 0.25f, kEps);
  EXPECT_NEAR(w.easeIn(23.5f, 1, 1), 1.0f, kEps);
  EXPECT_EQ(w.easeIn(23.6f, 1, 1), 1.0f);
  EXPECT_EQ(w.easeIn(40.0f, 1, 1), 1.0f);

  // Exponent bends the envelope: u = 0.5, exponent 2 -> 0.25 * 0.5.
  EXPECT_NEAR(w.easeIn(20.5f, 1, 2), 0.125f, kEps);
  // Frequency 2 at u = 0.5: 0.5 * (1 - cos(pi)) / 2 = 0.5.
  EXPECT_NEAR(w.easeIn(20.5f, 2, 1), 0.5f, 1e-4f);
}

TEST(TimeWindowEaseIn, SpanExtendsAndMinClamps) {
  TimeWindow w{0.0f, 1.0f, 2.0f};
  // u = 1.2: 1.2 * (1 - cos(1.2 pi)) / 2 > 1, clamped.
  EXPECT_EQ(w.easeIn(1.2f, 1, 1), 1.0f);
  // u = 1.5: 1.5 * (1 - cos(1.5 pi)) / 2 = 0.75, still inside the span.
  EXPECT_NEAR(w.easeIn(1.5f, 1, 1), 0.75f, 1e-4f);
  // u = 1.9: well below 1 (the curve dips again before the span ends).
  const float expected = 1.9f * (1.0f - std::cos(3.14159f * 1.9f)) / 2.0f;
  EXPECT_NEAR(w.easeIn(1.9f, 1, 1), expected, 1e-4f);
  EXPECT_LT(w.easeIn(1.9f, 1, 1), 0.1f);
  EXPECT_EQ(w.easeIn(2.01f, 1, 1), 1.0f);
}

TEST(TimeWindowRingOut, ValuesAlongTheWindow) {
  TimeWindow w{10.0f, 2.0f, 1.0f};
  EXPECT_EQ(w.ringOut(9.0f, 1, 1), 1.0f);
  EXPECT_EQ(w.ringOut(10.0f, 1, 1), 1.0f);
  EXPECT_NEAR(w.ringOut(11.0f, 1, 1), 0.25f, kEps);   // 0.5 * (1 + 0) / 2
  EXPECT_NEAR(w.ringOut(11.0f, 1, 2), 0.125f, kEps);  // 0.25 * 0.5
  EXPECT_EQ(w.ringOut(12.0f, 1, 1), 0.0f);            // exactly 0 at the end
  EXPECT_EQ(w.ringOut(12.5f, 1, 1), 0.0f);            // and stays there
  EXPECT_EQ(w.ringOut(50.0f, 3, 0.5f), 0.0f);

  // Frequency 3 rings: zero at u = 1/3, back up to (1/3) at u = 2/3.
  EXPECT_NEAR(w.ringOut(10.0f + 2.0f / 3.0f, 3, 1), 0.0f, 1e-4f);
  EXPECT_NEAR(w.ringOut(10.0f + 4.0f / 3.0f, 3, 1), 1.0f / 3.0f, 1e-4f);
}

TEST(AngleOf, AllQuadrantsAndAxis) {
  EXPECT_FLOAT_EQ(angleOf(1, 0), 1.570795f);
  EXPECT_FLOAT_EQ(angleOf(0, 0), -1.570795f);
  EXPECT_FLOAT_EQ(angleOf(-1, 0), -1.570795f);
  EXPECT_NEAR(angleOf(1, -1), 3.14159f - 0.7853982f, 1e-5f);
  EXPECT_NEAR(angleOf(-1, -1), 3.14159f + 0.7853982f, 1e-5f);
  EXPECT_NEAR(angleOf(1, 1), 0.7853982f, 1e-6f);
  EXPECT_NEAR(angleOf(-1, 1), -0.7853982f, 1e-6f);
  EXPECT_NEAR(angleOf(0, -2), 3.14159f, 1e-6f);
}

TEST(PictureCoordinates, TexAndScreen) {
  EXPECT_FLOAT_EQ(texS(0), 0.0f);
  EXPECT_FLOAT_EQ(texS(256), 0.5f);
  EXPECT_FLOAT_EQ(texS(512), 1.0f);
  EXPECT_FLOAT_EQ(texT(0), 1.0f);
  EXPECT_FLOAT_EQ(texT(64), 0.75f);
  EXPECT_FLOAT_EQ(texT(256), 0.0f);
  EXPECT_FLOAT_EQ(screenX(0), -256.0f);
  EXPECT_FLOAT_EQ(screenX(512), 256.0f);
  EXPECT_FLOAT_EQ(screenY(0), 128.0f);
  EXPECT_FLOAT_EQ(screenY(256), -128.0f);
}

TEST(Saturate255, ApproachesFullScale) {
  EXPECT_FLOAT_EQ(saturate255(0, 3), 0.0f);
  EXPECT_NEAR(saturate255(1, std::log(2.0f)), 127.5f, 1e-3f);
  EXPECT_NEAR(saturate255(2, std::log(2.0f)), 191.25f, 1e-3f);
  EXPECT_NEAR(saturate255(100, 1), 255.0f, 1e-3f);
}

}  // namespace
