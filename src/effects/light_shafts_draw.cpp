#include <utility>

#include "effects/light_shafts.h"
#include "effects/light_shafts_steps.h"
#include "effects/shaft_stats.h"
#include "gfx/scene_region.h"
#include "math/time_window.h"
#include "platform/tick_clock.h"

void projectShafts(const LightShafts& light, const ViewCamera& cam, const Vector3& position,
                   float visibleFlare, ShaftStep& step) {
  const Vector3 v = position - cam.position;
  float a = v.dot(cam.forward);
  if (a == 0.0f) a = 1e-9f;
  Vector3 along;
  along.setProjection(cam.forward, v);
  const Vector3 r = v - along;
  step.projectedX = float(light.halfGridWidth) * -r.dot(cam.right) * 256.0f / a;
  step.projectedY = float(light.halfGridHeight) * (-2.0f * r.dot(cam.up)) * 256.0f / a;
  step.effectiveIntensity = a > 0.25f ? visibleFlare / a : 0.0f;
}

NoiseColumns advanceNoiseClock(float& clock, int32_t deltaMs, float speed) {
  float p = clock;
  if (deltaMs > 0) p += float(deltaMs) * speed * 0.001f;
  const int32_t n = int32_t(p);
  const float phi = p - float(n);
  clock = float(n % 255) + phi;
  NoiseColumns out;
  out.c0 = int32_t(clock) & 255;
  out.c1 = (out.c0 + 1) & 255;
  out.w0 = int32_t((1.0f - phi) * 256.0f);
  out.w1 = int32_t(phi * 256.0f);
  return out;
}

void smoothOcclusionMask(LightShafts& light) {
  const int w = light.gridWidth;
  const int h = light.gridHeight;
  // The filter leaves the border of its output unwritten; giving the work
  // buffer the mask's border keeps stale images out of the rows and
  // columns next to it.
  for (int x = 0; x < w; ++x) {
    light.scratch[x] = light.occlusionMask[x];
    light.scratch[(h - 1) * w + x] = light.occlusionMask[(h - 1) * w + x];
  }
  for (int y = 0; y < h; ++y) {
    light.scratch[y * w] = light.occlusionMask[y * w];
    light.scratch[y * w + w - 1] = light.occlusionMask[y * w + w - 1];
  }
  for (int pass = 0; pass < 3; ++pass) {
    const int16_t* m = light.occlusionMask;
    int16_t* out = light.scratch;
    for (int y = 1; y < h - 1; ++y) {
      for (int x = 1; x < w - 1; ++x) {
        const int c = y * w + x;
        const int32_t sum = m[c - w - 1] + m[c - w] + m[c - w + 1] + m[c - 1] + m[c + 1] +
                            m[c + w - 1] + m[c + w] + m[c + w + 1];
        out[c] = int16_t((sum >> 4) + (m[c] >> 1));
      }
    }
    std::swap(light.occlusionMask, light.scratch);
  }
  int16_t* m = light.occlusionMask;
  for (int x = 0; x < w; ++x) {
    m[x] = 0;
    m[(h - 1) * w + x] = 0;
  }
  for (int y = 0; y < h; ++y) {
    int16_t* row = m + y * w;
    const int32_t left = row[3];
    row[0] = int16_t(left * 85 >> 8);
    row[1] = int16_t(left * 170 >> 8);
    row[2] = int16_t(left);
    const int32_t right = row[w - 4];
    row[w - 1] = int16_t(right * 85 >> 8);
    row[w - 2] = int16_t(right * 170 >> 8);
    row[w - 3] = int16_t(right);
  }
}

// Bilinear sample with 8-bit weights (255 - f, f) per axis, >> 16.
static inline int32_t sampleTable(const int32_t* t, int stride, int fx, int fy) {
  const int32_t top = t[0] * (255 - fx) + t[1] * fx;
  const int32_t bottom = t[stride] * (255 - fx) + t[stride + 1] * fx;
  return (top * (255 - fy) + bottom * fy) >> 16;
}

