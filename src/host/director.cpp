#include "host/director.h"

#include <GL/gl.h>

#include <cmath>

#include "host/host.h"
#include "host/loader.h"
#include "host/scene_calls.h"

DirectorState director;

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

static float demoSeconds() { return director.demoTimeMs * 0.001f; }

// Sky flashes blurring into the landscape flight.
static void firstTransition(int delta, bool draw) {
  if (draw) {
    glEnable(GL_BLEND);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  scenes::landscape(delta, 1, draw);
  if (draw) {
    scenes::captureFeedback(0);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  scenes::skyFlashes(delta, draw);
  if (draw) {
    scenes::captureFeedback(1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  mixWindow.start = 17.5f;
  mixWindow.length = 6.0f;
  if (draw) scenes::blurCrossfade(mixWindow.easeIn(demoSeconds(), 1.0f, 1.0f), 1, 0);
}

// The landscape flight on a rippling sheet, wiped away from the centre by the
// ringed planet, whose circle reaches kSweepScale times the sweep's progress.
constexpr float kSweepScale = 2.85f;
static void secondTransition(int delta, bool draw) {
  mixWindow.start = 30.8f;
  mixWindow.length = std::nextafter(2.7f, 0.0f);  // 2.6999998, as the timing was tuned
  sweepWindow.start = 30.8f;
  sweepWindow.length = 3.645f;
  pulseWindow.start = 30.8f;
  pulseWindow.length = 3.645f;
  tailWindow.start = (sweepWindow.length - 1.0f) * 0.9f + 30.8f;
  tailWindow.length = 0.9f;
  const float t = demoSeconds();
  const float progress = sweepWindow.rise(t);
  // Once the planet's circle covers the whole sheet the flight adds nothing:
  // it only advances.
  const bool flightShows = draw && !rippleHidesOutgoing(progress, kSweepScale);
  if (flightShows) {
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
  }
  scenes::landscape(delta, 1, flightShows);
  if (flightShows) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    scenes::captureFeedback(2);
    glClear(GL_COLOR_BUFFER_BIT);
  } else if (draw) {
    // As the flight leaves it: the planet draws without depth writes.
    glDisable(GL_DEPTH_TEST);
  }
  scenes::ringedPlanet(delta, draw);
  if (!draw) return;
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  scenes::captureFeedback(1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const float recede = sweepWindow.fall(t);
  const float tail = tailWindow.fall(t);
  const float pulse = pulseWindow.ringOut(t, 1.0f, 0.7f);
  const float swell = mixWindow.easeIn(t, 1.0f, 0.27f);
  scenes::rippleTransition(2, 1, 0, 0, swell * pulse * 3, tail * 0.9f,
                           recede * (mixWindow.start * 1000 - director.demoTimeMs) * 0.02f,
                           progress, kSweepScale);
}

void Director(int now, bool draw) {
  director.frameDeltaMs = now - director.previousNowMs;
  director.previousNowMs = now;
  director.demoTimeMs += director.frameDeltaMs;
  const int delta = director.frameDeltaMs;

  if (draw) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_ALWAYS);
  }

  const TimelineRange& range = timelineRangeAt(director.demoTimeMs);
  switch (range.action) {
    case TimelineAction::SkyFlashes:
      scenes::skyFlashes(delta, draw);
      break;
    case TimelineAction::FirstTransition:
      firstTransition(delta, draw);
      break;
    case TimelineAction::Landscape:
      if (draw) {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
      }
      scenes::landscape(delta, range.variant, draw);
      break;
    case TimelineAction::SecondTransition:
      secondTransition(delta, draw);
      break;
    case TimelineAction::RingedPlanet:
      scenes::ringedPlanet(delta, draw);
      break;
    case TimelineAction::LanternCorridor:
      director.corridorClock += delta;
      scenes::lanternCorridor(delta, director.corridorClock >= 33000.0f ? 1 : 0, draw);
      break;
    case TimelineAction::LampPark:
      scenes::lampPark(delta, range.variant, draw);
      break;
    case TimelineAction::MirrorHall:
      scenes::mirrorHall(delta, draw);
      break;
    case TimelineAction::TriangleFractal:
      if (draw) {
        glClearColor(0.05f, 0.04f, 0.025f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
      }
      scenes::triangleFractal(delta, draw);
      break;
    case TimelineAction::Spikes:
      if (draw) glClearColor(0, 0, 0, 1);
      scenes::spikes(delta, draw);
      break;
    case TimelineAction::Scroller:
      scenes::scroller(delta, draw);
      break;
    case TimelineAction::Tunnel:
      scenes::tunnel(delta, range.variant != 0, draw);
      break;
    case TimelineAction::Quit:
      requestQuit();
      break;
  }
}
