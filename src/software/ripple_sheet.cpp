#include "software/ripple_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/worker_pool.h"
#include "software/texel_sampler.h"

namespace {

constexpr int kW = kSheetBandWidth;
constexpr int kH = kSheetBandHeight;
constexpr int kBandPixels = kW * kH;
// Rows per task: two tasks keep both cores busy with one triangle walk each.
constexpr int kParts = 2;

inline float clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

// Nearest whole number, halves to even, as the rasteriser converts; for
// 0 <= x < 2^22, without a library call where the processor's rounding
// instruction is not assumed.
inline float roundToEven(float x) {
  const float shift = 12582912.0f;  // 1.5 * 2^23: the sum keeps no fraction
  return (x + shift) - shift;
}

// Per pixel: the nearest fragment's depth so far, the outgoing levels
// added and the nearest fragment's incoming term, r, g, b, 0 each, as the
// band's bytes lie. Kept from frame to frame.
struct Nearest {
  std::vector<float> depth;
  std::vector<uint16_t> added;
  std::vector<uint8_t> incoming;
};

// A picture inside a one-texel frame, so that a texel's neighbours are
// read without a wrap or a test: zeros where it clamps to a black border,
// its opposite edges where it repeats. Texels are kept spread, r, g, b, a
// in 16-bit lanes from the low end, ready to be weighed.
struct FramedPicture {
  std::vector<uint64_t> texels;
  bool repeats;
};
constexpr int kStride = kW + 2;

void frame(const SheetPicture& picture, FramedPicture& out) {
  out.repeats = picture.repeats;
  out.texels.resize(size_t(kStride) * (kH + 2));
  for (int y = 0; y < kH + 2; ++y) {
    uint64_t* row = &out.texels[size_t(y) * kStride];
    const uint8_t* t = &picture.texels->rgba[size_t((y + kH - 1) % kH) * kW * 4];
    for (int x = 1; x <= kW; ++x, t += 4)
      row[x] = uint64_t(t[0]) | uint64_t(t[1]) << 16 | uint64_t(t[2]) << 32 | uint64_t(t[3]) << 48;
    row[0] = picture.repeats ? row[kW] : 0;
    row[kW + 1] = picture.repeats ? row[1] : 0;
    if (!picture.repeats && (y == 0 || y > kH)) std::fill(row, row + kStride, 0);
  }
}

// GL_LINEAR on a GL_CLAMP texture as llvmpipe filters it: coordinates clamp
// to [0, 1], the four texels are weighed in float, texels beyond the edge
// are the black border. Levels 0..255, rounded as the fragment's colour is.
inline void sampleClamped(const uint64_t* framed, float s, float t, int out[3]) {
  // u and v lie in [-0.5, size - 0.5]: whole parts from -1, floored by
  // truncating after a shift of one.
  const float u = clamp01(s) * float(kW) - 0.5f;
  const float v = clamp01(t) * float(kH) - 0.5f;
  const int i = int(u + 1.0f), j = int(v + 1.0f);
  const float fx = u + 1.0f - float(i), fy = v + 1.0f - float(j);
  const uint64_t* corner = framed + size_t(j) * kStride + size_t(i);
  const uint64_t texel[4] = {corner[0], corner[1], corner[kStride], corner[kStride + 1]};
  for (int c = 0; c < 3; ++c) {
    float f[4];
    for (int k = 0; k < 4; ++k) f[k] = float((texel[k] >> (16 * c)) & 0xFFu);
    const float bottom = f[0] + fx * (f[1] - f[0]);
    const float top = f[2] + fx * (f[3] - f[2]);
    out[c] = int(roundToEven(bottom + fy * (top - bottom)));
  }
}

// GL_LINEAR on a repeating band picture, as Sampler filters it: weights of
// 8 fractional bits, across in 16-bit lanes (at most 255 * 256), down in
// 32-bit ones.
inline void sampleRepeating(const uint64_t* framed, float s, float t, int out[3]) {
  using texel_sampling::floorToInt;
  float su = s * float(kW), sv = t * float(kH);
  // Far-off or non-finite coordinates read the texel at the origin.
  if (!(std::fabs(su) < 1e8f)) su = 0.0f;
  if (!(std::fabs(sv) < 1e8f)) sv = 0.0f;
  const float fu = su - 0.5f, fv = sv - 0.5f;
  const int iu = floorToInt(fu), iv = floorToInt(fv);
  const uint64_t wu = uint64_t((fu - float(iu)) * 256.0f), wv = uint64_t((fv - float(iv)) * 256.0f);
  const uint64_t* r0 = framed + size_t((iv & (kH - 1)) + 1) * kStride + size_t((iu & (kW - 1)) + 1);
  const uint64_t* r1 = r0 + kStride;
  const uint64_t across0 = r0[0] * (256 - wu) + r0[1] * wu;
  const uint64_t across1 = r1[0] * (256 - wu) + r1[1] * wu;
  const uint64_t lanes = 0x0000FFFF0000FFFFull, half = 0x0000800000008000ull;
  const uint64_t rb = ((across0 & lanes) * (256 - wv) + (across1 & lanes) * wv + half) >> 16;
  const uint64_t g = ((across0 >> 16 & lanes) * (256 - wv) + (across1 >> 16 & lanes) * wv + half) >> 16;
  out[0] = int(rb & 0xFFFF);
  out[1] = int(g & 0xFFFF);
  out[2] = int((rb >> 32) & 0xFFFF);
}

inline void sample(const FramedPicture& picture, float s, float t, int out[3]) {
  if (picture.repeats)
    sampleRepeating(picture.texels.data(), s, t, out);
  else
    sampleClamped(picture.texels.data(), s, t, out);
}

// The blend's term: the level weighed by the fragment's 8-bit alpha,
// rounded; level * alpha / 255 never lies within float error of a half.
inline int weighed(int level, float alphaScale) {
  return int(roundToEven(float(level) * alphaScale));
}

inline float alphaScaleOf(float alpha) { return roundToEven(clamp01(alpha) * 255.0f) / 255.0f; }

// One triangle's coverage and plane equations.
struct Triangle {
  int64_t x[3], y[3];  // snapped to 1/256 pixel
  float x0, y0;        // the first corner, unsnapped: planes are taken from it
  // Planes of z, 1/w, u/w, v/w, alphaOut/w, alphaIn/w: value at the first
  // corner and steps per pixel in x and y.
  float at[6], dx[6], dy[6];
  bool countsOnEdge[3];
  int columnBegin, columnEnd, rowBegin, rowEnd;
};

// False where the triangle covers no area.
bool setUp(const SheetCorner& a, const SheetCorner& b, const SheetCorner& c, Triangle& t) {
  const SheetCorner* v[3] = {&a, &b, &c};
  for (int k = 0; k < 3; ++k) {
    t.x[k] = std::llround(double(v[k]->x) * 256.0);
    t.y[k] = std::llround(double(v[k]->y) * 256.0);
  }
  const int64_t area = (t.x[1] - t.x[0]) * (t.y[2] - t.y[0]) - (t.y[1] - t.y[0]) * (t.x[2] - t.x[0]);
  if (area == 0) return false;
  if (area < 0) {
    // Clockwise (a fold of the sheet): walk the edges the other way round.
    std::swap(t.x[1], t.x[2]);
    std::swap(t.y[1], t.y[2]);
  }
  for (int k = 0; k < 3; ++k) {
    const int64_t ex = t.x[(k + 1) % 3] - t.x[k];
    const int64_t ey = t.y[(k + 1) % 3] - t.y[k];
    // Centres on left edges and bottom ones count, rows counted up.
    t.countsOnEdge[k] = ey < 0 || (ey == 0 && ex > 0);
  }
  const int64_t minX = std::min({t.x[0], t.x[1], t.x[2]}), maxX = std::max({t.x[0], t.x[1], t.x[2]});
  const int64_t minY = std::min({t.y[0], t.y[1], t.y[2]}), maxY = std::max({t.y[0], t.y[1], t.y[2]});
  // Pixel centres at i * 256 + 128 within the box.
  t.columnBegin = int(std::max<int64_t>(0, (minX - 128 + 255) >> 8));
  t.columnEnd = int(std::min<int64_t>(kW, ((maxX - 128) >> 8) + 1));
  t.rowBegin = int(std::max<int64_t>(0, (minY - 128 + 255) >> 8));
  t.rowEnd = int(std::min<int64_t>(kH, ((maxY - 128) >> 8) + 1));

  const float x1 = b.x - a.x, y1 = b.y - a.y, x2 = c.x - a.x, y2 = c.y - a.y;
  const float det = x1 * y2 - x2 * y1;
  if (!(std::fabs(det) > 0.0f)) return false;
  float q[3][6];
  for (int k = 0; k < 3; ++k) {
    const float rw = 1.0f / v[k]->w;
    q[k][0] = v[k]->z;
    q[k][1] = rw;
    q[k][2] = v[k]->u * rw;
    q[k][3] = v[k]->v * rw;
    q[k][4] = v[k]->alphaOut * rw;
    q[k][5] = v[k]->alphaIn * rw;
  }
  t.x0 = a.x;
  t.y0 = a.y;
  for (int k = 0; k < 6; ++k) {
    const float d1 = q[1][k] - q[0][k], d2 = q[2][k] - q[0][k];
    t.at[k] = q[0][k];
    t.dx[k] = (d1 * y2 - d2 * y1) / det;
    t.dy[k] = (d2 * x1 - d1 * x2) / det;
  }
  return true;
}

// Row j's covered columns [begin, end): a centre is inside where every
// edge function is positive, or zero on an edge that counts. A triangle
// is convex, so they are one run; its box holds them.
void coveredSpan(const Triangle& t, int j, int& begin, int& end) {
  const int64_t py = int64_t(j) * 256 + 128;
  int64_t e[3], step[3];
  for (int k = 0; k < 3; ++k) {
    const int l = (k + 1) % 3;
    step[k] = -(t.y[l] - t.y[k]) * 256;
    e[k] = (t.x[l] - t.x[k]) * (py - t.y[k]) -
           (t.y[l] - t.y[k]) * (int64_t(t.columnBegin) * 256 + 128 - t.x[k]) +
           (t.countsOnEdge[k] ? 1 : 0);
  }
  int i = t.columnBegin;
  for (; i < t.columnEnd && !(e[0] > 0 && e[1] > 0 && e[2] > 0); ++i)
    for (int k = 0; k < 3; ++k) e[k] += step[k];
  begin = i;
  for (; i < t.columnEnd && e[0] > 0 && e[1] > 0 && e[2] > 0; ++i)
    for (int k = 0; k < 3; ++k) e[k] += step[k];
  end = i;
}

// Both passes of one triangle over rows [rowBegin, rowEnd): outgoing
// fragments nearer than the pixel's nearest so far add at once; the
// incoming term is the nearest one's, overwritten by any nearer.
void rasterise(const Triangle& t, int rowBegin, int rowEnd, const FramedPicture& outgoing,
               const FramedPicture& incoming, Nearest& n) {
  const int r0 = std::max(rowBegin, t.rowBegin), r1 = std::min(rowEnd, t.rowEnd);
  for (int j = r0; j < r1; ++j) {
    int begin, end;
    coveredSpan(t, j, begin, end);
    if (begin >= end) continue;
    const float fx = float(begin) + 0.5f - t.x0, fy = float(j) + 0.5f - t.y0;
    float q[6];
    for (int k = 0; k < 6; ++k) q[k] = t.at[k] + t.dx[k] * fx + t.dy[k] * fy;
    for (int i = begin; i < end; ++i) {
      if (i != begin)
        for (int k = 0; k < 6; ++k) q[k] += t.dx[k];
      const size_t p = size_t(j) * kW + size_t(i);
      if (!(q[0] < n.depth[p])) continue;
      n.depth[p] = q[0];
      const float w = 1.0f / q[1];
      const float u = q[2] * w, v = q[3] * w;
      int level[3];
      const float inScale = alphaScaleOf(q[5] * w);
      if (inScale != 0.0f) sample(incoming, u, v, level);
      for (int c = 0; c < 3; ++c)
        n.incoming[p * 4 + c] = uint8_t(inScale != 0.0f ? weighed(level[c], inScale) : 0);
      const float outScale = alphaScaleOf(q[4] * w);
      if (outScale == 0.0f) continue;
      sample(outgoing, u, v, level);
      for (int c = 0; c < 3; ++c)
        n.added[p * 4 + c] = uint16_t(n.added[p * 4 + c] + weighed(level[c], outScale));
    }
  }
}

// out[i] += added[i] + nearest[i], saturating; the arrays do not overlap.
void sumInto(uint8_t* __restrict out, const uint16_t* __restrict added,
             const uint8_t* __restrict nearest, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int total = out[i] + added[i] + nearest[i];
    out[i] = uint8_t(total < 255 ? total : 255);
  }
}

}  // namespace

