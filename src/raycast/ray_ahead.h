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

#include "math/vector3.h"
#include "raycast/ray_context.h"
#include "raycast/ray_world.h"

// Candidate lists of a block narrower than 8, in idList form: the distinct
// non-zero hit and shadow ids of its four corners, in corner order.
struct RayLists {
  int32_t hits[5];
  int32_t shadows[5];
};
RayLists rayCornerLists(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                        const RaySample& c3);

// The view ray of grid point (gx, gy) (the grid's wobble and view plane).
using RayGridDirection = Vector3 (*)(int gx, int gy);

// Traces this frame's points ahead. ctx is set for the frame; `fullList`
// is the world's idList, which the blocks eight wide and up pass down.
void rayTraceAhead(const RayContext& ctx, const int32_t* fullList, RayGridDirection direction);

// Forgets the points traced ahead: the refinement then traces all itself.
void rayForgetAhead();

// The sample traced ahead at (gx, gy) with exactly these lists, or nullptr;
// adds the intersect calls its trace made to *intersects.
const RaySample* rayTakeAhead(int gx, int gy, const int32_t* hitList, const int32_t* shadowList,
                              uint32_t* intersects);
