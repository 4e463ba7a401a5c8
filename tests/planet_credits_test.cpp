#include <gtest/gtest.h>

#include <cmath>

#include "scenes/ringed_planet.h"

namespace {

CreditState freshCredits() {
  CreditState c;
  initCreditSizes(c);
  return c;
}

}  // namespace

TEST(PlanetCredits, BlockSizesFromRectangles) {
  CreditState c = freshCredits();
  EXPECT_FLOAT_EQ(c.width[0], 210);
  EXPECT_FLOAT_EQ(c.height[0], 120);
  EXPECT_FLOAT_EQ(c.width[1], 260);
  EXPECT_FLOAT_EQ(c.width[2], 355);
  EXPECT_EQ(c.revealCount, 0);
}

TEST(PlanetCredits, NothingBeforeFirstEvent) {
  CreditState c = freshCredits();
  CreditBlur blurs[kCreditEventCount];
  EXPECT_EQ(stepCredits(c, 4.8f, blurs), 0);  // strictly after the event time
  EXPECT_EQ(c.revealCount, 0);
  for (int b = 0; b < kCreditBlockCount; ++b) {
    EXPECT_FLOAT_EQ(c.scaleX[b], 0.25f);
    EXPECT_FALSE(creditBlockShown(c, b));
  }
  EXPECT_EQ(stepCredits(c, 4.81f, blurs), 1);
  EXPECT_EQ(c.revealCount, 1);
  EXPECT_FLOAT_EQ(blurs[0].vSpread, 0.5f);
  EXPECT_TRUE(creditBlockShown(c, 0));
  EXPECT_EQ(creditBlockTexture(c, 0), 23);
}

TEST(PlanetCredits, JumpCountsSeveralEventsInOrder) {
  CreditState c = freshCredits();
  CreditBlur blurs[kCreditEventCount];
  // Past three appearances and the first leave in one frame: four blurs, the
  // three pops first, then the stretch.
  ASSERT_EQ(stepCredits(c, 12.5f, blurs), 4);
  EXPECT_EQ(c.revealCount, 4);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(blurs[i].vSpread, 0.5f) << i;
  EXPECT_FLOAT_EQ(blurs[3].vSpread, 1.0f);
  // Block 0 is leaving (blurred copy), blocks 1 and 2 sit in the plain copy.
  EXPECT_EQ(creditBlockTexture(c, 0), 23);
  EXPECT_EQ(creditBlockTexture(c, 1), 22);
  EXPECT_EQ(creditBlockTexture(c, 2), 22);
  EXPECT_GT(c.scaleX[0], 0.3f);
  EXPECT_LT(c.scaleY[0], 0.3f);

  // The latest event blurs in every frame: event 3 once more, then 4 and 5.
  ASSERT_EQ(stepCredits(c, 30.0f, blurs), 3);
  EXPECT_EQ(c.revealCount, 6);
  // Only the last block is left on screen, in the blurred copy.
  EXPECT_FALSE(creditBlockShown(c, 0));
  EXPECT_FALSE(creditBlockShown(c, 1));
  EXPECT_TRUE(creditBlockShown(c, 2));
  EXPECT_EQ(creditBlockTexture(c, 2), 23);
}

TEST(PlanetCredits, LaterEventWaitsForEarlierOne) {
  CreditState c = freshCredits();
  CreditBlur blurs[kCreditEventCount];
  // A count that fell behind is caught up one event at a time, in order,
  // never skipping to the latest due event.
  c.revealCount = 1;
  EXPECT_EQ(stepCredits(c, 6.0f, blurs), 1);  // event 1 is not due yet
  EXPECT_EQ(c.revealCount, 1);
  c.revealCount = 2;
  // Event 1 (the latest) blurs again, then 2, 3 and 4 are counted.
  EXPECT_EQ(stepCredits(c, 14.5f, blurs), 4);
  EXPECT_EQ(c.revealCount, 5);
  EXPECT_FLOAT_EQ(blurs[1].vSpread, 0.5f);
  EXPECT_FLOAT_EQ(blurs[2].vSpread, 1.0f);
}

TEST(PlanetCredits, ShownBlockScalesAreContinuous) {
  CreditState c = freshCredits();
  CreditBlur blurs[kCreditEventCount];
  float lastX[kCreditBlockCount], lastY[kCreditBlockCount];
  bool lastShown[kCreditBlockCount] = {};
  for (int ms = 0; ms <= 20000; ++ms) {
    stepCredits(c, float(ms) * 0.001f, blurs);
    for (int b = 0; b < kCreditBlockCount; ++b) {
      const bool shown = creditBlockShown(c, b);
      if (shown && lastShown[b]) {
        ASSERT_NEAR(c.scaleX[b], lastX[b], 0.01f) << "block " << b << " at " << ms;
        ASSERT_NEAR(c.scaleY[b], lastY[b], 0.01f) << "block " << b << " at " << ms;
      }
      lastShown[b] = shown;
      lastX[b] = c.scaleX[b];
      lastY[b] = c.scaleY[b];
    }
  }
}

TEST(PlanetCredits, ScaleMeetsBaseAtEventBoundaries) {
  CreditBlur blurs[kCreditEventCount];
  // Just before and after the end of block 0's appearance.
  CreditState c = freshCredits();
  stepCredits(c, 6.789f, blurs);
  EXPECT_NEAR(c.scaleX[0], 0.3f, 0.002f);
  stepCredits(c, 6.801f, blurs);
  EXPECT_FLOAT_EQ(c.scaleX[0], 0.3f);
  // Either side of the start of its leave.
  c = freshCredits();
  stepCredits(c, 11.999f, blurs);
  EXPECT_FLOAT_EQ(c.scaleX[0], 0.3f);
  stepCredits(c, 12.001f, blurs);
  EXPECT_NEAR(c.scaleX[0], 0.3f, 0.001f);
  EXPECT_NEAR(c.scaleY[0], 0.3f, 0.001f);
}

TEST(PlanetCamera, TurnRateChangesAtTwentySeconds) {
  RingedPlanetState s;
  s.sceneSeconds = 19.999f;
  turnPlanetCamera(s, 1000);
  EXPECT_NEAR(s.yawAngle, 0.02f, 1e-6f);
  EXPECT_NEAR(s.pitchAngle, 0.01f, 1e-6f);

  RingedPlanetState t;
  t.sceneSeconds = 20.0f;
  turnPlanetCamera(t, 1000);
  EXPECT_NEAR(t.yawAngle, 0.025f, 1e-6f);
  EXPECT_NEAR(t.pitchAngle, 0.02f, 1e-6f);
  // The forward vector follows the angles and stays unit length.
  EXPECT_NEAR(t.camera.forward.lengthSquared(), 1.0f, 1e-5f);
  EXPECT_NE(t.camera.forward.x, 0.0f);
}

TEST(PlanetCraft, EachStartsAfterItsOwnTime) {
  EXPECT_FALSE(craftFlying(0, 21.0f));
  EXPECT_TRUE(craftFlying(0, 21.01f));
  EXPECT_FALSE(craftFlying(1, 21.01f));
  EXPECT_FALSE(craftFlying(1, 21.4f));
  EXPECT_TRUE(craftFlying(1, 21.41f));
  EXPECT_FALSE(craftFlying(2, 21.79f));
  EXPECT_TRUE(craftFlying(2, 21.81f));
}
