// The grid ray-caster's frame: view plane, flare test and the adaptive
// corner sampling of traceBlock.
#include "raycast/ray_grid.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effects/light_shafts.h"
#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "math/view_camera.h"
#include "platform/tick_clock.h"
#include "raycast/ray_corners.h"
#include "raycast/ray_math.h"
#include "raycast/ray_grid_memory.h"
#include "raycast/ray_trace.h"

using namespace raymath;

namespace {

using Memory = RayGridMemory;
constexpr int kCacheWidth = Memory::kCacheWidth;
constexpr int kCacheHeight = Memory::kCacheHeight;
// A block subdivides only while this many table entries stay free: each
// block on the recursion stack (at most 9 that subdivide) has promised at
// most 5 corner points to its children, so the table can never overflow.
constexpr int kSampleReserve = 5 * 11;
// Background, used only if the table were full.
const RaySample kFallbackSample{0, 0, 0, 0, kRayMissDistance, 0.0f, 0.0f, 1.0f, 0.0f};

// One frame's refinement over the grid's memory, with the frame's counts.
struct BlockTracer {
  Memory& m;
  const int32_t* fullList;  // the world's idList
  LightShafts& light;
  bool capped = false;
  uint32_t leafCount = 0;
  uint32_t pixelCount = 0;

  const RaySample& corner(int gx, int gy, const int32_t* hitList, const int32_t* shadowList) {
    uint16_t& entry = m.sampleCache[gy * kCacheWidth + gx];
    if (entry == Memory::kUntraced) {
      if (m.sampleCount >= kRayMaxSamples) return kFallbackSample;  // unreachable by the reserve
      if (const RaySample* a = rayTakeAhead(m.ahead, gx, gy, hitList, shadowList, m.context)) {
        m.sampleTable[m.sampleCount] = *a;
      } else {
        traceSample(m.context, hitList, shadowList, m.view.direction(gx, gy),
                    m.sampleTable[m.sampleCount]);
      }
      entry = static_cast<uint16_t>(m.sampleCount);
      ++m.sampleCount;
    }
    return m.sampleTable[entry];
  }

  void drawLeaf(const RayBlock& block) {
    rayDrawLeaf(m.draw, block);
    rayMaskLeaf(light, m.context.lightDistance, block);
    ++leafCount;
  }

  void traceBlock(int x, int y, int w, int h, const int32_t* hitList, const int32_t* shadowList) {
    const RayBlock block{x,
                         y,
                         w,
                         h,
                         corner(x, y, hitList, shadowList),
                         corner(x + w, y, hitList, shadowList),
                         corner(x, y + h, hitList, shadowList),
                         corner(x + w, y + h, hitList, shadowList)};
    if (w <= 8 && rayCornersAgree(block.c0, block.c1, block.c2, block.c3)) {
      drawLeaf(block);
      return;
    }
    if (w <= 1) {
      rayDrawPixel(m.draw, x, y, block.c0);
      rayMaskPixel(light, m.context.lightDistance, block);
      ++pixelCount;
      return;
    }
    if (m.sampleCount > kRayMaxSamples - kSampleReserve) {
      // Out of samples: stop refining, draw the block from its corners.
      capped = true;
      drawLeaf(block);
      return;
    }

    RayLists lists;
    const int32_t* childHits = fullList;
    const int32_t* childShadows = fullList;
    if (w < 8) {
      lists = rayCornerLists(block.c0, block.c1, block.c2, block.c3);
      childHits = lists.hits;
      childShadows = lists.shadows;
    }
    const int w2 = w / 2;
    const int h2 = h / 2;
    if (h == 1) {
      traceBlock(x, y, w2, 1, childHits, childShadows);
      traceBlock(x + w2, y, w2, 1, childHits, childShadows);
    } else {
      traceBlock(x, y, w2, h2, childHits, childShadows);
      traceBlock(x + w2, y, w2, h2, childHits, childShadows);
      traceBlock(x, y + h2, w2, h2, childHits, childShadows);
      traceBlock(x + w2, y + h2, w2, h2, childHits, childShadows);
    }
  }
};

// The view plane of the (orthonormalised) camera: TL = F + U/2 + R,
// TR = F + U/2 - R, BL = F - U/2 + R.
void setViewPlane(RayView& view, const ViewCamera& cam) {
  const Vector3 halfUp = scale(cam.up, 0.5f);
  view.topLeft = add(add(cam.forward, halfUp), cam.right);
  view.topRight = sub(add(cam.forward, halfUp), cam.right);
  view.bottomLeft = add(sub(cam.forward, halfUp), cam.right);
  view.stepX = scale(sub(view.topRight, view.topLeft), 1.0f / kRayGridWidth);
  view.stepY = scale(sub(view.bottomLeft, view.topLeft), 1.0f / kRayGridHeight);
}

// X' and Y' of every grid column and row (the wobble, or the points themselves).
void setSamplePositions(RayView& view, const RayWorld& world) {
  for (int gx = 0; gx < kCacheWidth; ++gx) {
    const float fx = static_cast<float>(gx);
    const float phase = world.wobbleFrequency.x * fx + world.wobblePhase.x;
    view.sampleX[gx] = world.wobble ? fx + world.wobbleAmplitude.x * std::cos(phase) : fx;
  }
  for (int gy = 0; gy < kCacheHeight; ++gy) {
    const float fy = static_cast<float>(gy);
    const float phase = world.wobbleFrequency.y * fy + world.wobblePhase.y;
    view.sampleY[gy] = world.wobble ? fy + world.wobbleAmplitude.y * std::sin(phase) : fy;
  }
}

// Section 2: whether the light's flare is visible this frame.
void flareTest(RayWorld& world, RayContext& ctx, const RayView& view) {
  LightShafts& light = *world.light;
  if (!(light.flareIntensity > 0.0f) || light.noFlareTest) return;
  Vector3 l = sub(ctx.lightPosition, ctx.cameraPosition);
  normalize(l);
  // Centre of the view plane: TL + (TR - TL) / 2 + (BL - TL) / 2.
  Vector3 c = add(add(view.topLeft, scale(sub(view.topRight, view.topLeft), 0.5f)),
                  scale(sub(view.bottomLeft, view.topLeft), 0.5f));
  normalize(c);
  if (dot(c, l) > 0.0f) {
    RaySample s;
    ctx.kind = kRayFromCamera;
    ctx.origin = ctx.cameraPosition;
    ctx.sample = &s;
    nearestHit(ctx, world.idList, l, s);
    if (s.hitObject == 0 || s.distance < ctx.lightDistance) light.visibleFlare = 0.0f;
  } else {
    light.visibleFlare = 0.0f;
  }
}

// Steps 1, 5 and 6 of a frame, drawn or not: the flare default, the origin
// terms, the camera basis and the view plane.
void beginView(RayWorld& world, RayContext& ctx, RayView& view) {
  world.light->visibleFlare = world.light->flareIntensity;
  rayBeginFrame(ctx, world);
  world.camera->orthonormalize();
  setViewPlane(view, *world.camera);
}

void printStatistics(RayStats& stats) {
  stats.intersectCount += stats.frameIntersects;
  stats.frameIntersects = 0;
  if (stats.frameCounter < 50) {
    stats.frameCounter += 1;
  } else {
    if (stats.printLines) {
      std::printf("avarage %i rays per frame\n", static_cast<int>(stats.intersectCount / 50));
      std::fflush(stdout);
    }
    stats.intersectCount = 0;
    stats.frameCounter = 0;
  }
}

}  // namespace

