#include "host/seek.h"

#include "host/director.h"
#include "host/host.h"
#include "host/offline_host.h"

long long firstDrawnFrame(long long firstShown, int fps, bool drawAll) {
  if (drawAll) return 0;
  const long long first = firstShown - seekPrimerFrames(frameTimeMs(firstShown, fps));
  return first > 0 ? first : 0;
}

long long runUndrawnFrames(Demo& demo, long long firstShown, int fps, bool drawAll) {
  const long long end = firstDrawnFrame(firstShown, fps, drawAll);
  for (long long i = 0; i < end; ++i) renderFrame(demo, frameTimeMs(i, fps), false);
  return end;
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
  const long long drawnFrom = firstDrawnFrame(end, fps, false);
  int last = -1;
  for (long long i = first; i < end && !demo.ended; ++i) {
    last = frameTimeMs(i, fps);
    renderFrame(demo, last, i >= drawnFrom);
  }
  return last;
}
