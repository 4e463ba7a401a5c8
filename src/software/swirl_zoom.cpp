#include "software/swirl_zoom.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "math/colour_levels.h"
#include "platform/worker_pool.h"
#include "software/vector_code.h"

#if LUMIVAARA_VECTOR_CODE
#include <immintrin.h>
#endif

namespace {

// A quad edge as the rasteriser tests it, in 1/256 pixel units with pixel
// centres on whole pixels: e = a * x + b * y + c is positive inside. A
// centre on a left or bottom edge counts, so those edges' c has one unit
// more.
struct Edge {
  int64_t a, b, c;
};

// Where a pass's quad lies. At the centre of band pixel (i, j) the quad's
// own coordinates are s = s0 + i * si + j * sj, likewise t, before the
// texture offset. A row's covered pixels come from the snapped edges or,
// where the corners are too far off to snap, from s and t in [0, 1].
struct PassMap {
  double s0, si, sj;
  double t0, ti, tj;
  bool draws;
  bool snapped;
  Edge edges[4];
};

// Corners farther off than this many pixels are not snapped: the edge
// products would leave 64 bits. The fractal's reach a few thousand.
constexpr double kSnappedReach = 1e5;

int64_t floorDiv(int64_t n, int64_t d) {  // d > 0
  return n / d - (n % d != 0 && n < 0);
}

// The quad's edges from its corners snapped as the rasteriser snaps them;
// false for a quad without area.
bool snapEdges(const SwirlQuad& q, Edge (&edges)[4]) {
  int64_t x[4], y[4];
  for (int k = 0; k < 4; ++k) {
    x[k] = std::llrint((q.x[k] - 0.5) * 256.0);
    y[k] = std::llrint((q.y[k] - 0.5) * 256.0);
  }
  for (int k = 0; k < 4; ++k) {
    const int n = (k + 1) % 4, opposite = (k + 2) % 4;
    Edge e = {y[k] - y[n], x[n] - x[k], 0};
    e.c = -(e.a * x[k] + e.b * y[k]);
    const int64_t there = e.a * x[opposite] + e.b * y[opposite] + e.c;
    if (there == 0) return false;
    if (there < 0) e = {-e.a, -e.b, -e.c};
    if (e.a > 0 || (e.a == 0 && e.b > 0)) ++e.c;  // inside to the right, or above
    edges[k] = e;
  }
  return true;
}

PassMap passMap(const SwirlQuad& q) {
  PassMap m = {};
  const double acrossX = q.x[1] - q.x[0], acrossY = q.y[1] - q.y[0];
  const double upX = q.x[3] - q.x[0], upY = q.y[3] - q.y[0];
  const double det = acrossX * upY - acrossY * upX;
  if (!std::isfinite(det) || std::fabs(det) < 1e-9) return m;
  m.si = upY / det;
  m.sj = -upX / det;
  m.ti = -acrossY / det;
  m.tj = acrossX / det;
  const double x = 0.5 - q.x[0], y = 0.5 - q.y[0];
  m.s0 = x * m.si + y * m.sj;
  m.t0 = x * m.ti + y * m.tj;
  // A quad far off or far too small has coordinates beyond float range over
  // the band; it covers nothing there.
  const double limit = 1e30;
  m.draws = std::fabs(m.s0) < limit && std::fabs(m.t0) < limit && std::fabs(m.si) < limit &&
            std::fabs(m.sj) < limit && std::fabs(m.ti) < limit && std::fabs(m.tj) < limit &&
            std::isfinite(q.du) && std::isfinite(q.dv);
  m.snapped = true;
  for (int k = 0; k < 4; ++k)
    m.snapped = m.snapped && std::fabs(q.x[k]) < kSnappedReach && std::fabs(q.y[k]) < kSnappedReach;
  if (m.draws && m.snapped) m.draws = snapEdges(q, m.edges);
  return m;
}

// Narrows [begin, end) to the columns where v0 + i * step lies in [0, 1].
void keepInside(double v0, double step, int& begin, int& end) {
  double low = 1.0, high = 0.0;  // the columns' real range; empty
  if (step == 0.0) {
    if (v0 >= 0.0 && v0 <= 1.0) return;
  } else {
    low = -v0 / step;
    high = (1.0 - v0) / step;
    if (low > high) std::swap(low, high);
  }
  const double limit = 1e9;  // beyond any width, and still an int
  begin = std::max(begin, int(std::ceil(std::min(std::max(low, -limit), limit))));
  end = std::min(end, int(std::floor(std::min(std::max(high, -limit), limit))) + 1);
}

// Row j's covered columns [begin, end); empty where end <= begin. A quad
// is convex, so they are one run.
void coveredSpan(const PassMap& m, int j, int width, int& begin, int& end) {
  begin = 0;
  end = width;
  if (!m.snapped) {
    keepInside(m.s0 + j * m.sj, m.si, begin, end);
    keepInside(m.t0 + j * m.tj, m.ti, begin, end);
    return;
  }
  const int64_t y = int64_t(j) * 256;
  int64_t first = 0, last = width;
  for (const Edge& e : m.edges) {
    // Inside where step * i + rest > 0.
    const int64_t step = e.a * 256;
    const int64_t rest = e.b * y + e.c;
    if (step > 0)
      first = std::max(first, floorDiv(-rest, step) + 1);
    else if (step < 0)
      last = std::min(last, -floorDiv(-rest, -step));
    else if (rest <= 0)
      last = 0;
  }
  begin = int(std::min(first, int64_t(width)));
  end = int(std::max(last, int64_t(0)));
}

// One row of one pass over framed pictures. Pixels are RGBA words, red in
// the low byte.
struct Row {
  const uint32_t* texture;  // sampled: texel (x, y) at (y + 1) * stride + x + 1
  const uint32_t* base;     // the row's pixels, added to
  uint32_t* out;
  int width, height, stride;
  float s, si, t, ti;  // s and t at pixel 0 and their steps
  float du, dv;
  float alphaScale;  // the fragment's 8-bit alpha over 255
};

inline float lerp(float p, float q, float w) { return p + w * (q - p); }

// Pixel i of a covered run. The filtered colour is rounded to a level, as
// the fragment's colour is, then scaled by alpha and rounded again as the
// blend does: level * alpha / 255 never lies within float error of a half.
inline uint32_t blendPixel(const Row& r, int i) {
  const uint32_t base = r.base[i];
  const float x = float(i);
  const float u = clamp01(r.s + x * r.si + r.du) * float(r.width) - 0.5f;
  const float v = clamp01(r.t + x * r.ti + r.dv) * float(r.height) - 0.5f;
  const float uf = std::floor(u), vf = std::floor(v);
  const float fx = u - uf, fy = v - vf;
  // u and v reach -0.5 at least: the frame holds the texels at -1.
  const uint32_t* corner = r.texture + size_t(int(vf) + 1) * r.stride + (int(uf) + 1);
  const uint32_t texel[4] = {corner[0], corner[1], corner[r.stride], corner[r.stride + 1]};
  uint32_t result = base & 0xFF000000u;
  for (int c = 0; c < 3; ++c) {
    float t[4];
    for (int k = 0; k < 4; ++k) t[k] = float((texel[k] >> (8 * c)) & 0xFFu);
    const float level = std::nearbyint(lerp(lerp(t[0], t[1], fx), lerp(t[2], t[3], fx), fy));
    const int sum = int((base >> (8 * c)) & 0xFFu) + int(std::nearbyint(level * r.alphaScale));
    result |= uint32_t(sum < 255 ? sum : 255) << (8 * c);
  }
  return result;
}

void blendRun(const Row& r, int begin, int end) {
  for (int i = begin; i < end; ++i) r.out[i] = blendPixel(r, i);
}

#if LUMIVAARA_VECTOR_CODE
// The same eight pixels at a time, the interpolations fused. Each pixel's
// texels come as two pairs of adjacent words, by 64-bit loads: on the
// processors measured these beat gathers.
__attribute__((target("avx2,fma"))) void blendRunAvx2(const Row& r, int begin, int end) {
  const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
  const __m256 width = _mm256_set1_ps(float(r.width)), height = _mm256_set1_ps(float(r.height));
  const __m256 half = _mm256_set1_ps(0.5f), alphaScale = _mm256_set1_ps(r.alphaScale);
  const __m256 si = _mm256_set1_ps(r.si), ti = _mm256_set1_ps(r.ti);
  const __m256 s0 = _mm256_set1_ps(r.s), t0 = _mm256_set1_ps(r.t);
  const __m256 du = _mm256_set1_ps(r.du), dv = _mm256_set1_ps(r.dv);
  const __m256 lanes = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i ione = _mm256_set1_epi32(1), stride = _mm256_set1_epi32(r.stride);
  // Byte c of each word into the low byte of the word, the rest zero; the
  // byte shuffle indexes within each 16-byte half.
  const __m256i lowBytes = _mm256_setr_epi32(
      int(0x80808000u), int(0x80808004u), int(0x80808008u), int(0x8080800Cu), int(0x80808000u),
      int(0x80808004u), int(0x80808008u), int(0x8080800Cu));
  __m256i channel[3];
  for (int c = 0; c < 3; ++c) channel[c] = _mm256_add_epi32(lowBytes, _mm256_set1_epi32(c));
  int i = begin;
  for (; i + 8 <= end; i += 8) {
    const __m256i base = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.base + i));
    const __m256 x = _mm256_add_ps(_mm256_set1_ps(float(i)), lanes);
    // max returns its second operand for NaN: NaN clamps to 0.
    const __m256 s = _mm256_min_ps(
        _mm256_max_ps(_mm256_add_ps(_mm256_fmadd_ps(x, si, s0), du), zero), one);
    const __m256 t = _mm256_min_ps(
        _mm256_max_ps(_mm256_add_ps(_mm256_fmadd_ps(x, ti, t0), dv), zero), one);
    const __m256 u = _mm256_fmsub_ps(s, width, half);
    const __m256 v = _mm256_fmsub_ps(t, height, half);
    const __m256 uf = _mm256_floor_ps(u), vf = _mm256_floor_ps(v);
    const __m256 fx = _mm256_sub_ps(u, uf), fy = _mm256_sub_ps(v, vf);
    alignas(32) int corner[8];
    _mm256_store_si256(
        reinterpret_cast<__m256i*>(corner),
        _mm256_add_epi32(
            _mm256_mullo_epi32(_mm256_add_epi32(_mm256_cvttps_epi32(vf), ione), stride),
            _mm256_add_epi32(_mm256_cvttps_epi32(uf), ione)));
    long long pair[2][8];
    for (int k = 0; k < 8; ++k) {
      std::memcpy(&pair[0][k], r.texture + corner[k], 8);
      std::memcpy(&pair[1][k], r.texture + r.stride + corner[k], 8);
    }
    // Pixels 0, 1, 4, 5 in one vector of pairs and 2, 3, 6, 7 in the other:
    // one shuffle then gives the left or right texels in pixel order.
    __m256i texel[4];
    for (int row = 0; row < 2; ++row) {
      const long long* p = pair[row];
      const __m256 first = _mm256_castsi256_ps(_mm256_setr_epi64x(p[0], p[1], p[4], p[5]));
      const __m256 second = _mm256_castsi256_ps(_mm256_setr_epi64x(p[2], p[3], p[6], p[7]));
      texel[2 * row] =
          _mm256_castps_si256(_mm256_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0)));
      texel[2 * row + 1] =
          _mm256_castps_si256(_mm256_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    __m256i added = _mm256_setzero_si256();
    for (int c = 0; c < 3; ++c) {
      __m256 f[4];
      for (int k = 0; k < 4; ++k)
        f[k] = _mm256_cvtepi32_ps(_mm256_shuffle_epi8(texel[k], channel[c]));
      const __m256 bottom = _mm256_fmadd_ps(fx, _mm256_sub_ps(f[1], f[0]), f[0]);
      const __m256 top = _mm256_fmadd_ps(fx, _mm256_sub_ps(f[3], f[2]), f[2]);
      const __m256 colour = _mm256_fmadd_ps(fy, _mm256_sub_ps(top, bottom), bottom);
      const __m256 level = _mm256_round_ps(colour, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
      const __m256i scaled = _mm256_cvtps_epi32(_mm256_mul_ps(level, alphaScale));
      added = _mm256_or_si256(added, _mm256_slli_epi32(scaled, 8 * c));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + i), _mm256_adds_epu8(base, added));
  }
  blendRun(r, i, end);
}

