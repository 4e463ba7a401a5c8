#include <gtest/gtest.h>

#include <cmath>

#include "math/crt_random.h"
#include "math/spline_path.h"
#include "scenes/spikes.h"

TEST(SpikeGrowth, ExponentIsExactlyMinusOneUpToTheStart) {
  SpikeScene s;
  for (int i = 0; i < kSpikeCount; ++i) {
    EXPECT_EQ(spikeGrowthExponent(s, i, 0.0f), -1.0f);
    EXPECT_EQ(spikeGrowthExponent(s, i, 4.59f), -1.0f);
    EXPECT_EQ(spikeGrowthExponent(s, i, s.spikeStart[i]), -1.0f) << i;
    // Ends near 6.43, then holds at 6.
    EXPECT_NEAR(spikeGrowthExponent(s, i, s.spikeStart[i] + 10.899f), 6.4286f, 0.01f);
    EXPECT_EQ(spikeGrowthExponent(s, i, s.spikeStart[i] + 10.9f), 6.0f);
    EXPECT_EQ(spikeGrowthExponent(s, i, 40.0f), 6.0f);
  }
  // Just after the start it moves only a little.
  EXPECT_NEAR(spikeGrowthExponent(s, 0, 4.62f), -1.0f, 0.1f);
}

TEST(SpikeGrowth, PushRisesThenSwellsFromThirtyTwo) {
  SpikeScene s;
  EXPECT_EQ(spikePush(s, 0, 4.0f), 0.0f);
  EXPECT_NEAR(spikePush(s, 0, 20.0f), 3.5f, 1e-6f);
  EXPECT_NEAR(spikePush(s, 0, 32.0f), 3.5f, 1e-6f);
  EXPECT_GT(spikePush(s, 0, 36.0f), 3.5f);
  EXPECT_LE(spikePush(s, 0, 47.0f), 7.5f + 1e-5f);
}

