// The demo's entry routine: window, music, frame loop.
#pragma once

#include "host/demo_options.h"

// Why the frame loop ended.
enum class DemoEnd {
  Timeline,       // the demo played to its end
  Viewer,         // Escape, a closed window, or No to the mode question
  Failure,        // no window or context could be made
  NoSuchDisplay,  // --display named a monitor that is not there
};

// Runs the demo until Escape, a closed window or the end of the timeline.
DemoEnd runFrameLoop(const DemoOptions& options);
