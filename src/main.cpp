// The demo: a window, the music, and the frame loop until Escape or 330 s.
#include "host/frame_loop.h"

int main() { return runFrameLoop(); }