// Truncation that stays defined for the huge steps of a nearly faded light
// (intensity near 0 makes 1/k enormous); such positions lie off the table
// either way.
static inline int32_t truncateFixed(float v) {
  const float limit = 1073741824.0f;
  if (v > limit) return int32_t(limit);
  if (v < -limit) return -int32_t(limit);
  return int32_t(v);
}

static inline int32_t clampTableIndex(int32_t pos, int32_t size) {
  int32_t i = pos >> 8;
  if (i < 0) i = 0;
  if (i >= size - 1) i = size - 2;
  return i;
}

void buildGlowImage(LightShafts& light, int32_t sx, int32_t sy, const NoiseColumns& noise) {
  const int gw = light.gridWidth;
  const int gh = light.gridHeight;
  const int tw = light.tableWidth;
  const int th = light.tableHeight;
  const float kx = float(tw) * light.effectiveIntensity / float(gw);
  const float ky = float(th) * light.effectiveIntensity / float(gh);
  const int32_t step = truncateFixed(255.0f / kx);
  const int32_t mixOn = int32_t(light.noiseMix * 256.0f);
  const int32_t mixOff = int32_t((1.0f - light.noiseMix) * 256.0f);
  const int32_t colStart = truncateFixed(float(light.halfTableWidth) * 256.0f -
                                         (float(light.halfGridWidth * 256) / kx + float(sx) / kx));
  const int32_t* falloff = light.falloffTable.data();
  const int32_t* angle = light.angleTable.data();
  const int32_t* ring = light.ringTable.data();
  // Where the noise is on but no table was made, the light draws without it.
  const int32_t* rayNoise = light.rayNoiseOn && light.rayNoise ? light.rayNoise->data() : nullptr;

  for (int i = 0; i < gh; ++i) {
    const int32_t rowPos = truncateFixed(float((i - light.halfGridHeight) * 256) / ky -
                                         float(sy) / ky + float(light.halfTableHeight * 256));
    const int32_t fy = rowPos & 255;
    const int32_t tr = clampTableIndex(rowPos, th);
    int64_t colPos = colStart;  // 64-bit: a huge step must not wrap
    int16_t* shaftRow = light.shaftImage + i * gw;
    int16_t* coreRow = light.coreImage + i * gw;
    const int16_t* maskRow = light.occlusionMask + i * gw;
    for (int j = 0; j < gw; ++j, colPos += step) {
      const int32_t fx = int32_t(colPos & 255);
      const int32_t tc = colPos >= int64_t(tw) << 8 ? tw - 2 : clampTableIndex(int32_t(colPos), tw);
      const int32_t at = tr * tw + tc;
      const int32_t base = sampleTable(falloff + at, tw, fx, fy);
      int32_t h = base;
      if (rayNoise) {
        const int32_t a = sampleTable(angle + at, tw, fx, fy) & 255;
        const int32_t r = sampleTable(ring + at, tw, fx, fy);
        const int32_t n =
            (noise.w0 * rayNoise[a * 256 + noise.c0] + noise.w1 * rayNoise[a * 256 + noise.c1]) *
                base >> 16;
        h = ((((r * n + (255 - r) * base) >> 8) * mixOn + base * mixOff) >> 8);
      }
      const int16_t v = int16_t(h * maskRow[j] >> 8);
      shaftRow[j] = v;
      coreRow[j] = v;
    }
  }
}

void runZoomPasses(LightShafts& light, int32_t sx, int32_t sy) {
  const int gw = light.gridWidth;
  const int gh = light.gridHeight;
  const int passes = light.zoomPasses;
  const float z = light.zoomLength;
  const int32_t maxIndex = light.cellCount - gw - 3;
  for (int p = 0; p < passes; ++p) {
    const int32_t u = int32_t(100.0f * z - float(passes - p - 1) * (100.0f * z / float(passes)) *
                                               (light.shaftSpread + 1.0f));
    for (int i = 0; i < light.cellCount; ++i) light.scratch[i] = light.shaftImage[i];
    ++light.passCounter;
    const int16_t* src = light.scratch;
    for (int y = 0; y < gh - 1; ++y) {
      // 64-bit products: a light far off-screen has a huge offset.
      const int64_t ry = int64_t(u) * (int64_t(sy) - 256 * (y - light.halfGridHeight));
      const int32_t row = y + int32_t(ry >> 16);
      const int32_t fy = int32_t(ry >> 8) & 255;
      int16_t* out = light.shaftImage + y * gw;
      for (int x = 0; x < gw; ++x) {
        const int64_t rx = int64_t(u) * (256 * int64_t(light.halfGridWidth - x) + sx);
        const int64_t column = x + (rx >> 16);
        if (column <= 0 || column >= gw - 3) continue;
        const int32_t fx = int32_t(rx >> 8) & 255;
        int64_t index = int64_t(row) * gw + column;
        if (index < 0) index = 0;
        if (index > maxIndex) index = maxIndex;
        const int16_t* s = src + index;
        const int32_t top = s[0] * (255 - fx) + s[1] * fx;
        const int32_t bottom = s[gw] * (255 - fx) + s[gw + 1] * fx;
        out[x] = int16_t(out[x] + ((top * (255 - fy) + bottom * fy) >> 16));
      }
    }
  }
}

