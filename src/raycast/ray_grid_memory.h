// The grid's working memory (internal to the renderer).
#pragma once

#include <cstdint>

#include "raycast/ray_ahead.h"
#include "raycast/ray_context.h"
#include "raycast/ray_draw.h"
#include "raycast/ray_grid_size.h"
#include "raycast/ray_view.h"

struct RayGridMemory {
  static constexpr int kCacheWidth = kRayGridWidth + 1;
  static constexpr int kCacheHeight = kRayGridHeight + 1;
  static constexpr uint16_t kUntraced = 0xFFFF;

  // Per grid point: 0xFFFF = not traced this frame, else its index in the
  // sample table.
  uint16_t sampleCache[kCacheWidth * kCacheHeight];
  RaySample sampleTable[kRayMaxSamples];
  int sampleCount = 0;
  RayView view;
  RayContext context;
  RayAhead ahead;
  RayDrawList draw;
};
