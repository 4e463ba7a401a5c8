// Tracing ahead of the grid's refinement, on all cores. Which points the
// refinement traces, and with which candidate lists, follows level by
// level from the corners it meets: the corners of every 8 x 4 block, then
// the new corners of each block whose corners disagree, with that block's
// lists, down to single pixels. A shared edge's point goes to the block the
// refinement reaches first (the one above or to the left). The refinement
// takes a point only when it asks with the lists it was traced with, and
// traces it itself otherwise (near the sample limit), so the frame stays
// exactly what one thread tracing in order makes.
#pragma once

#include <cstdint>
#include <vector>

#include "raycast/ray_context.h"
#include "raycast/ray_grid_size.h"
#include "raycast/ray_view.h"
#include "raycast/ray_world.h"

// Candidate lists of a block narrower than 8, in idList form: the distinct
// non-zero hit and shadow ids of its four corners, in corner order.
struct RayLists {
  int32_t hits[5];
  int32_t shadows[5];
};
RayLists rayCornerLists(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                        const RaySample& c3);

// The points traced ahead in one frame: working memory of the grid, made
// once and refilled every frame.
struct RayAhead {
  static constexpr int kWidth = kRayGridWidth + 1;
  static constexpr int kHeight = kRayGridHeight + 1;
  enum PointState : uint8_t { kNone, kWanted, kReady };
  struct Point {
    RaySample sample;
    uint32_t intersects;  // the trace's intersect calls
    uint32_t lists;       // index into `lists`, or 0 for the world's own
  };

  RayAhead();

  std::vector<Point> points;      // kWidth x kHeight
  std::vector<PointState> state;  // kWidth x kHeight
  std::vector<RayLists> lists;    // [0] stands for the world's own lists
  const int32_t* full = nullptr;  // the world's idList this frame
  // Whether each 8 x 4 and each 4 x 2 block is split by the refinement.
  std::vector<uint8_t> split8;
  std::vector<uint8_t> split4;
};

// Traces this frame's points ahead. ctx is set for the frame; `fullList`
// is the world's idList, which the blocks eight wide and up pass down.
void rayTraceAhead(RayAhead& ahead, const RayContext& ctx, const int32_t* fullList,
                   const RayView& view);

// Forgets the points traced ahead: the refinement then traces all itself.
void rayForgetAhead(RayAhead& ahead);

// The sample traced ahead at (gx, gy) with exactly these lists, or nullptr;
// adds the intersect calls its trace made to ctx's count.
const RaySample* rayTakeAhead(const RayAhead& ahead, int gx, int gy, const int32_t* hitList,
                              const int32_t* shadowList, const RayContext& ctx);