struct RippleScratch::Planes {
  Nearest nearest;
  std::vector<Triangle> triangles;
  FramedPicture framed[2];
};

RippleScratch::RippleScratch() : planes(new Planes) {}
RippleScratch::~RippleScratch() = default;

void paintRippleSheet(const SheetCorner* corners, int cellCount, const SheetPicture& outgoing,
                      const SheetPicture& incoming, uint8_t* band, RippleScratch& scratch) {
  Nearest& n = scratch.planes->nearest;
  n.depth.resize(kBandPixels);
  n.added.resize(size_t(kBandPixels) * 4);
  n.incoming.resize(size_t(kBandPixels) * 4);
  std::vector<Triangle>& triangles = scratch.planes->triangles;
  triangles.clear();
  for (int cell = 0; cell < cellCount; ++cell) {
    const SheetCorner* c = corners + size_t(cell) * 4;
    Triangle t;
    if (setUp(c[0], c[1], c[2], t)) triangles.push_back(t);
    if (setUp(c[0], c[2], c[3], t)) triangles.push_back(t);
  }
  FramedPicture(&framed)[2] = scratch.planes->framed;
  frame(outgoing, framed[0]);
  frame(incoming, framed[1]);
  runOnWorkers(kParts, [&](int part) {
    const int rowBegin = part * kH / kParts, rowEnd = (part + 1) * kH / kParts;
    const size_t first = size_t(rowBegin) * kW, last = size_t(rowEnd) * kW;
    std::fill(&n.depth[first], &n.depth[last], 1.0f);
    std::fill(&n.added[first * 4], &n.added[last * 4], uint16_t(0));
    std::fill(&n.incoming[first * 4], &n.incoming[last * 4], uint8_t(0));
    for (const Triangle& t : triangles) rasterise(t, rowBegin, rowEnd, framed[0], framed[1], n);
    // Every term is positive: saturating once is saturating at each blend.
    // Alpha gains nothing.
    sumInto(band + first * 4, &n.added[first * 4], &n.incoming[first * 4], (last - first) * 4);
  });
}
