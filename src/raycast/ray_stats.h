// Counters of the grid ray-caster, read by the statistics line and the
// benchmark tool. Plain data, persistent across frames and worlds: the
// program keeps one and hands it to every renderRayGrid call.
#pragma once

#include <cstdint>

struct RayStats {
  // Statistics line: frames since the last line (0..50) and intersect
  // calls since the last line; "avarage %i rays per frame\n" prints
  // intersectCount / 50 every 51 frames.
  int32_t frameCounter = 0;
  int64_t intersectCount = 0;
  bool printLines = true;  // off in tools whose standard output is not the demo's

  // intersect calls of the last drawn frame, folded into intersectCount
  // when the next one starts.
  uint32_t frameIntersects = 0;
  // Totals of the last finished renderRayGrid call.
  uint32_t lastFrameIntersects = 0;
  uint32_t lastFrameSamples = 0;   // traced grid points (sample table entries)
  uint32_t lastFrameLeaves = 0;    // blocks drawn whole (background included)
  uint32_t lastFramePixels = 0;    // single pixels drawn
  uint32_t lastFrameQuads = 0;     // quads submitted to GL (glow quads included)
  uint8_t lastFrameCapped = 0;     // the 40000-sample limit stopped refinement

  // Accumulated wall time inside renderRayGrid (tickNanoseconds) and the
  // number of calls; the benchmark takes differences.
  int64_t gridNanoseconds = 0;
  int64_t gridCalls = 0;
  int64_t lastFrameNanoseconds = 0;
};
