// The demo's entry routine: window, music, frame loop.
#pragma once

// Runs the demo until Escape, a closed window or the end of the timeline.
// Returns 0 in every case.
int runFrameLoop();
