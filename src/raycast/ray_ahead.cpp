#include "raycast/ray_ahead.h"

#include <cstring>
#include <vector>

#include "platform/worker_pool.h"
#include "raycast/ray_grid.h"
#include "raycast/ray_trace.h"

namespace {

constexpr int kWidth = kRayGridWidth + 1;
constexpr int kHeight = kRayGridHeight + 1;
constexpr uint32_t kFullLists = 0;  // list index of the world's own lists

enum PointState : uint8_t { kNone, kWanted, kReady };

struct AheadPoint {
  RaySample sample;
  uint32_t intersects;  // the trace's intersect calls
  uint32_t lists;       // index into `lists`, or kFullLists
};

AheadPoint points[kWidth * kHeight];
PointState state[kWidth * kHeight];
std::vector<RayLists> lists(1);  // [0] stands for the full lists
const int32_t* full = nullptr;
// Whether each 8 x 4 and each 4 x 2 block is split by the refinement.
bool split8[(kRayGridWidth / 8) * (kRayGridHeight / 4)];
bool split4[(kRayGridWidth / 4) * (kRayGridHeight / 2)];

inline int at(int gx, int gy) { return gy * kWidth + gx; }

inline void addDistinct(int32_t* list, int id) {
  if (id == 0) return;
  for (int i = 1; i <= list[0]; ++i)
    if (list[i] == id) return;
  list[++list[0]] = id;
}

// Marks a point for tracing with the given lists, unless a block reached
// earlier has it already.
inline void want(int gx, int gy, uint32_t listIndex) {
  const int i = at(gx, gy);
  if (state[i] != kNone) return;
  state[i] = kWanted;
  points[i].lists = listIndex;
}

// Traces the wanted points on the worker threads, a row per task, each task
// with its own copy of the context and its own intersect count.
void traceWanted(const RayContext& ctx, RayGridDirection direction) {
  runOnWorkers(kHeight, [&](int gy) {
    RayContext local = ctx;
    uint32_t count = 0;
    local.intersects = &count;
    for (int gx = 0; gx < kWidth; ++gx) {
      const int i = at(gx, gy);
      if (state[i] != kWanted) continue;
      AheadPoint& p = points[i];
      const int32_t* hits = p.lists == kFullLists ? full : lists[p.lists].hits;
      const int32_t* shadows = p.lists == kFullLists ? full : lists[p.lists].shadows;
      count = 0;
      traceSample(local, hits, shadows, direction(gx, gy), p.sample);
      p.intersects = count;
      state[i] = kReady;
    }
  });
}

const RaySample& sampleAt(int gx, int gy) { return points[at(gx, gy)].sample; }

// Whether the block's corners (all traced ahead) disagree, so that the
// refinement splits it.
bool splits(int x, int y, int w, int h) {
  return !rayCornersAgree(sampleAt(x, y), sampleAt(x + w, y), sampleAt(x, y + h),
                          sampleAt(x + w, y + h));
}

// The lists a block narrower than 8 hands its halves, stored for its points.
uint32_t listsOf(int x, int y, int w, int h) {
  lists.push_back(rayCornerLists(sampleAt(x, y), sampleAt(x + w, y), sampleAt(x, y + h),
                                 sampleAt(x + w, y + h)));
  return uint32_t(lists.size() - 1);
}

// Wants the new corners of a block the refinement splits: the middles of
// its edges and its centre, or for a block one row high its two halves'.
void wantHalves(int x, int y, int w, int h, uint32_t listIndex) {
  want(x + w / 2, y, listIndex);
  want(x + w / 2, y + h, listIndex);
  if (h == 1) return;
  want(x, y + h / 2, listIndex);
  want(x + w / 2, y + h / 2, listIndex);
  want(x + w, y + h / 2, listIndex);
}

bool sameList(const int32_t* a, const int32_t* b) {
  return a[0] == b[0] && std::memcmp(a + 1, b + 1, sizeof(int32_t) * size_t(a[0])) == 0;
}

}  // namespace

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

void rayTraceAhead(const RayContext& ctx, const int32_t* fullList, RayGridDirection direction) {
  rayForgetAhead();
  full = fullList;
  // The corners of the 8 x 4 blocks: every block wider splits.
  for (int gy = 0; gy < kHeight; gy += 4)
    for (int gx = 0; gx < kWidth; gx += 8) want(gx, gy, kFullLists);
  traceWanted(ctx, direction);
  // The halves of the 8 x 4 blocks that split, still with the full lists.
  for (int y = 0, b = 0; y < kRayGridHeight; y += 4) {
    for (int x = 0; x < kRayGridWidth; x += 8, ++b) {
      split8[b] = splits(x, y, 8, 4);
      if (split8[b]) wantHalves(x, y, 8, 4, kFullLists);
    }
  }
  traceWanted(ctx, direction);
  // The halves of the 4 x 2 blocks that split, with their own lists.
  for (int y = 0, b = 0; y < kRayGridHeight; y += 2) {
    for (int x = 0; x < kRayGridWidth; x += 4, ++b) {
      split4[b] = split8[(y / 4) * (kRayGridWidth / 8) + x / 8] && splits(x, y, 4, 2);
      if (split4[b]) wantHalves(x, y, 4, 2, listsOf(x, y, 4, 2));
    }
  }
  traceWanted(ctx, direction);
  // The single pixels of the 2 x 1 blocks that split.
  for (int y = 0; y < kRayGridHeight; ++y) {
    for (int x = 0; x < kRayGridWidth; x += 2) {
      if (split4[(y / 2) * (kRayGridWidth / 4) + x / 4] && splits(x, y, 2, 1))
        wantHalves(x, y, 2, 1, listsOf(x, y, 2, 1));
    }
  }
  traceWanted(ctx, direction);
}

void rayForgetAhead() {
  std::memset(state, kNone, sizeof(state));
  lists.resize(1);
}

const RaySample* rayTakeAhead(int gx, int gy, const int32_t* hitList, const int32_t* shadowList,
                              uint32_t* intersects) {
  const AheadPoint& p = points[at(gx, gy)];
  if (state[at(gx, gy)] != kReady) return nullptr;
  if (p.lists == kFullLists) {
    if (hitList != full || shadowList != full) return nullptr;
  } else if (!sameList(hitList, lists[p.lists].hits) ||
             !sameList(shadowList, lists[p.lists].shadows)) {
    return nullptr;
  }
  *intersects += p.intersects;
  return &p.sample;
}
