#include "host/seek.h"

#include "host/director.h"
#include "host/host.h"
#include "host/offline_host.h"

bool seekFrameDrawn(long long index, long long firstShown, int fps, bool drawAll) {
  return drawAll || index >= firstShown - seekPrimerFrames(frameTimeMs(firstShown, fps));
}

long long runUndrawnFrames(Demo& demo, long long firstShown, int fps, bool drawAll) {
  long long i = 0;
  for (; !seekFrameDrawn(i, firstShown, fps, drawAll); ++i) renderFrame(demo, frameTimeMs(i, fps), false);
  return i;
}

long long frameIndexAfter(int timeMs, int fps) {
  // frameTimeMs rounds down, so the index is found by stepping from an
  // estimate rather than by dividing back.
  long long i = static_cast<long long>(timeMs) * fps / 1000;
  if (i < 0) i = 0;
  while (i > 0 && frameTimeMs(i - 1, fps) > timeMs) --i;
  while (frameTimeMs(i, fps) <= timeMs) ++i;
  return i;
}

int runSeekFrames(Demo& demo, long long first, int targetMs, int fps) {
  long long end = first;
  while (frameTimeMs(end, fps) < targetMs) ++end;
  int last = -1;
  for (long long i = first; i < end && !demo.ended; ++i) {
    last = frameTimeMs(i, fps);
    renderFrame(demo, last, seekFrameDrawn(i, end, fps, false));
  }
  return last;
}