Pass rayGridPass(GridDepth depth) {
  Pass pass = scenePass(Blend::kWeighted, Combine::kAdd, 0);
  pass.modelview = translated(identityMatrix(), -256.0f, -128.0f, 0.0f);
  // Where depth is read, the quads write it in emission order, each over
  // the last.
  pass.state.depth = depth == GridDepth::Read ? DepthTest::kAlways : DepthTest::kOff;
  return pass;
}

RayGrid::RayGrid() : memory(std::make_unique<RayGridMemory>()) {}
RayGrid::~RayGrid() = default;

float rayDepth(const RayWorld& world, float distance) {
  return world.depthScale * (1.0f - 1.0f / (world.depthGain * distance + 1.0f));
}

void renderRayGrid(Gfx& gfx, RayGrid& grid, RayWorld& world, GridDepth depth,
                   SoftwarePasses* software, RayStats& stats) {
  const int64_t startNs = tickNanoseconds();
  Memory& m = *grid.memory;
  RayContext& ctx = m.context;

  // 2. Statistics.
  printStatistics(stats);

  // 3. A cleared frame.
  clearFrame(gfx, kBlack);

  // 4. Reset the sample cache.
  std::memset(m.sampleCache, 0xFF, sizeof(m.sampleCache));

  // 1, 5, 6. Flare default, origin terms, camera basis, view plane.
  ctx.intersects = 0;
  beginView(world, ctx, m.view);
  setSamplePositions(m.view, world);

  // 7. Empty sample table.
  m.sampleCount = 0;

  // 8. Flare test, then the whole band.
  flareTest(world, ctx, m.view);
  if (grid.traceAhead) {
    rayTraceAhead(m.ahead, ctx, world.idList, m.view);
  } else {
    rayForgetAhead(m.ahead);
  }
  rayDrawBegin(m.draw, world, depth == GridDepth::Unread);
  BlockTracer tracer{m, world.idList, *world.light};
  tracer.traceBlock(0, 0, kRayGridWidth, kRayGridHeight, world.idList, world.idList);
  rayDrawEnd(gfx, m.draw, rayGridPass(depth), software);

  stats.frameIntersects = ctx.intersects;
  stats.lastFrameIntersects = ctx.intersects;
  stats.lastFrameSamples = static_cast<uint32_t>(m.sampleCount);
  stats.lastFrameLeaves = tracer.leafCount;
  stats.lastFramePixels = tracer.pixelCount;
  stats.lastFrameQuads = rayDrawQuadCount(m.draw);
  stats.lastFrameCapped = tracer.capped ? 1 : 0;
  const int64_t elapsed = tickNanoseconds() - startNs;
  stats.lastFrameNanoseconds = elapsed;
  stats.gridNanoseconds += elapsed;
  stats.gridCalls += 1;
}

void advanceRayView(RayWorld& world) {
  RayContext ctx;
  RayView view;
  beginView(world, ctx, view);
  flareTest(world, ctx, view);
}

const RaySample* rayGridSample(const RayGrid& grid, int gx, int gy) {
  if (gx < 0 || gx > kRayGridWidth || gy < 0 || gy > kRayGridHeight) return nullptr;
  const Memory& m = *grid.memory;
  const uint16_t entry = m.sampleCache[gy * kCacheWidth + gx];
  if (entry == Memory::kUntraced) return nullptr;
  return &m.sampleTable[entry];
}

int rayGridSampleCount(const RayGrid& grid) { return grid.memory->sampleCount; }

bool rayGridDrawnBySoftware(const RayGrid& grid) { return grid.memory->draw.softwareDrew; }
