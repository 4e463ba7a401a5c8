// The demo's script: turns each frame's time value into demo time and calls
// the scene (or the transition) whose range holds it.
#pragma once

struct Demo;

enum class TimelineAction {
  SkyFlashes,
  FirstTransition,
  Landscape,
  SecondTransition,
  RingedPlanet,
  LanternCorridor,
  LampPark,
  MirrorHall,
  TriangleFractal,
  Spikes,
  Scroller,
  Tunnel,
  Quit,
};

// One row of the timeline: the action for demo times below endMs (and at or
// above the previous row's end). `variant` is the scene's second argument.
struct TimelineRange {
  int endMs;
  TimelineAction action;
  int variant;
};

// The row for a demo time; times from 330000 on give the Quit row.
const TimelineRange& timelineRangeAt(int demoTimeMs);

// Frames a seek to demoTimeMs draws, unshown, before it. Every frame is drawn
// from the demo's state alone, but the fractal's face wears the swirl its
// previous frame drew, a picture no state holds: there the frame before is
// drawn too.
int seekPrimerFrames(int demoTimeMs);

// Once per frame with the frame's time value in milliseconds: advances every
// scene the timeline reaches and, with `draw`, draws the ones shown. Without
// `draw` every scene's state advances exactly as in a drawn frame and no GL
// call is made: a seek runs the frames before its target this way. False
// once the timeline has ended: the caller quits.
bool Director(Demo& demo, int now, bool draw = true);
