#include "software/text_glow.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "software/vector_code.h"

namespace {

// Margins wide enough for the largest offset, which the taps clamp to.
constexpr int kPadCols = 24;
constexpr int kPadRows = 16;
constexpr int kStride = kGlowWidth + 2 * kPadCols;
constexpr int kPlaneSize = kStride * (kGlowHeight + 2 * kPadRows);
constexpr float kTapAlpha = 0.25390625f;

inline float* at(std::vector<float>& plane, int row, int col) {
  return plane.data() + (row + kPadRows) * kStride + col + kPadCols;
}

// Nearest level, halves to even; plain float adds, so the loops vectorise
// without SSE4.1's rounding instruction.
inline float roundLevel(float x) { return (x + 12582912.0f) - 12582912.0f; }

inline float clampTint(float t) { return t > 0.0f ? (t < 1.0f ? t : 1.0f) : 0.0f; }

// A sample's texel offset: whole part and 8-bit fraction, as texture
// filtering weighs neighbours; non-finite or huge offsets go to the margin's
// edge rather than past it.
void splitOffset(float texels, int limit, int& whole, float& fraction) {
  double a = std::isfinite(texels) ? double(texels) : 0.0;
  if (a > limit) a = limit;
  if (a < -limit) a = -limit;
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


// alpha[x] = the sample's alpha weight in levels: round(0.2539 * texel alpha).
LUMIVAARA_VECTOR_CLONES
void alphaLevels(const float* __restrict lower, const float* __restrict upper, Bilinear b,
                 float* __restrict alpha, int length) {
  for (int x = 0; x < length; ++x) {
    const float t = b.w00 * lower[x] + b.w10 * lower[x + 1] + b.w01 * upper[x] +
                    b.w11 * upper[x + 1];
    alpha[x] = roundLevel(kTapAlpha * roundLevel(t));
  }
}

// One channel of one tap over a row: the filtered texel, tinted, stored as a
// level, then weighed by the alpha level as blending does.
LUMIVAARA_VECTOR_CLONES
void addTapRow(const float* __restrict lower, const float* __restrict upper, Bilinear b,
               float tint, const float* __restrict alpha, float times, float* __restrict sum,
               int length) {
  for (int x = 0; x < length; ++x) {
    const float t = b.w00 * lower[x] + b.w10 * lower[x + 1] + b.w01 * upper[x] +
                    b.w11 * upper[x + 1];
    const float source = roundLevel(tint * roundLevel(t));
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
  std::memcpy(r - kPadCols, r + kGlowWidth - kPadCols, kPadCols * sizeof(float));
  std::memcpy(r + kGlowWidth, r, kPadCols * sizeof(float));
  if (row >= kGlowHeight - kPadRows)
    std::memcpy(at(plane, row - kGlowHeight, -kPadCols), r - kPadCols, kStride * sizeof(float));
  if (row < kPadRows)
    std::memcpy(at(plane, row + kGlowHeight, -kPadCols), r - kPadCols, kStride * sizeof(float));
}

struct GlowJob {
  const uint8_t* source;
  const GlowPiece* pieces;
  int pieceCount;
  const float* offsets;
  int passCount;
  float clear[3];
  uint8_t* out;
  TextGlowScratch* scratch;
};

// One piece's four samples in one pass.
void addPiece(GlowJob& job, const GlowPiece& p, float offset, bool opaque,
              std::vector<float>* src, float* alphaRow) {
  TextGlowScratch& s = *job.scratch;
  const int x0 = p.x0 > 0 ? p.x0 : 0;
  const int x1 = p.x1 < kGlowWidth ? p.x1 : kGlowWidth;
  const int r0 = p.row0 > 0 ? p.row0 : 0;
  const int r1 = p.row1 < kGlowHeight ? p.row1 : kGlowHeight;
  if (x0 >= x1 || r0 >= r1) return;
  const int length = x1 - x0;
  // The four samples' texel offsets; samples that land alike (all four for
  // a piece at full strength) are read once and counted as often.
  struct Tap {
    int iu, iv;
    float fu, fv;
    float times;
  };
  Tap taps[4];
  int tapCount = 0;
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      Tap t{0, 0, 0.0f, 0.0f, 1.0f};
      splitOffset(offset * (float(dx) - 0.5f) * kGlowWidth, kPadCols - 2, t.iu, t.fu);
      splitOffset(offset * (float(dy) - 0.5f) * kGlowHeight, kPadRows - 2, t.iv, t.fv);
      bool merged = false;
      for (int k = 0; k < tapCount && !merged; ++k) {
        Tap& o = taps[k];
        if (o.iu == t.iu && o.iv == t.iv && o.fu == t.fu && o.fv == t.fv) {
          o.times += 1.0f;
          merged = true;
        }
      }
      if (!merged) taps[tapCount++] = t;
    }
  }
  if (opaque) {
    const float full = roundLevel(kTapAlpha * 255.0f);
    for (int x = 0; x < length; ++x) alphaRow[x] = full;
  }
  for (int k = 0; k < tapCount; ++k) {
    const Tap& t = taps[k];
    const Bilinear b{(1 - t.fu) * (1 - t.fv), t.fu * (1 - t.fv), (1 - t.fu) * t.fv, t.fu * t.fv};
    for (int r = r0; r < r1; ++r) {
      if (!opaque)
        alphaLevels(at(src[3], r + t.iv, x0 + t.iu), at(src[3], r + t.iv + 1, x0 + t.iu), b,
                    alphaRow, length);
      for (int c = 0; c < 3; ++c)
        addTapRow(at(src[c], r + t.iv, x0 + t.iu), at(src[c], r + t.iv + 1, x0 + t.iu), b,
                  clampTint(p.tint[c]), alphaRow, t.times,
                  s.sums[c].data() + size_t(r) * kGlowWidth + size_t(x0), length);
    }
  }
}

void runGlow(GlowJob& job) {
  TextGlowScratch& s = *job.scratch;
  float* alphaRow = s.alphaRow.data();
  for (int r = 0; r < kGlowHeight; ++r) {
    const uint8_t* in = job.source + size_t(r) * kGlowWidth * 4;
    for (int c = 0; c < 4; ++c) {
      float* row = at(s.planes[0][c], r, 0);
      for (int x = 0; x < kGlowWidth; ++x) row[x] = float(in[x * 4 + c]);
      wrapRow(s.planes[0][c], r);
    }
  }

  // Only the pieces' rows ever receive samples. Each plane is written whole
  // the first time (passes 0 and 1); after that the other rows already hold
  // the clear colour and stay as they are.
  int rowBegin = kGlowHeight, rowEnd = 0;
  for (int k = 0; k < job.pieceCount; ++k) {
    rowBegin = std::min(rowBegin, std::max(0, job.pieces[k].row0));
    rowEnd = std::max(rowEnd, std::min(kGlowHeight, job.pieces[k].row1));
  }
  if (rowBegin > rowEnd) rowBegin = rowEnd = 0;
  for (int c = 0; c < 3; ++c)
    std::memset(s.sums[c].data(), 0, size_t(kGlowWidth) * kGlowHeight * sizeof(float));

  for (int pass = 0; pass < job.passCount; ++pass) {
    std::vector<float>* src = s.planes[pass & 1];
    std::vector<float>* dst = s.planes[(pass + 1) & 1];
    if (pass > 0)
      for (int c = 0; c < 3; ++c)
        std::memset(s.sums[c].data() + size_t(rowBegin) * kGlowWidth, 0,
                    size_t(rowEnd - rowBegin) * kGlowWidth * sizeof(float));
    for (int k = 0; k < job.pieceCount; ++k)
      addPiece(job, job.pieces[k], job.offsets[pass * job.pieceCount + k], pass > 0, src,
               alphaRow);
    const bool whole = pass < 2;
    for (int r = whole ? 0 : rowBegin; r < (whole ? kGlowHeight : rowEnd); ++r) {
      for (int c = 0; c < 3; ++c) {
        settleRow(s.sums[c].data() + size_t(r) * kGlowWidth, job.clear[c], at(dst[c], r, 0),
                  kGlowWidth);
        wrapRow(dst[c], r);
      }
    }
  }

  std::vector<float>* last = s.planes[job.passCount & 1];
  for (int r = 0; r < kGlowHeight; ++r) {
    uint8_t* o = job.out + size_t(r) * kGlowWidth * 4;
    const float* red = at(last[0], r, 0);
    const float* green = at(last[1], r, 0);
    const float* blue = at(last[2], r, 0);
    for (int x = 0; x < kGlowWidth; ++x) {
      o[x * 4 + 0] = uint8_t(red[x]);
      o[x * 4 + 1] = uint8_t(green[x]);
      o[x * 4 + 2] = uint8_t(blue[x]);
      o[x * 4 + 3] = 255;
    }
  }
}

}  // namespace

void paintTextGlow(const uint8_t* source, const GlowPiece* pieces, int pieceCount,
                   const float* offsets, int passCount, const uint8_t clear[3], uint8_t* out,
                   TextGlowScratch& scratch) {
  for (auto& pair : scratch.planes)
    for (auto& plane : pair) plane.resize(kPlaneSize);
  for (auto& sum : scratch.sums) sum.resize(size_t(kGlowWidth) * kGlowHeight);
  scratch.alphaRow.resize(kGlowWidth);

  if (passCount <= 0) {
    for (int p = 0; p < kGlowWidth * kGlowHeight; ++p) {
      out[p * 4 + 0] = clear[0];
      out[p * 4 + 1] = clear[1];
      out[p * 4 + 2] = clear[2];
      out[p * 4 + 3] = 255;
    }
    return;
  }
  GlowJob job{source, pieces, pieceCount, offsets, passCount,
              {float(clear[0]), float(clear[1]), float(clear[2])}, out, &scratch};
  runGlow(job);
}
