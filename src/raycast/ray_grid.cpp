// The grid ray-caster's frame: view plane, flare test and the adaptive
// corner sampling of traceBlock.
#include "raycast/ray_grid.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effects/light_shafts.h"
#include "math/view_camera.h"
#include "platform/tick_clock.h"
#include "raycast/ray_ahead.h"
#include "raycast/ray_draw.h"
#include "raycast/ray_math.h"
#include "raycast/ray_stats.h"
#include "raycast/ray_trace.h"

using namespace raymath;

namespace {

constexpr int kCacheWidth = kRayGridWidth + 1;
constexpr int kCacheHeight = kRayGridHeight + 1;
constexpr uint16_t kUntraced = 0xFFFF;
// A block subdivides only while this many table entries stay free: each
// block on the recursion stack (at most 9 that subdivide) has promised at
// most 5 corner points to its children, so the table can never overflow.
constexpr int kSampleReserve = 5 * 11;

// Renderer state, allocated once with the program.
uint16_t sampleCache[kCacheWidth * kCacheHeight];
RaySample sampleTable[kRayMaxSamples];
int sampleCount = 0;
float sampleX[kCacheWidth];   // X' of each grid column (wobble)
float sampleY[kCacheHeight];  // Y' of each grid row (wobble)
Vector3 viewTL, viewTR, viewBL, stepX, stepY;
RayWorld* gridWorld = nullptr;
RayContext* gridContext = nullptr;
bool capped = false;
uint32_t leafCount = 0;
uint32_t pixelCount = 0;
RaySample fallbackSample;  // background, used only if the table were full

bool aheadOn = true;  // off only in tests that compare with one thread

// The view ray through grid point (gx, gy), wobble included.
Vector3 gridDirection(int gx, int gy) {
  const float sx = sampleX[gx];
  const float sy = sampleY[gy];
  return Vector3(viewTL.x + stepX.x * sx + stepY.x * sy, viewTL.y + stepX.y * sx + stepY.y * sy,
                 viewTL.z + stepX.z * sx + stepY.z * sy);
}

const RaySample& corner(int gx, int gy, const int32_t* hitList, const int32_t* shadowList) {
  uint16_t& entry = sampleCache[gy * kCacheWidth + gx];
  if (entry == kUntraced) {
    if (sampleCount >= kRayMaxSamples) return fallbackSample;  // unreachable by the reserve
    if (const RaySample* a = rayTakeAhead(gx, gy, hitList, shadowList, gridContext->intersects)) {
      sampleTable[sampleCount] = *a;
    } else {
      traceSample(*gridContext, hitList, shadowList, gridDirection(gx, gy),
                  sampleTable[sampleCount]);
    }
    entry = static_cast<uint16_t>(sampleCount);
    ++sampleCount;
  }
  return sampleTable[entry];
}

inline bool agreeWithin(float a, float b) { return std::fabs(static_cast<double>(a - b)) <= 0.4; }

void drawLeaf(int x, int y, int w, int h, const RaySample& c0, const RaySample& c1,
              const RaySample& c2, const RaySample& c3) {
  rayDrawLeaf(x, y, w, h, c0, c1, c2, c3);
  rayMaskLeaf(*gridWorld->light, gridContext->lightDistance, x, y, w, h, c0, c1, c2, c3);
  ++leafCount;
}

void traceBlock(int x, int y, int w, int h, const int32_t* hitList, const int32_t* shadowList) {
  const RaySample& c0 = corner(x, y, hitList, shadowList);
  const RaySample& c1 = corner(x + w, y, hitList, shadowList);
  const RaySample& c2 = corner(x, y + h, hitList, shadowList);
  const RaySample& c3 = corner(x + w, y + h, hitList, shadowList);

  if (w <= 8 && rayCornersAgree(c0, c1, c2, c3)) {
    drawLeaf(x, y, w, h, c0, c1, c2, c3);
    return;
  }
  if (w <= 1) {
    rayDrawPixel(x, y, c0);
    rayMaskPixel(*gridWorld->light, gridContext->lightDistance, x, y, c0, c1, c2, c3);
    ++pixelCount;
    return;
  }
  if (sampleCount > kRayMaxSamples - kSampleReserve) {
    // Out of samples: stop refining, draw the block from its corners.
    capped = true;
    drawLeaf(x, y, w, h, c0, c1, c2, c3);
    return;
  }

  RayLists lists;
  const int32_t* childHits = gridWorld->idList;
  const int32_t* childShadows = gridWorld->idList;
  if (w < 8) {
    lists = rayCornerLists(c0, c1, c2, c3);
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

// Section 2: whether the light's flare is visible this frame.
void flareTest(RayWorld& world, RayContext& ctx) {
  LightShafts& light = *world.light;
  if (!(light.flareIntensity > 0.0f) || light.noFlareTest) return;
  Vector3 l = sub(ctx.lightPosition, ctx.cameraPosition);
  normalize(l);
  // Centre of the view plane: TL + (TR - TL) / 2 + (BL - TL) / 2.
  Vector3 c = add(add(viewTL, scale(sub(viewTR, viewTL), 0.5f)),
                  scale(sub(viewBL, viewTL), 0.5f));
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

void printStatistics() {
  rayStats.intersectCount += rayStats.frameIntersects;
  rayStats.frameIntersects = 0;
  if (rayStats.frameCounter < 50) {
    rayStats.frameCounter += 1;
  } else {
    if (rayStats.printLines) {
      std::printf("avarage %i rays per frame\n", static_cast<int>(rayStats.intersectCount / 50));
      std::fflush(stdout);
    }
    rayStats.intersectCount = 0;
    rayStats.frameCounter = 0;
  }
}

}  // namespace

bool rayCornersAgree(const RaySample& c0, const RaySample& c1, const RaySample& c2,
                     const RaySample& c3) {
  if (c0.hitObject != c1.hitObject || c0.hitObject != c2.hitObject ||
      c0.hitObject != c3.hitObject)
    return false;
  if (c0.shadowCount != c1.shadowCount || c0.shadowCount != c2.shadowCount ||
      c0.shadowCount != c3.shadowCount)
    return false;
  if (c0.bounceObject != c1.bounceObject || c0.bounceObject != c2.bounceObject ||
      c0.bounceObject != c3.bounceObject)
    return false;
  // Pairs (c0,c1), (c0,c2), (c0,c3), (c1,c3), (c1,c2), (c2,c3).
  return agreeWithin(c0.glow, c1.glow) && agreeWithin(c0.shade, c1.shade) && agreeWithin(c0.glow, c2.glow) &&
         agreeWithin(c0.shade, c2.shade) && agreeWithin(c0.glow, c3.glow) && agreeWithin(c0.shade, c3.shade) &&
         agreeWithin(c1.glow, c3.glow) && agreeWithin(c1.shade, c3.shade) && agreeWithin(c1.glow, c2.glow) &&
         agreeWithin(c1.shade, c2.shade) && agreeWithin(c2.glow, c3.glow) && agreeWithin(c2.shade, c3.shade);
}

float rayDepth(const RayWorld& world, float distance) {
  return world.depthScale * (1.0f - 1.0f / (world.depthGain * distance + 1.0f));
}

void renderRayGrid(RayWorld& world, GridDepth depth, bool draw) {
  const int64_t startNs = tickNanoseconds();
  LightShafts& light = *world.light;
  RayContext& ctx = rayContext();

  // 1-2. Flare default and statistics (of drawn frames only).
  light.visibleFlare = light.flareIntensity;
  if (draw) printStatistics();

  // 3. GL state.
  if (draw) {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-256.0f, -128.0f, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);

    // 4. Reset the sample cache.
    std::memset(sampleCache, 0xFF, sizeof(sampleCache));
  }

  // 5. Origin terms and camera basis.
  rayBeginFrame(ctx, world);
  world.camera->orthonormalize();

  // 6. View plane: TL = F + U/2 + R, TR = F + U/2 - R, BL = F - U/2 + R.
  const ViewCamera& cam = *world.camera;
  const Vector3 halfUp = scale(cam.up, 0.5f);
  const Vector3 tl = add(add(cam.forward, halfUp), cam.right);
  const Vector3 tr = sub(add(cam.forward, halfUp), cam.right);
  const Vector3 bl = add(sub(cam.forward, halfUp), cam.right);
  viewTL = tl;
  viewTR = tr;
  viewBL = bl;
  stepX = scale(sub(tr, tl), 1.0f / kRayGridWidth);
  stepY = scale(sub(bl, tl), 1.0f / kRayGridHeight);
  if (!draw) {
    // The flare test decides the light's flare for its shafts, which carry
    // it into the next draw; its few rays are not a drawn frame's.
    const uint32_t intersects = rayStats.frameIntersects;
    flareTest(world, ctx);
    rayStats.frameIntersects = intersects;
    return;
  }
  for (int gx = 0; gx < kCacheWidth; ++gx) {
    const float fx = static_cast<float>(gx);
    sampleX[gx] = world.wobble ? fx + world.wobbleAmplitude.x *
                                          std::cos(world.wobbleFrequency.x * fx + world.wobblePhase.x)
                               : fx;
  }
  for (int gy = 0; gy < kCacheHeight; ++gy) {
    const float fy = static_cast<float>(gy);
    sampleY[gy] = world.wobble ? fy + world.wobbleAmplitude.y *
                                          std::sin(world.wobbleFrequency.y * fy + world.wobblePhase.y)
                               : fy;
  }

  // 7. Empty sample table.
  sampleCount = 0;
  capped = false;
  leafCount = 0;
  pixelCount = 0;
  gridWorld = &world;
  gridContext = &ctx;
  fallbackSample = RaySample{0, 0, 0, 0, kRayMissDistance, 0.0f, 0.0f, 1.0f, 0.0f};

  // 8. Flare test, then the whole band.
  flareTest(world, ctx);
  if (aheadOn) {
    rayTraceAhead(ctx, world.idList, gridDirection);
  } else {
    rayForgetAhead();
  }
  rayDrawBegin(world, ctx.lightDistance, depth == GridDepth::Unread);
  traceBlock(0, 0, kRayGridWidth, kRayGridHeight, world.idList, world.idList);
  rayDrawEnd();

  rayStats.lastFrameIntersects = rayStats.frameIntersects;
  rayStats.lastFrameSamples = static_cast<uint32_t>(sampleCount);
  rayStats.lastFrameLeaves = leafCount;
  rayStats.lastFramePixels = pixelCount;
  rayStats.lastFrameQuads = rayDrawQuadCount();
  rayStats.lastFrameCapped = capped ? 1 : 0;
  const int64_t elapsed = tickNanoseconds() - startNs;
  rayStats.lastFrameNanoseconds = elapsed;
  rayStats.gridNanoseconds += elapsed;
  rayStats.gridCalls += 1;
}

const RaySample* rayGridSample(int gx, int gy) {
  if (gx < 0 || gx > kRayGridWidth || gy < 0 || gy > kRayGridHeight) return nullptr;
  const uint16_t entry = sampleCache[gy * kCacheWidth + gx];
  if (entry == kUntraced) return nullptr;
  return &sampleTable[entry];
}

int rayGridSampleCount() { return sampleCount; }

void rayGridTraceAhead(bool on) { aheadOn = on; }
