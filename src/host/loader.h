// Start-up loading: everything the frame loop needs, once, before the first frame.
#pragma once

struct Demo;

// Reserves the 40 texture slots, fills them from Images/, runs every scene's
// set-up and creates the shared feedback buffer. Needs a current GL context.
void loadEverything(Demo& demo);
