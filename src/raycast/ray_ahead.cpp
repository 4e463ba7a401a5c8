#include "raycast/ray_ahead.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/worker_pool.h"
#include "raycast/ray_corners.h"
#include "raycast/ray_grid_size.h"
#include "raycast/ray_trace.h"

namespace {

constexpr int kWidth = RayAhead::kWidth;
constexpr int kHeight = RayAhead::kHeight;
constexpr uint32_t kFullLists = 0;  // list index of the world's own lists

inline int at(int gx, int gy) { return gy * kWidth + gx; }

inline void addDistinct(int32_t* list, int id) {
  if (id == 0) return;
  for (int i = 1; i <= list[0]; ++i)
    if (list[i] == id) return;
  list[++list[0]] = id;
}

// Marks a point for tracing with the given lists, unless a block reached
// earlier has it already.
inline void want(RayAhead& ahead, int gx, int gy, uint32_t listIndex) {
  const int i = at(gx, gy);
  if (ahead.state[i] != RayAhead::kNone) return;
  ahead.state[i] = RayAhead::kWanted;
  ahead.points[i].lists = listIndex;
}

// Traces the wanted points on the worker threads, a row per task, each task
// with its own copy of the context.
void traceWanted(RayAhead& ahead, const RayContext& ctx, const RayView& view) {
  runOnWorkers(kHeight, [&](int gy) {
    RayContext local = ctx;
    for (int gx = 0; gx < kWidth; ++gx) {
      const int i = at(gx, gy);
      if (ahead.state[i] != RayAhead::kWanted) continue;
      RayAhead::Point& p = ahead.points[i];
      const int32_t* hits = p.lists == kFullLists ? ahead.full : ahead.lists[p.lists].hits;
      const int32_t* shadows = p.lists == kFullLists ? ahead.full : ahead.lists[p.lists].shadows;
      local.intersects = 0;
      traceSample(local, hits, shadows, view.direction(gx, gy), p.sample);
      p.intersects = local.intersects;
      ahead.state[i] = RayAhead::kReady;
    }
  });
}

const RaySample& sampleAt(const RayAhead& ahead, int gx, int gy) {
  return ahead.points[at(gx, gy)].sample;
}

// Whether the block's corners (all traced ahead) disagree, so that the
// refinement splits it.
bool splits(const RayAhead& ahead, int x, int y, int w, int h) {
  return !rayCornersAgree(sampleAt(ahead, x, y), sampleAt(ahead, x + w, y),
                          sampleAt(ahead, x, y + h), sampleAt(ahead, x + w, y + h));
}

// The lists a block narrower than 8 hands its halves, stored for its points.
uint32_t listsOf(RayAhead& ahead, int x, int y, int w, int h) {
  ahead.lists.push_back(rayCornerLists(sampleAt(ahead, x, y), sampleAt(ahead, x + w, y),
                                       sampleAt(ahead, x, y + h), sampleAt(ahead, x + w, y + h)));
  return uint32_t(ahead.lists.size() - 1);
}

// Wants the new corners of a block the refinement splits: the middles of
// its edges and its centre, or for a block one row high its two halves'.
void wantHalves(RayAhead& ahead, int x, int y, int w, int h, uint32_t listIndex) {
  want(ahead, x + w / 2, y, listIndex);
  want(ahead, x + w / 2, y + h, listIndex);
  if (h == 1) return;
  want(ahead, x, y + h / 2, listIndex);
  want(ahead, x + w / 2, y + h / 2, listIndex);
  want(ahead, x + w, y + h / 2, listIndex);
}

bool sameList(const int32_t* a, const int32_t* b) {
  return a[0] == b[0] && std::memcmp(a + 1, b + 1, sizeof(int32_t) * size_t(a[0])) == 0;
}

}  // namespace

RayAhead::RayAhead()
    : points(size_t(kWidth) * kHeight),
      state(size_t(kWidth) * kHeight, kNone),
      lists(1),
      split8(size_t(kRayGridWidth / 8) * (kRayGridHeight / 4)),
      split4(size_t(kRayGridWidth / 4) * (kRayGridHeight / 2)) {}

RayLists rayCornerLists(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                        const RaySample& c3) {
  RayLists l;
  l.hits[0] = 0;
  l.shadows[0] = 0;
  for (const RaySample* c : {&c0, &c1, &c2, &c3}) {
    addDistinct(l.hits, c->hitObject);
    addDistinct(l.shadows, c->shadowObject);
  }
  return l;
}

void rayTraceAhead(RayAhead& ahead, const RayContext& ctx, const int32_t* fullList,
                   const RayView& view) {
  rayForgetAhead(ahead);
  ahead.full = fullList;
  // The corners of the 8 x 4 blocks: every block wider splits.
  for (int gy = 0; gy < kHeight; gy += 4)
    for (int gx = 0; gx < kWidth; gx += 8) want(ahead, gx, gy, kFullLists);
  traceWanted(ahead, ctx, view);
  // The halves of the 8 x 4 blocks that split, still with the full lists.
  for (int y = 0, b = 0; y < kRayGridHeight; y += 4) {
    for (int x = 0; x < kRayGridWidth; x += 8, ++b) {
      ahead.split8[b] = splits(ahead, x, y, 8, 4);
      if (ahead.split8[b]) wantHalves(ahead, x, y, 8, 4, kFullLists);
    }
  }
  traceWanted(ahead, ctx, view);
  // The halves of the 4 x 2 blocks that split, with their own lists.
  for (int y = 0, b = 0; y < kRayGridHeight; y += 2) {
    for (int x = 0; x < kRayGridWidth; x += 4, ++b) {
      ahead.split4[b] =
          ahead.split8[(y / 4) * (kRayGridWidth / 8) + x / 8] && splits(ahead, x, y, 4, 2);
      if (ahead.split4[b]) wantHalves(ahead, x, y, 4, 2, listsOf(ahead, x, y, 4, 2));
    }
  }
  traceWanted(ahead, ctx, view);
  // The single pixels of the 2 x 1 blocks that split.
  for (int y = 0; y < kRayGridHeight; ++y) {
    for (int x = 0; x < kRayGridWidth; x += 2) {
      if (ahead.split4[(y / 2) * (kRayGridWidth / 4) + x / 4] && splits(ahead, x, y, 2, 1))
        wantHalves(ahead, x, y, 2, 1, listsOf(ahead, x, y, 2, 1));
    }
  }
  traceWanted(ahead, ctx, view);
}

void rayForgetAhead(RayAhead& ahead) {
  std::fill(ahead.state.begin(), ahead.state.end(), RayAhead::kNone);
  ahead.lists.resize(1);
}

const RaySample* rayTakeAhead(const RayAhead& ahead, int gx, int gy, const int32_t* hitList,
                              const int32_t* shadowList, const RayContext& ctx) {
  const int i = at(gx, gy);
  if (ahead.state[i] != RayAhead::kReady) return nullptr;
  const RayAhead::Point& p = ahead.points[i];
  if (p.lists == kFullLists) {
    if (hitList != ahead.full || shadowList != ahead.full) return nullptr;
  } else if (!sameList(hitList, ahead.lists[p.lists].hits) ||
             !sameList(shadowList, ahead.lists[p.lists].shadows)) {
    return nullptr;
  }
  ctx.intersects += p.intersects;
  return &p.sample;
}
