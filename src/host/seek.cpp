#include "host/seek.h"

#include <algorithm>

#include "host/command_line.h"
#include "host/demo.h"
#include "host/director.h"
#include "host/host.h"

int frameTimeMs(long long index, int fps) { return static_cast<int>(index * 1000 / fps); }

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

void startDemoAt(Demo& demo, const DemoState& atLoad, int startMs) {
  demo.state = atLoad;
  demo.ended = false;
  runSeekFrames(demo, 0, startMs, kSeekFps);
}

int jumpDemoTo(Demo& demo, const DemoState& atLoad, int targetMs) {
  const DirectorState& director = demo.state.director;
  const int target = std::min(std::max(targetMs, 0), kDemoEndMs);
  long long first = frameIndexAfter(director.previousNowMs, kSeekFps);
  if (target < director.demoTimeMs) {
    demo.state = atLoad;
    first = 0;
  }
  runSeekFrames(demo, first, target, kSeekFps);
  return target;
}