TEST(SpikeDeform, VertexPushedByThePowerOfItsDistance) {
  // Without twist (a = 0 gives zero turns) a vertex at distance 1 is scaled
  // by 7.5 + p whatever g is; at 0.5 by 7.5 * 0.5^(1.1 g) + p.
  Vector3 v(1, 0, 0);
  deformSpikeVertex(v, 6.0f, 3.5f, 0.0f, 2.0f);
  EXPECT_NEAR(v.x, 11.0f, 1e-5f);
  EXPECT_NEAR(v.y, 0.0f, 1e-6f);
  Vector3 w(0, 0.5f, 0);
  deformSpikeVertex(w, -1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_NEAR(w.y, 0.5f * 7.5f * std::pow(0.5f, -1.1f), 1e-4f);
  // The centre stays put rather than turning into NaN.
  Vector3 c(0, 0, 0);
  deformSpikeVertex(c, -1.0f, 0.0f, 2.0f, 1.0f);
  EXPECT_EQ(c.x, 0.0f);
  EXPECT_EQ(c.y, 0.0f);
  EXPECT_EQ(c.z, 0.0f);
  // A twist keeps the length.
  Vector3 t(0.3f, 0.4f, 0.5f);
  Vector3 u = t;
  deformSpikeVertex(t, 2.0f, 1.0f, 2.5f, -1.0f);
  deformSpikeVertex(u, 2.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_NEAR(t.lengthSquared(), u.lengthSquared(), 1e-3f);
  EXPECT_GT(std::fabs(t.x - u.x), 1e-3f);
}

TEST(SpikeShake, TableFromSeedTwelve) {
  SpikeScene s;
  fillShakeTable(s);
  CrtRandom random(12);
  EXPECT_EQ(s.shakeTable[0].x, float(random.next()) / 32768.0f);
  EXPECT_EQ(s.shakeTable[0].y, float(random.next()) / 32768.0f);
  EXPECT_EQ(s.shakeTable[0].z, float(random.next()) / 32768.0f);
  for (const Vector3& e : s.shakeTable) {
    EXPECT_GE(e.x, 0.0f);
    EXPECT_LT(e.z, 1.0f);
  }
}

TEST(SpikeShake, IndexWrapsToTheLastEntries) {
  SpikeScene s;
  fillShakeTable(s);
  EXPECT_EQ(spikeShake(s, 20.0f, 0, 0), 0.0f);  // before the shake window
  for (int axis = 0; axis < 3; ++axis) {
    int seen = 0;
    for (float t = 37.0f; t < 48.0f && seen != 7; t += 0.0005f) {
      const int e = shakeIndex(t, axis);
      if (e > 2 || (seen & (1 << e))) continue;
      seen |= 1 << e;
      for (int spike = 0; spike < kSpikeCount; ++spike) {
        float sum = 0;
        for (int k = 0; k < 4; ++k) {
          const Vector3& entry = s.shakeTable[(e - k + 500) % 500];
          sum += spike == 0 ? entry.x : spike == 1 ? entry.y : entry.z;
        }
        const float expected = s.shakeWindow.easeIn(t, 7.0f, 0.8f) * sum / 4.0f * 5.0f;
        EXPECT_FLOAT_EQ(spikeShake(s, t, spike, axis), expected) << "axis " << axis << " e " << e;
      }
    }
    EXPECT_EQ(seen, 7) << "axis " << axis;
  }
  EXPECT_EQ(shakeIndex(1000.0f / 66.15f + 0.0001f, 0), 0);
  EXPECT_EQ(shakeIndex(0.5f, 2), int(3 * 0.5f * 66.15f));
}

TEST(SpikeClock, StallsSkipSceneTimeButNotTheLight) {
  SpikeScene scene;
  buildSpikePaths(scene);
  ASSERT_GT(scene.lightTrack.count, 9);
  SpikeState s;
  const Vector3& light = s.lightPosition;
  advanceSpikeClock(s, scene, 2999);
  EXPECT_EQ(s.sceneMs, 2999.0f);
  const float travel = s.lightTravel;
  EXPECT_GT(travel, 0.0f);
  const Vector3 before = light;
  advanceSpikeClock(s, scene, 3000);
  EXPECT_EQ(s.sceneMs, 2999.0f);
  EXPECT_NEAR(s.seconds, 2.999f, 1e-6f);
  EXPECT_GT(s.lightTravel, travel);
  EXPECT_GT((light - before).lengthSquared(), 1.0f);
  advanceSpikeClock(s, scene, 40000);
  EXPECT_EQ(s.sceneMs, 2999.0f);
  advanceSpikeClock(s, scene, 33);
  EXPECT_EQ(s.sceneMs, 3032.0f);
}

TEST(SpikeFlight, ParameterAndLookAheadCapped) {
  EXPECT_FLOAT_EQ(spikeFlightParameter(20.0f), 0.08f);
  EXPECT_FLOAT_EQ(spikeFlightParameter(32.0f), 0.08f);
  EXPECT_LE(spikeFlightParameter(48.0f), 1.0f);
  EXPECT_FLOAT_EQ(spikeFlightParameter(60.0f), 1.0f);
  EXPECT_FLOAT_EQ(spikeLookAheadParameter(0.5f, 1), 0.503f);
  EXPECT_FLOAT_EQ(spikeLookAheadParameter(0.5f, 30), 0.59f);
  EXPECT_EQ(spikeLookAheadParameter(0.98f, 10), 0.999f);
  EXPECT_EQ(spikeLookAheadParameter(1.0f, 1), 0.999f);
  for (float S = 32.0f; S <= 48.0f; S += 0.5f)
    for (int k = 1; k <= 30; ++k)
      EXPECT_LE(spikeLookAheadParameter(spikeFlightParameter(S), k), 0.999f);
}

TEST(SpikeCamera, ClosesInThenPullsBack) {
  SpikeScene s;
  const Vector3 start = spikeCameraPosition(s, 0.0f);
  EXPECT_NEAR(start.x, std::cos(0.5f) * 0.0f, 1e-4f);  // 30 - 0.5 * 60 = 0
  EXPECT_NEAR(start.z, 60.0f, 1e-4f);
  // From 25 s the position is 3.5 times the unscaled orbit.
  const float ms = 30000.0f;
  const Vector3 far = spikeCameraPosition(s, ms);
  EXPECT_NEAR(far.x, 3.5f * std::cos(0.0003f * ms + 0.5f) * 30.0f, 1e-3f);
  EXPECT_NEAR(far.z, 3.5f * std::sin(-0.0003f * ms) * 35.0f, 1e-3f);
}
