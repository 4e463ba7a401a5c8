#include <gtest/gtest.h>

#include "scenes/tunnel.h"

TEST(TunnelText, NothingBeforeSeventeenSeconds) {
  TunnelState s;
  TunnelTextBlur blur{};
  EXPECT_FALSE(stepTunnelText(s, 0.0f, blur));
  EXPECT_FALSE(stepTunnelText(s, 17.0f, blur));  // strictly after the event time
  EXPECT_EQ(s.textStage, 0);
}

TEST(TunnelText, FadeInStartsBlurredAndBlackEndsSharpAndFull) {
  TunnelState s;
  TunnelTextBlur blur{};
  ASSERT_TRUE(stepTunnelText(s, 17.001f, blur));
  EXPECT_EQ(s.textStage, 1);
  EXPECT_NEAR(blur.amount, 0.06f, 1e-4f);
  EXPECT_NEAR(blur.red, 0.0f, 1e-4f);
  EXPECT_NEAR(blur.green, 0.0f, 1e-4f);
  EXPECT_FLOAT_EQ(blur.red, blur.blue);
  EXPECT_FLOAT_EQ(blur.vSpread, 0.5f);

  // Full colour once 1.5 e reaches 1 (about 18.4 s), before it is sharp.
  ASSERT_TRUE(stepTunnelText(s, 18.5f, blur));
  EXPECT_FLOAT_EQ(blur.red, 1.0f);
  EXPECT_FLOAT_EQ(blur.green, 1.0f);
  EXPECT_GT(blur.amount, 0.0f);

  ASSERT_TRUE(stepTunnelText(s, 18.99f, blur));
  EXPECT_NEAR(blur.amount, 0.0f, 1e-6f);
  // Sharp and full colour until the fade out.
  ASSERT_TRUE(stepTunnelText(s, 24.9f, blur));
  EXPECT_EQ(s.textStage, 1);
  EXPECT_NEAR(blur.amount, 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(blur.green, 1.0f);
}

TEST(TunnelText, FadeOutDarkensAndBlursAndStays) {
  TunnelState s;
  TunnelTextBlur blur{};
  ASSERT_TRUE(stepTunnelText(s, 20.0f, blur));
  ASSERT_TRUE(stepTunnelText(s, 25.001f, blur));
  EXPECT_EQ(s.textStage, 2);
  EXPECT_FLOAT_EQ(blur.vSpread, 1.0f);
  EXPECT_NEAR(blur.amount, 0.0f, 1e-4f);
  EXPECT_NEAR(blur.green, 1.0f, 1e-3f);

  ASSERT_TRUE(stepTunnelText(s, 26.0f, blur));
  EXPECT_GT(blur.amount, 0.0f);
  EXPECT_LT(blur.green, 1.0f);
  EXPECT_LT(blur.red, blur.green);  // e^1.2 < e for 0 < e < 1

  ASSERT_TRUE(stepTunnelText(s, 27.0f, blur));
  EXPECT_NEAR(blur.amount, 0.06f, 1e-6f);
  EXPECT_NEAR(blur.green, 0.0f, 1e-6f);
  EXPECT_EQ(s.textStage, 2);
}

TEST(TunnelText, StagesGoInOrderAndNeverBack) {
  TunnelState s;
  TunnelTextBlur blur{};
  // A jump past both events starts both at once; the fade out is described.
  ASSERT_TRUE(stepTunnelText(s, 30.0f, blur));
  EXPECT_EQ(s.textStage, 2);
  EXPECT_FLOAT_EQ(blur.vSpread, 1.0f);
  ASSERT_TRUE(stepTunnelText(s, 10.0f, blur));
  EXPECT_EQ(s.textStage, 2);
}

TEST(TunnelText, FadeWeightRisesOverTwoSecondsAndHolds) {
  EXPECT_FLOAT_EQ(tunnelFadeWeight(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(tunnelFadeWeight(1000.0f), 0.5f);
  EXPECT_FLOAT_EQ(tunnelFadeWeight(2000.0f), 1.0f);
  EXPECT_FLOAT_EQ(tunnelFadeWeight(6000.0f), 1.0f);
  EXPECT_FLOAT_EQ(tunnelFadeWeight(-5.0f), 0.0f);
}

TEST(TunnelText, SharpTextIsBlurredOnceUntilTheFadeOut) {
  TunnelState s;
  TunnelScene held;
  TunnelTextBlur blur{};
  ASSERT_TRUE(stepTunnelText(s, 17.5f, blur));
  EXPECT_FALSE(tunnelBlurHeld(held, blur));  // nothing held yet
  held.heldBlur = blur;
  held.blurHeld = true;
  ASSERT_TRUE(stepTunnelText(s, 17.6f, blur));
  EXPECT_FALSE(tunnelBlurHeld(held, blur));  // still sharpening

  ASSERT_TRUE(stepTunnelText(s, 19.5f, blur));
  held.heldBlur = blur;
  ASSERT_TRUE(stepTunnelText(s, 23.0f, blur));
  EXPECT_TRUE(tunnelBlurHeld(held, blur));  // sharp and full: texture 30 is current
  ASSERT_TRUE(stepTunnelText(s, 25.5f, blur));
  EXPECT_FALSE(tunnelBlurHeld(held, blur));
}