// The vector loop where the processor has AVX2 and FMA.
bool vectorised() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has;
}
#endif

// Rows are handed out in chunks, stage by stage: the copy in, each pass,
// the copy out. A chunk may start only once every chunk of the stage before
// has finished, since a pass samples anywhere in the one before. One thread
// takes a stage's chunks from the top, the other from the bottom: each keeps
// to the same rows, whose pixels its cache holds, while both are running,
// and takes over the other's when that one is kept waiting for a core.
constexpr int kChunkRows = 16;

struct Job {
  uint8_t* picture;
  const uint8_t* firstTexture;
  int width, height, stride;
  uint32_t* framed[3];  // ping-pong pair, then the first texture
  const SwirlQuad* quads;
  int passCount;
  float alphaScale;
  int chunkRows, chunksPerStage;
  // Per stage, the chunks not yet taken: [low, high) as low | high << 16.
  std::atomic<uint32_t>* untaken;
  std::atomic<int> chunksFinished{0};  // a stage's chunks all finish before the next's start
};

template <typename Word>
Word* framedRow(Word* framed, int stride, int j) {
  return framed + size_t(j + 1) * stride + 1;
}

void passRows(const Job& job, int l, int rowBegin, int rowEnd) {
  const SwirlQuad& q = job.quads[l];
  const PassMap m = passMap(q);
  uint32_t* current = job.framed[l & 1];
  uint32_t* next = job.framed[(l + 1) & 1];
  const uint32_t* texture = l == 0 && job.firstTexture ? job.framed[2] : current;
  Row row = {texture, nullptr, nullptr, job.width, job.height, job.stride, 0.0f, float(m.si),
             0.0f, float(m.ti), q.du, q.dv, job.alphaScale};
  void (*blend)(const Row&, int, int) = blendRun;
#if LUMIVAARA_VECTOR_CODE
  if (vectorised()) blend = blendRunAvx2;
#endif
  for (int j = rowBegin; j < rowEnd; ++j) {
    row.base = framedRow(current, job.stride, j);
    row.out = framedRow(next, job.stride, j);
    row.s = float(m.s0 + j * m.sj);
    row.t = float(m.t0 + j * m.tj);
    int begin = 0, end = 0;
    if (m.draws) coveredSpan(m, j, job.width, begin, end);
    if (end <= begin) begin = end = job.width;
    std::memcpy(row.out, row.base, size_t(begin) * 4);
    std::memcpy(row.out + end, row.base + end, size_t(job.width - end) * 4);
    blend(row, begin, end);
  }
}

