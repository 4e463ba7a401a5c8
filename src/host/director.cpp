#include "host/director.h"

#include <cmath>

#include "gfx/gfx.h"
#include "host/demo.h"
#include "math/time_window.h"
#include "scenes/lamp_park.h"
#include "scenes/landscape.h"
#include "scenes/lantern_corridor.h"
#include "scenes/mirror_hall.h"
#include "scenes/ringed_planet.h"
#include "scenes/scroller.h"
#include "scenes/sky_flashes.h"
#include "scenes/spikes.h"
#include "scenes/triangle_fractal.h"
#include "scenes/tunnel.h"

// Strict comparisons on the integer demo time: a row holds the times below
// its end that no earlier row holds.
static const TimelineRange kTimeline[] = {
    {17500, TimelineAction::SkyFlashes, 0},
    {26500, TimelineAction::FirstTransition, 0},
    {30800, TimelineAction::Landscape, 1},
    {36500, TimelineAction::SecondTransition, 0},
    {63000, TimelineAction::RingedPlanet, 0},
    {111200, TimelineAction::LanternCorridor, 0},
    {120000, TimelineAction::LampPark, 1},
    {127500, TimelineAction::LampPark, 2},
    {159500, TimelineAction::MirrorHall, 0},
    {192000, TimelineAction::LampPark, 3},
    {208000, TimelineAction::TriangleFractal, 0},
    {256000, TimelineAction::Spikes, 0},
    {304000, TimelineAction::Scroller, 0},
    {324000, TimelineAction::Tunnel, 0},
    {330000, TimelineAction::Tunnel, 1},
};
static const TimelineRange kEnd = {0x7fffffff, TimelineAction::Quit, 0};

const TimelineRange& timelineRangeAt(int demoTimeMs) {
  for (const TimelineRange& range : kTimeline)
    if (demoTimeMs < range.endMs) return range;
  return kEnd;
}

int seekPrimerFrames(int demoTimeMs) {
  return timelineRangeAt(demoTimeMs).action == TimelineAction::TriangleFractal ? 1 : 0;
}

// Sky flashes blurring into the landscape flight.
static void firstTransition(Demo& demo, int delta, bool draw) {
  FeedbackBuffer* feedback = demo.feedback.get();  // drawn frames only
  if (draw) clearFrame(demo.gfx, kBlack);
  DemoState& state = demo.state;
  DemoScenes& scenes = demo.scenes;
  const FrameContext frame = demo.frame();
  advanceLandscape(state.landscape, delta);
  if (draw) {
    drawLandscape(state.landscape, scenes.landscape, frame);
    feedback->captureFrame(0);
    clearFrame(demo.gfx, kBlack);
  }
  advanceSkyFlashes(state.skyFlashes, delta);
  if (draw) {
    drawSkyFlashes(state.skyFlashes, scenes.skyFlashes, frame, state.shaftNoiseClock);
    feedback->captureFrame(1);
    clearFrame(demo.gfx, kBlack);
  }
  const TimeWindow mix{17.5f, 6.0f};
  const float t = state.director.demoTimeMs * 0.001f;
  if (draw) feedback->blurCrossfade(mix.easeIn(t, 1.0f, 1.0f), 1, 0);
}

// The landscape flight on a rippling sheet, wiped away from the centre by the
// ringed planet, whose circle reaches kSweepScale times the sweep's progress.
constexpr float kSweepScale = 2.85f;
static void secondTransition(Demo& demo, int delta, bool draw) {
  FeedbackBuffer* feedback = demo.feedback.get();  // drawn frames only
  const int demoTimeMs = demo.state.director.demoTimeMs;
  const TimeWindow mix{30.8f, std::nextafter(2.7f, 0.0f)};  // 2.6999998, as the timing was tuned
  const TimeWindow sweep{30.8f, 3.645f};
  const TimeWindow pulse{30.8f, 3.645f};
  const TimeWindow tail{(sweep.length - 1.0f) * 0.9f + 30.8f, 0.9f};
  const float t = demoTimeMs * 0.001f;
  const float progress = sweep.rise(t);
  // Once the planet's circle covers the whole sheet the flight adds nothing:
  // it only advances.
  const bool flightShows = draw && !rippleHidesOutgoing(progress, kSweepScale);
  if (flightShows) clearFrame(demo.gfx, kBlack);
  DemoState& state = demo.state;
  DemoScenes& scenes = demo.scenes;
  const FrameContext frame = demo.frame();
  advanceLandscape(state.landscape, delta);
  if (flightShows) {
    drawLandscape(state.landscape, scenes.landscape, frame);
    feedback->captureFrame(2);
    clearFrame(demo.gfx, kBlack);
  }
  advanceRingedPlanet(state.ringedPlanet, scenes.ringedPlanet, delta, state.shaftNoiseClock);
  if (!draw) return;
  drawRingedPlanet(state.ringedPlanet, scenes.ringedPlanet, frame);
  feedback->captureFrame(1);
  clearFrame(demo.gfx, kBlack, true);
  const float recede = sweep.fall(t);
  const float fade = tail.fall(t);
  const float beat = pulse.ringOut(t, 1.0f, 0.7f);
  const float swell = mix.easeIn(t, 1.0f, 0.27f);
  feedback->rippleTransition(2, 1, 0, 0, swell * beat * 3, fade * 0.9f,
                             recede * (mix.start * 1000 - demoTimeMs) * 0.02f, progress,
                             kSweepScale);
}

