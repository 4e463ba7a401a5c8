#include <cmath>

#include "gl_test_context.h"
#include "host/director.h"
#include "host/host.h"

namespace {

struct DirectorTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(startDemoOnce(1024, 768));
    testDemo().state.director = DirectorState{};
  }
  const DirectorState& director = testDemo().state.director;
};

bool Director(int now) { return ::Director(testDemo(), now); }

TimelineAction actionAt(int ms) { return timelineRangeAt(ms).action; }

}  // namespace

TEST(Timeline, RangeBoundariesAreStrict) {
  EXPECT_EQ(actionAt(0), TimelineAction::SkyFlashes);
  EXPECT_EQ(actionAt(17499), TimelineAction::SkyFlashes);
  EXPECT_EQ(actionAt(17500), TimelineAction::FirstTransition);
  EXPECT_EQ(actionAt(26499), TimelineAction::FirstTransition);
  EXPECT_EQ(actionAt(26500), TimelineAction::Landscape);
  EXPECT_EQ(actionAt(30800), TimelineAction::SecondTransition);
  EXPECT_EQ(actionAt(36500), TimelineAction::RingedPlanet);
  EXPECT_EQ(actionAt(62999), TimelineAction::RingedPlanet);
  EXPECT_EQ(actionAt(63000), TimelineAction::LanternCorridor);
  EXPECT_EQ(actionAt(111200), TimelineAction::LampPark);
  EXPECT_EQ(timelineRangeAt(119999).variant, 1);
  EXPECT_EQ(timelineRangeAt(120000).variant, 2);
  EXPECT_EQ(actionAt(127500), TimelineAction::MirrorHall);
  EXPECT_EQ(actionAt(159499), TimelineAction::MirrorHall);
  EXPECT_EQ(actionAt(159500), TimelineAction::LampPark);
  EXPECT_EQ(timelineRangeAt(159500).variant, 3);
  EXPECT_EQ(actionAt(192000), TimelineAction::TriangleFractal);
  EXPECT_EQ(actionAt(208000), TimelineAction::Spikes);
  EXPECT_EQ(actionAt(256000), TimelineAction::Scroller);
  EXPECT_EQ(actionAt(304000), TimelineAction::Tunnel);
  EXPECT_EQ(timelineRangeAt(323999).variant, 0);
  EXPECT_EQ(timelineRangeAt(324000).variant, 1);
  EXPECT_EQ(actionAt(329999), TimelineAction::Tunnel);
  EXPECT_EQ(actionAt(330000), TimelineAction::Quit);
  EXPECT_EQ(actionAt(0x7fffffff), TimelineAction::Quit);
}

TEST(Timeline, NegativeTimesPlayTheOpening) {
  EXPECT_EQ(actionAt(-5), TimelineAction::SkyFlashes);
}

TEST_F(DirectorTest, DeltasFollowTheTimeValueIncludingTheFirstAndBackwardSteps) {
  Director(7);
  EXPECT_EQ(director.frameDeltaMs, 7);  // the first delta is taken from 0
  EXPECT_EQ(director.demoTimeMs, 7);
  Director(40);
  EXPECT_EQ(director.frameDeltaMs, 33);
  EXPECT_EQ(director.demoTimeMs, 40);
  Director(25);  // a stream that seeks back
  EXPECT_EQ(director.frameDeltaMs, -15);
  EXPECT_EQ(director.demoTimeMs, 25);
  Director(100000);  // a jump lands straight in the new range
  EXPECT_EQ(director.demoTimeMs, 100000);
}

TEST_F(DirectorTest, CorridorClockCountsOnlyInsideTheCorridorRange) {
  Director(62000);
  EXPECT_EQ(director.corridorClock, 0.0f);
  Director(63000);  // delta 1000, now inside
  EXPECT_EQ(director.corridorClock, 1000.0f);
  Director(64000);
  EXPECT_EQ(director.corridorClock, 2000.0f);
  Director(112000);  // outside again: the frame's delta is not counted
  EXPECT_EQ(director.corridorClock, 2000.0f);
  Director(70000);  // back in: counts the (negative) delta, never resets
  EXPECT_EQ(director.corridorClock, 2000.0f - 42000.0f);
}

TEST_F(DirectorTest, QuitsAtTheEndOfTheTimeline) {
  EXPECT_TRUE(Director(329999));
  EXPECT_FALSE(Director(330000));
}

TEST_F(DirectorTest, ClearColourOfTheFractalRangeStaysUntilTheSpikes) {
  glClearColor(0, 0, 0, 1);
  Director(192000);
  // The range clears with a dark brown, which the fractal may darken further:
  // either way the bands stay a warm dark tone, not black.
  GLfloat c[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_GT(c[0], 0.0f);
  EXPECT_LE(c[0], 0.05f);
  EXPECT_GT(c[0], c[2]);
  Director(208000);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_EQ(c[0], 0.0f);
  EXPECT_EQ(c[1], 0.0f);
  EXPECT_EQ(c[2], 0.0f);
}
