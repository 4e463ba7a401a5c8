// The demo's entry routine: window, music, frame loop.
#pragma once

#include "host/demo_options.h"
#include "host/render_path.h"

// Why the frame loop ended.
enum class DemoEnd {
  Timeline,       // the demo played to its end
  Viewer,         // Escape, a closed window, or No to the mode question
  Failure,        // no window or context could be made
  NoSuchDisplay,  // --display named a monitor that is not there
};

// Runs the demo until Escape, a closed window or the end of the timeline;
// with options.loop the end starts it again from the state after loading,
// in the same window.
DemoEnd runFrameLoop(const DemoOptions& options, const RenderRequest& render);
