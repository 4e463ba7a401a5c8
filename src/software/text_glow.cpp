#include "software/text_glow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "math/colour_levels.h"
#include "software/vector_code.h"

namespace {

// Margins wide enough for the largest offset, which the taps clamp to.
constexpr int kPadCols = 24;
constexpr int kPadRows = 16;
constexpr int kStride = kBandWidth + 2 * kPadCols;
constexpr int kPlaneSize = kStride * (kBandHeight + 2 * kPadRows);
constexpr float kTapAlpha = 0.25390625f;

inline float* at(std::vector<float>& plane, int row, int col) {
  return plane.data() + (row + kPadRows) * kStride + col + kPadCols;
}

// Nearest level, halves to even; plain float adds, so the loops vectorise
// without SSE4.1's rounding instruction.
inline float roundLevel(float x) { return (x + 12582912.0f) - 12582912.0f; }

// A sample's texel offset: whole part and 8-bit fraction, as texture
// filtering weighs neighbours; non-finite or huge offsets go to the margin's
// edge rather than past it.
void splitOffset(float texels, int limit, int& whole, float& fraction) {
  const double a = std::clamp(std::isfinite(texels) ? double(texels) : 0.0, -double(limit),
                              double(limit));
  double w = std::floor(a);
  double f = std::round((a - w) * 256.0) / 256.0;
  if (f >= 1.0) {
    w += 1.0;
    f = 0.0;
  }
  whole = int(w);
  fraction = float(f);
}

struct Bilinear {
  float w00, w10, w01, w11;
};

// The filtered texel at x, between rows `lower` and `upper`, as a level.
inline float filtered(const float* lower, const float* upper, Bilinear b, int x) {
  return roundLevel(b.w00 * lower[x] + b.w10 * lower[x + 1] + b.w01 * upper[x] +
                    b.w11 * upper[x + 1]);
}

// alpha[x] = the sample's alpha weight in levels: round(0.2539 * texel alpha).
LUMIVAARA_VECTOR_CLONES
void alphaLevels(const float* __restrict lower, const float* __restrict upper, Bilinear b,
                 float* __restrict alpha, int length) {
  for (int x = 0; x < length; ++x)
    alpha[x] = roundLevel(kTapAlpha * filtered(lower, upper, b, x));
}

// One channel of one tap over a row: the filtered texel, tinted, stored as a
// level, then weighed by the alpha level as blending does.
LUMIVAARA_VECTOR_CLONES
void addTapRow(const float* __restrict lower, const float* __restrict upper, Bilinear b,
               float tint, const float* __restrict alpha, float times, float* __restrict sum,
               int length) {
  for (int x = 0; x < length; ++x) {
    const float source = roundLevel(tint * filtered(lower, upper, b, x));
    sum[x] += times * roundLevel(source * alpha[x] * (1.0f / 255.0f));
  }
}

LUMIVAARA_VECTOR_CLONES
void settleRow(const float* __restrict sum, float clear, float* __restrict out, int length) {
  for (int x = 0; x < length; ++x) {
    const float v = clear + sum[x];
    out[x] = v < 255.0f ? v : 255.0f;
  }
}

// Copies row `row` of a plane into the margins that repeat it.
void wrapRow(std::vector<float>& plane, int row) {
  float* r = at(plane, row, 0);
  std::memcpy(r - kPadCols, r + kBandWidth - kPadCols, kPadCols * sizeof(float));
  std::memcpy(r + kBandWidth, r, kPadCols * sizeof(float));
  if (row >= kBandHeight - kPadRows)
    std::memcpy(at(plane, row - kBandHeight, -kPadCols), r - kPadCols, kStride * sizeof(float));
  if (row < kPadRows)
    std::memcpy(at(plane, row + kBandHeight, -kPadCols), r - kPadCols, kStride * sizeof(float));
}

// One piece's four samples in one pass, added to the scratch's sums.
void addPiece(const GlowPiece& p, float offset, bool opaque, std::vector<float>* src,
              GlowScratch& s) {
  const int x0 = std::max(p.x0, 0), x1 = std::min(p.x1, kBandWidth);
  const int r0 = std::max(p.row0, 0), r1 = std::min(p.row1, kBandHeight);
  if (x0 >= x1 || r0 >= r1) return;
  const int length = x1 - x0;
  // The samples' texel offsets across and down. Where a pair lands alike (at
  // full strength both pairs do), it is read once and counted twice.
  int iu[2], iv[2];
  float fu[2], fv[2];
  for (int d = 0; d < 2; ++d) {
    splitOffset(offset * (float(d) - 0.5f) * kBandWidth, kPadCols - 2, iu[d], fu[d]);
    splitOffset(offset * (float(d) - 0.5f) * kBandHeight, kPadRows - 2, iv[d], fv[d]);
  }
  const int across = iu[0] == iu[1] && fu[0] == fu[1] ? 1 : 2;
  const int down = iv[0] == iv[1] && fv[0] == fv[1] ? 1 : 2;
  const float times = float(4 / (across * down));
  float alphaRow[kBandWidth];  // the samples' alpha levels along a row
  if (opaque) std::fill(alphaRow, alphaRow + length, roundLevel(kTapAlpha * 255.0f));
  for (int dy = 0; dy < down; ++dy) {
    for (int dx = 0; dx < across; ++dx) {
      const float wu = fu[dx], wv = fv[dy];
      const Bilinear b{(1 - wu) * (1 - wv), wu * (1 - wv), (1 - wu) * wv, wu * wv};
      const int u = x0 + iu[dx];
      for (int r = r0; r < r1; ++r) {
        const int v = r + iv[dy];
        if (!opaque) alphaLevels(at(src[3], v, u), at(src[3], v + 1, u), b, alphaRow, length);
        for (int c = 0; c < 3; ++c)
          addTapRow(at(src[c], v, u), at(src[c], v + 1, u), b, clamp01(p.tint[c]), alphaRow, times,
                    s.sums[c].data() + size_t(r) * kBandWidth + size_t(x0), length);
      }
    }
  }
}

}  // namespace