// Rows [rowBegin, rowEnd) of stage `stage`.
void runStage(const Job& job, int stage, int rowBegin, int rowEnd) {
  const size_t rowBytes = size_t(job.width) * 4;
  if (stage == 0) {
    for (int j = rowBegin; j < rowEnd; ++j) {
      std::memcpy(framedRow(job.framed[0], job.stride, j), job.picture + j * rowBytes, rowBytes);
      if (job.firstTexture)
        std::memcpy(framedRow(job.framed[2], job.stride, j), job.firstTexture + j * rowBytes,
                    rowBytes);
    }
  } else if (stage <= job.passCount) {
    passRows(job, stage - 1, rowBegin, rowEnd);
  } else {
    const uint32_t* result = job.framed[job.passCount & 1];
    for (int j = rowBegin; j < rowEnd; ++j)
      std::memcpy(job.picture + j * rowBytes, framedRow(result, job.stride, j), rowBytes);
  }
}

// Takes the next chunk from the top or bottom of a stage's untaken ones, or
// -1 when none are left.
int takeChunk(std::atomic<uint32_t>& untaken, bool fromTop) {
  uint32_t range = untaken.load(std::memory_order_relaxed);
  for (;;) {
    const uint32_t low = range & 0xFFFFu, high = range >> 16;
    if (low >= high) return -1;
    const uint32_t rest = fromTop ? low | (high - 1) << 16 : (low + 1) | high << 16;
    if (untaken.compare_exchange_weak(range, rest, std::memory_order_relaxed))
      return int(fromTop ? high - 1 : low);
  }
}

