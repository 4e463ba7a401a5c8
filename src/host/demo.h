// One running demo: its carried state, what loading built for it, and what
// the host keeps for drawing it. Owned by whoever runs the frames (the
// window's loop, the capture and benchmark tools, tests) and handed down.
#pragma once

#include <memory>

#include "effects/feedback_buffer.h"
#include "gfx/gfx.h"
#include "host/demo_state.h"
#include "host/render_path.h"
#include "host/startup_timings.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_stats.h"
#include "scenes/frame_context.h"
#include "software/software_passes.h"

struct Demo {
  Gfx gfx;                           // the drawing layer, made with the context
  RenderPath path = RenderPath::Gl;  // settled once, when the context exists
  std::unique_ptr<SoftwarePasses> software;  // the software path's passes
  DemoState state;
  DemoScenes scenes;
  std::unique_ptr<FeedbackBuffer> feedback;  // made last by loading
  int screenWidth = 800;  // the drawable, following every non-zero resize
  int screenHeight = 600;
  TextureName screenTexture = 0;  // the band, shown letterboxed
  bool ended = false;        // the timeline has reached its end
  RayGrid rayGrid;           // the grid's working memory, made once
  RayStats rayStats;         // counters for the statistics line
  ShaftStats shaftStats;     // running totals the benchmark reads
  GeometryStats geometryStats;
  StartupTimings startup;    // the steps of the last start-up

  FrameContext frame() {
    FrameContext f;
    f.gfx = &gfx;
    f.software = path == RenderPath::Software ? software.get() : nullptr;
    f.feedback = feedback.get();
    f.shaftStats = &shaftStats;
    f.geometryStats = &geometryStats;
    f.rayGrid = &rayGrid;
    f.rayStats = &rayStats;
    return f;
  }
};