void paintTextGlow(const uint8_t* source, const GlowPiece* pieces, int pieceCount,
                   const float* offsets, int passCount, const uint8_t clear[3], uint8_t* out,
                   GlowScratch& s) {
  if (passCount <= 0) {
    for (size_t i = 0; i < kBandBytes; ++i) out[i] = i % 4 == 3 ? 255 : clear[i % 4];
    return;
  }
  for (auto& pair : s.planes)
    for (auto& plane : pair) plane.resize(kPlaneSize);
  for (auto& sum : s.sums) sum.assign(size_t(kBandWidth) * kBandHeight, 0.0f);
  for (int r = 0; r < kBandHeight; ++r) {
    const uint8_t* in = source + size_t(r) * kBandWidth * 4;
    for (int c = 0; c < 4; ++c) {
      float* row = at(s.planes[0][c], r, 0);
      for (int x = 0; x < kBandWidth; ++x) row[x] = float(in[x * 4 + c]);
      wrapRow(s.planes[0][c], r);
    }
  }

  // Only the pieces' rows ever receive samples. Each plane is written whole
  // the first time (passes 0 and 1); after that the other rows already hold
  // the clear colour and stay as they are.
  int rowBegin = kBandHeight, rowEnd = 0;
  for (int k = 0; k < pieceCount; ++k) {
    rowBegin = std::min(rowBegin, std::max(0, pieces[k].row0));
    rowEnd = std::max(rowEnd, std::min(kBandHeight, pieces[k].row1));
  }
  if (rowBegin > rowEnd) rowBegin = rowEnd = 0;
  for (int pass = 0; pass < passCount; ++pass) {
    std::vector<float>* src = s.planes[pass & 1];
    std::vector<float>* dst = s.planes[(pass + 1) & 1];
    if (pass > 0)
      for (int c = 0; c < 3; ++c)
        std::fill(s.sums[c].begin() + size_t(rowBegin) * kBandWidth,
                  s.sums[c].begin() + size_t(rowEnd) * kBandWidth, 0.0f);
    for (int k = 0; k < pieceCount; ++k)
      addPiece(pieces[k], offsets[pass * pieceCount + k], pass > 0, src, s);
    const bool whole = pass < 2;
    for (int r = whole ? 0 : rowBegin; r < (whole ? kBandHeight : rowEnd); ++r) {
      for (int c = 0; c < 3; ++c) {
        settleRow(s.sums[c].data() + size_t(r) * kBandWidth, float(clear[c]), at(dst[c], r, 0),
                  kBandWidth);
        wrapRow(dst[c], r);
      }
    }
  }

  std::vector<float>* last = s.planes[passCount & 1];
  for (int r = 0; r < kBandHeight; ++r) {
    uint8_t* o = out + size_t(r) * kBandWidth * 4;
    for (int c = 0; c < 3; ++c) {
      const float* level = at(last[c], r, 0);
      for (int x = 0; x < kBandWidth; ++x) o[x * 4 + c] = uint8_t(level[x]);
    }
    for (int x = 0; x < kBandWidth; ++x) o[x * 4 + 3] = 255;
  }
}