void work(Job& job, bool fromTop) {
  for (int stage = 0; stage < job.passCount + 2; ++stage) {
    int chunk = takeChunk(job.untaken[stage], fromTop);
    if (chunk < 0) continue;
    while (job.chunksFinished.load(std::memory_order_acquire) < stage * job.chunksPerStage)
      std::this_thread::yield();
    for (; chunk >= 0; chunk = takeChunk(job.untaken[stage], fromTop)) {
      const int rowBegin = chunk * job.chunkRows;
      runStage(job, stage, rowBegin, std::min(rowBegin + job.chunkRows, job.height));
      job.chunksFinished.fetch_add(1, std::memory_order_acq_rel);
    }
  }
}

}  // namespace

void swirlPasses(uint8_t* picture, const uint8_t* firstTexture, int width, int height,
                 const SwirlQuad* quads, int passCount, float alpha, SwirlScratch& scratch) {
  if (width <= 0 || height <= 0 || passCount <= 0) return;
  const int stride = width + 2;
  std::vector<uint32_t>(&framed)[3] = scratch.framed;
  if (scratch.width != width || scratch.height != height) {
    // Zeros throughout: the passes write only inside the frame.
    for (std::vector<uint32_t>& frame : framed) frame.assign(size_t(stride) * (height + 2), 0u);
    scratch.width = width;
    scratch.height = height;
  }
  // Chunk numbers fit 16 bits.
  const int chunkRows = std::max(kChunkRows, (height + 0xFFFE) / 0xFFFF);
  const int chunks = (height + chunkRows - 1) / chunkRows;
  std::vector<std::atomic<uint32_t>> untaken(size_t(passCount) + 2);
  for (std::atomic<uint32_t>& range : untaken) range = uint32_t(chunks) << 16;
  // The colour's alpha as the fragment carries it into the blend.
  const float alphaScale = std::nearbyint(clamp01(alpha) * 255.0f) / 255.0f;
  Job job{picture, firstTexture, width, height, stride,
          {framed[0].data(), framed[1].data(), framed[2].data()},
          quads, passCount, alphaScale, chunkRows, chunks, untaken.data()};
  // One worker from the top, one from the bottom; with one alone it takes
  // every chunk, in order.
  runOnWorkers(2, [&job](int k) { work(job, k == 1); });
}