bool Director(Demo& demo, int now, bool draw) {
  DirectorState& director = demo.state.director;
  director.frameDeltaMs = now - director.previousNowMs;
  director.previousNowMs = now;
  director.demoTimeMs += director.frameDeltaMs;
  const int delta = director.frameDeltaMs;

  if (draw) clearFrame(demo.gfx, director.clearColour, true);

  DemoState& state = demo.state;
  DemoScenes& scenes = demo.scenes;
  const FrameContext frame = demo.frame();
  const TimelineRange& range = timelineRangeAt(director.demoTimeMs);
  switch (range.action) {
    case TimelineAction::SkyFlashes:
      advanceSkyFlashes(state.skyFlashes, delta);
      if (draw) drawSkyFlashes(state.skyFlashes, scenes.skyFlashes, frame, state.shaftNoiseClock);
      break;
    case TimelineAction::FirstTransition:
      firstTransition(demo, delta, draw);
      break;
    case TimelineAction::Landscape:
      if (draw) clearFrame(demo.gfx, kBlack);
      advanceLandscape(state.landscape, delta);
      if (draw) drawLandscape(state.landscape, scenes.landscape, frame);
      break;
    case TimelineAction::SecondTransition:
      secondTransition(demo, delta, draw);
      break;
    case TimelineAction::RingedPlanet:
      advanceRingedPlanet(state.ringedPlanet, scenes.ringedPlanet, delta, state.shaftNoiseClock);
      if (draw) drawRingedPlanet(state.ringedPlanet, scenes.ringedPlanet, frame);
      break;
    case TimelineAction::LanternCorridor:
      director.corridorClock += delta;
      advanceLanternCorridor(state.lantern, scenes.lantern, delta,
                             director.corridorClock >= 33000.0f ? 1 : 0);
      if (draw) drawLanternCorridor(state.lantern, scenes.lantern, frame, state.shaftNoiseClock);
      break;
    case TimelineAction::LampPark:
      advanceLampPark(state.lampPark, scenes.lampPark, delta, range.variant, state.shaftNoiseClock);
      if (draw) drawLampPark(state.lampPark, scenes.lampPark, frame, state.shaftNoiseClock);
      break;
    case TimelineAction::MirrorHall:
      advanceMirrorHall(state.mirrorHall, scenes.mirrorHall, delta, state.shaftNoiseClock);
      if (draw) drawMirrorHall(state.mirrorHall, scenes.mirrorHall, frame, state.shaftNoiseClock);
      director.clearColour = kBlack;
      break;
    case TimelineAction::TriangleFractal:
      if (draw) clearFrame(demo.gfx, kFractalBackground);
      advanceTriangleFractal(state.triangleFractal, delta);
      if (draw)
        drawTriangleFractal(state.triangleFractal, scenes.triangleFractal, frame,
                            state.shaftNoiseClock);
      director.clearColour = kFractalAfterglow;
      break;
    case TimelineAction::Spikes:
      director.clearColour = kBlack;
      advanceSpikes(state.spikes, scenes.spikes, delta, state.shaftNoiseClock);
      if (draw) drawSpikes(state.spikes, scenes.spikes, frame, state.shaftNoiseClock);
      break;
    case TimelineAction::Scroller:
      advanceScroller(state.scroller, scenes.scroller, delta, state.shaftNoiseClock);
      if (draw) drawScroller(state.scroller, scenes.scroller, frame, state.shaftNoiseClock);
      break;
    case TimelineAction::Tunnel:
      advanceTunnel(state.tunnel, scenes.tunnel, delta, range.variant != 0);
      if (draw) drawTunnel(state.tunnel, scenes.tunnel, frame);
      break;
    case TimelineAction::Quit:
      return false;
  }
  return true;
}
