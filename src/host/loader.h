// Start-up loading: everything the frame loop needs, once, before the first frame.
#pragma once
#include "math/time_window.h"

struct FeedbackBuffer;

// Resets the director's time windows, reserves the 40 texture slots, fills
// them from Images/, runs every scene's set-up and creates the shared feedback
// buffer. Needs a current GL context.
void loadEverything();

// The director's time windows: plain objects, so the director never meets a
// missing one; loadEverything sets them to the default {0, 0, 1}.
extern TimeWindow mixWindow;
extern TimeWindow sweepWindow;
extern TimeWindow pulseWindow;
extern TimeWindow tailWindow;

// The shared feedback buffer, made last by loadEverything and never freed.
extern FeedbackBuffer* sharedFeedback;