int32_t toneIndex(const LightShafts& light, int32_t cell, int32_t core, int32_t passes) {
  const float t = float(1 << passes);
  int32_t index;
  if (light.noFlareTest && light.expTone) {
    index = int32_t(saturate255((float(cell) / t + 2.0f * float(core)) / 256.0f, light.toneGain));
    if (index < 0) index = 0;
    if (index > 255) index = 255;
  } else if (light.noFlareTest) {
    index = (cell >> passes) + core;
  } else if (light.expTone) {
    index = int32_t(saturate255(float(cell) / t / 256.0f, light.toneGain));
  } else {
    index = cell >> passes;
  }
  return index < 0 ? 0 : index;
}

LitBox toneMapShafts(LightShafts& light) {
  const int passes = light.zoomPasses;
  const int w = light.gridWidth;
  uint8_t* rgb = light.rgbImage.data();
  const uint8_t* pr = light.paletteR.data();
  const uint8_t* pg = light.paletteG.data();
  const uint8_t* pb = light.paletteB.data();
  LitBox box{w, light.gridHeight, -1, -1};
  // Neighbouring cells mostly repeat a value; remembering the last one keeps
  // the exponential off most cells.
  int32_t lastCell = -1, lastCore = -1, lastIndex = 0;
  bool lastLit = false;
  for (int y = 0; y < light.gridHeight; ++y) {
    const int16_t* cells = light.shaftImage + y * w;
    const int16_t* cores = light.coreImage + y * w;
    for (int x = 0; x < w; ++x, rgb += 3) {
      const int32_t cell = cells[x];
      const int32_t core = cores[x];
      if (cell != lastCell || core != lastCore) {
        lastCell = cell;
        lastCore = core;
        lastIndex = toneIndex(light, cell, core, passes);
        if (lastIndex > 65535) lastIndex = 65535;
        lastLit = (pr[lastIndex] | pg[lastIndex] | pb[lastIndex]) != 0;
      }
      rgb[0] = pr[lastIndex];
      rgb[1] = pg[lastIndex];
      rgb[2] = pb[lastIndex];
      if (lastLit) {
        if (x < box.x0) box.x0 = x;
        if (x > box.x1) box.x1 = x;
        if (y < box.y0) box.y0 = y;
        box.y1 = y;
      }
    }
  }
  return box;
}

ShaftQuad shaftQuadFor(const LightShafts& light, const LitBox& box) {
  const int w = light.gridWidth;
  const int h = light.gridHeight;
  const int cx0 = box.x0 - 1 < 0 ? 0 : box.x0 - 1;
  const int cx1 = box.x1 + 2 > w ? w : box.x1 + 2;
  const int cy0 = box.y0 - 1 < 0 ? 0 : box.y0 - 1;
  const int cy1 = box.y1 + 2 > h ? h : box.y1 + 2;
  ShaftQuad q;
  q.s0 = float(cx0) / float(w);
  q.s1 = float(cx1) / float(w);
  q.t0 = float(cy0) / float(w);  // the texture is w x w; the picture its first h rows
  q.t1 = float(cy1) / float(w);
  q.x0 = -256.0f + 512.0f * float(cx0) / float(w);
  q.x1 = -256.0f + 512.0f * float(cx1) / float(w);
  q.y0 = -128.0f + 256.0f * float(cy0) / float(h);
  q.y1 = -128.0f + 256.0f * float(cy1) / float(h);
  return q;
}

