// One running demo: its carried state, what loading built for it, and what
// the host keeps for drawing it. Owned by whoever runs the frames (the
// window's loop, the capture and benchmark tools, tests) and handed down.
#pragma once

#include <GL/gl.h>

#include <memory>

#include "effects/feedback_buffer.h"
#include "host/demo_state.h"
#include "host/render_path.h"
#include "host/shared_ray_grid.h"
#include "scenes/frame_context.h"

struct Demo {
  DemoState state;
  DemoScenes scenes;
  std::unique_ptr<FeedbackBuffer> feedback;  // made last by loading
  int screenWidth = 800;  // the drawable, following every non-zero resize
  int screenHeight = 600;
  GLuint screenTexture = 0;  // the band, shown letterboxed
  bool ended = false;        // the timeline has reached its end

  FrameContext frame() {
    FrameContext f;
    f.path = renderPath();
    f.software = softwarePasses();
    f.feedback = feedback.get();
    f.shaftStats = &shaftStats;
    f.geometryStats = &geometryStats;
    f.rayGrid = &sharedRayGrid();
    f.rayStats = &sharedRayStats();
    return f;
  }
};
