// The host: start-up and the per-frame function shared by the window and
// the offline renderer.
#pragma once

#include "host/demo.h"
#include "host/render_path.h"

// Start-up inside a fresh context: settles the render path, loads
// everything, sets the default GL state and creates the screen texture.
void initGl(Demo& demo, const RenderRequest& request = {});

// One frame, without the buffer swap: the scene viewport, the director for
// the time value nowMs, then the letterboxed copy of the band to the screen.
// Without `draw` only the demo's state advances (no GL). Sets demo.ended
// once the timeline is over.
void renderFrame(Demo& demo, int nowMs, bool draw = true);