// Keeps a far-off projection inside the integer range of the fixed-point
// steps; anything this far is off the grid either way.
static int32_t truncateOffset(float v) {
  const float limit = 16777216.0f;
  if (v > limit) v = limit;
  if (v < -limit) v = -limit;
  return int32_t(v);
}

ShaftStep stepShafts(const LightShafts& light, const ViewCamera& camera, const Vector3& position,
                     float visibleFlare, int noiseDeltaMs, float& noiseClock) {
  ShaftStep step;
  projectShafts(light, camera, position, visibleFlare, step);
  if (step.effectiveIntensity > 0.0f)
    step.noise = advanceNoiseClock(noiseClock, noiseDeltaMs, light.noiseSpeed);
  return step;
}

void LightShafts::drawShafts(Gfx& gfx, float noiseClock, ShaftStats& stats) {
  drawShaftStep(gfx, *this, stepShafts(*this, *camera, position, visibleFlare, 0, noiseClock),
                stats);
}

// The light's texture, made on its first draw: lights that only light a
// world or a mesh never need one.
static TextureName shaftTexture(Gfx& gfx, LightShafts& light) {
  if (light.texture == 0) {
    light.texture = createTexture(gfx);
    defineTexture(gfx, light.texture, light.gridWidth, light.gridWidth, PixelFormat::kRgb,
                  PixelFormat::kRgb, nullptr, Wrap::kClampToBorder, Filter::kLinear);
  }
  return light.texture;
}

void drawShaftStep(Gfx& gfx, LightShafts& light, const ShaftStep& step, ShaftStats& stats) {
  const int64_t started = tickNanoseconds();
  light.projectedX = step.projectedX;
  light.projectedY = step.projectedY;
  light.effectiveIntensity = step.effectiveIntensity;
  if (step.effectiveIntensity <= 0.0f) {
    stats.drawNanoseconds += tickNanoseconds() - started;
    ++stats.draws;
    return;
  }
  const int64_t softwareStarted = tickNanoseconds();
  if (light.smoothMask) smoothOcclusionMask(light);

  const int32_t sx = truncateOffset(step.projectedX);
  const int32_t sy = truncateOffset(step.projectedY);
  buildGlowImage(light, sx, sy, step.noise);
  light.zoomLength = light.shaftLength * 3.43f;
  runZoomPasses(light, sx, sy);
  const LitBox lit = toneMapShafts(light);
  const int64_t softwareDone = tickNanoseconds();
  stats.softwareNanoseconds += softwareDone - softwareStarted;

  const TextureName texture = shaftTexture(gfx, light);
  updateTexture(gfx, texture, 0, 0, light.gridWidth, light.gridWidth, PixelFormat::kRgb,
                light.rgbImage.data());
  stats.uploadNanoseconds += tickNanoseconds() - softwareDone;
  // The picture is added onto the frame, so black texels add nothing: only
  // the part of the band quad that can sample a lit texel is drawn (with the
  // full quad's coordinates there), which spares the rasterizer most of a
  // fading flash.
  if (lit.x1 >= lit.x0) {
    const ShaftQuad q = shaftQuadFor(light, lit);
    const Vertex quad[4] = {{q.x0, q.y1, -1.0f, 0.0f, 0.0f, 0.0f, 0.8f, q.s0, q.t1},
                            {q.x0, q.y0, -1.0f, 0.0f, 0.0f, 0.0f, 0.8f, q.s0, q.t0},
                            {q.x1, q.y0, -1.0f, 0.0f, 0.0f, 0.0f, 0.8f, q.s1, q.t0},
                            {q.x1, q.y1, -1.0f, 0.0f, 0.0f, 0.0f, 0.8f, q.s1, q.t1}};
    // Added onto the frame in the scene projection, whatever the scene drew
    // before.
    drawQuads(gfx, scenePass(Blend::kAdd, Combine::kAdd, texture), quad, 4);
  }

  stats.drawNanoseconds += tickNanoseconds() - started;
  ++stats.draws;
}
