#include "software/software_passes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "math/colour_levels.h"
#include "platform/worker_pool.h"
#include "software/band_picture.h"
#include "software/picture_blur.h"
#include "software/quad_paint.h"
#include "software/ripple_sheet.h"
#include "software/smooth_lines.h"
#include "software/swirl_zoom.h"
#include "software/terrain_paint.h"
#include "software/text_glow.h"

namespace {

// The ray grid's quads left to draw, one texture's at a time.
struct Group {
  unsigned texture;
  std::vector<float> vertices;
};

}  // namespace

// What the passes reuse from call to call, so that no frame allocates.
struct SoftwareScratch {
  std::vector<uint8_t> crossfade[2];
  std::vector<uint8_t> blur[2][2];     // per slot, ping-pong
  std::vector<float> blurRows[2];      // per slot's thread
  std::vector<uint8_t> tintedBlur[2];  // ping-pong
  std::vector<float> tintedBlurRow;
  std::vector<int> keyedColumns;
  std::vector<uint8_t> swirlBand, swirlTexture;
  SwirlScratch swirl;
  TextureCopy ripplePictures[2] = {{kBandWidth, kBandHeight, {}}, {kBandWidth, kBandHeight, {}}};
  std::vector<uint8_t> rippleBand = std::vector<uint8_t>(kBandBytes);
  RippleScratch ripple;
  std::vector<uint8_t> linesBand = std::vector<uint8_t>(kBandBytes);
  TerrainPicture terrain;
  std::vector<uint8_t> glowResult = std::vector<uint8_t>(kBandBytes);
  GlowScratch glow;
  std::vector<Group> gridGroups;
  PaintSums gridSums;
  std::vector<uint8_t> gridPainted = std::vector<uint8_t>(kBandBytes);
};

SoftwarePasses::SoftwarePasses(Gfx& gfx) : gfx(&gfx), scratch(new SoftwareScratch) {}

// The band texture goes with its context.
SoftwarePasses::~SoftwarePasses() = default;

namespace {

bool isTheBand(const BandCopy& c) {
  return c.x == 0 && c.y == 64 && c.width == kBandWidth && c.height == kBandHeight;
}

// How a picture meets the frame: replacing it, replacing it only where the
// picture's alpha is not 0, or added to it, saturating.
enum class BandMode { kReplace, kKeyed, kAdd };

// Puts a band picture over the band pixel for pixel, through the band
// texture.
void drawBandPicture(SoftwarePasses& sw, const uint8_t* rgba, BandMode mode) {
  Gfx& gfx = *sw.gfx;
  if (sw.bandTexture == 0) {
    // One texture for every band picture, made on first use: a picture
    // drawn straight from memory costs llvmpipe a texture made and freed
    // each time. Nearest texels at pixel centres: an exact copy.
    sw.bandTexture = createTexture(gfx);
    defineTexture(gfx, sw.bandTexture, kBandWidth, kBandHeight, PixelFormat::kRgba,
                  PixelFormat::kRgba, nullptr, Wrap::kClampToEdge, Filter::kNearest);
  }
  updateTexture(gfx, sw.bandTexture, 0, 0, kBandWidth, kBandHeight, PixelFormat::kRgba, rgba);

  // The band in the scene projection, as the passes it stands in for draw.
  Pass pass = scenePass(mode == BandMode::kAdd ? Blend::kAdd : Blend::kOff, Combine::kReplace,
                        sw.bandTexture);
  pass.state.alphaKeyed = mode == BandMode::kKeyed;
  const BandQuad band = flatQuad(-256.0f, -128.0f, 256.0f, 128.0f, 0.0f, 0.0f, 1.0f, 1.0f,
                                 Colour{1.0f, 1.0f, 1.0f, 1.0f});
  drawQuads(gfx, pass, band.corners, 4);
}

void readTexture(Gfx& gfx, unsigned name, std::vector<uint8_t>& rgba, size_t bytes = kBandBytes) {
  rgba.resize(bytes);
  ::readTexture(gfx, name, rgba.data());
}

void writeTexture(Gfx& gfx, unsigned name, int width, int height, const uint8_t* rgba) {
  updateTexture(gfx, name, 0, 0, width, height, PixelFormat::kRgba, rgba);
}

}  // namespace

bool softwareCrossfade(SoftwarePasses& sw, const BandCopy& copy, unsigned pictureA,
                       unsigned pictureB, float w) {
  if (!isTheBand(copy)) return false;
  std::vector<uint8_t>& a = sw.scratch->crossfade[0];
  std::vector<uint8_t>& b = sw.scratch->crossfade[1];
  readTexture(*sw.gfx, pictureA, a);
  readTexture(*sw.gfx, pictureB, b);
  // Each quad's colour alpha is stored in 8 bits (halves to even), and the
  // blend weighs a level by it rounded to the nearest level; the frame
  // reads alpha 1.
  const int alphaB = int(std::nearbyint(clamp01(w) * 255.0f));
  const int alphaA = int(std::nearbyint(clamp01(1.0f - w) * 255.0f));
  uint8_t termA[256], termB[256];
  for (int level = 0; level < 256; ++level) {
    termA[level] = uint8_t((level * alphaA + 127) / 255);
    termB[level] = uint8_t((level * alphaB + 127) / 255);
  }
  runOnWorkers(2, [&](int part) {
    for (size_t i = part * kBandBytes / 2; i < (part + 1) * kBandBytes / 2; i += 4) {
      for (int c = 0; c < 3; ++c)
        a[i + c] = uint8_t(std::min(termB[b[i + c]] + termA[a[i + c]], 255));
    }
  });
  // Both quads add to the cleared frame, whatever its colour: adding their
  // sum saturates as adding each in turn does.
  drawBandPicture(sw, a.data(), BandMode::kAdd);
  ++sw.counts.crossfade;
  return true;
}

bool softwareBlur(SoftwarePasses& sw, const BandCopy& copy, const FeedbackSlot (&slots)[2],
                  const float (&spreads)[2][kBlurPasses], float tapWeight) {
  if (!isTheBand(copy) || !slots[0].repeats || !slots[1].repeats) return false;
  std::vector<uint8_t>(&pictures)[2][2] = sw.scratch->blur;
  for (int i = 0; i < 2; ++i) {
    pictures[i][1].resize(kBandBytes);
    readTexture(*sw.gfx, slots[i].picture, pictures[i][0]);
  }
  // A software rasteriser spends most of the dissolve on these passes'
  // texel reads; here each slot is one thread's separable kernel.
  runOnWorkers(2, [&](int i) {
    for (int k = 0; k < kBlurPasses; ++k) {
      blurRepeatingPicture(pictures[i][0].data(), pictures[i][1].data(), kBandWidth, kBandHeight,
                           spreads[i][k], spreads[i][k], tapWeight, sw.scratch->blurRows[i]);
      pictures[i][0].swap(pictures[i][1]);
    }
  });
  for (int i = 0; i < 2; ++i)
    writeTexture(*sw.gfx, slots[i].work, kBandWidth, kBandHeight, pictures[i][0].data());
  ++sw.counts.blur;
  return true;
}

bool softwareTintedBlur(SoftwarePasses& sw, const BandCopy& copy, unsigned picture,
                        unsigned work, int passCount, const float* spreadS, const float* spreadT,
                        float tapWeight, const float (&tint)[3]) {
  // Both textures must be band-sized for their taps to fall 1:1 on the band;
  // the work texture's size is known from the copy kept when it loaded.
  const TextureCopy* keyed = textureCopy(sw.copies, picture);
  const TextureCopy* workCopy = textureCopy(sw.copies, work);
  const auto bandSized = [](const TextureCopy* c) {
    return c && c->width == kBandWidth && c->height == kBandHeight;
  };
  if (!isTheBand(copy) || passCount <= 0 || !bandSized(keyed) || !bandSized(workCopy))
    return false;
  std::vector<uint8_t>(&pictures)[2] = sw.scratch->tintedBlur;
  for (std::vector<uint8_t>& p : pictures) p.resize(kBandBytes);
  // The first pass weighs each tap by its alpha, so it does not separate;
  // it is split by rows instead.
  constexpr int kRowsPerTask = 16;
  std::vector<int>& columns = sw.scratch->keyedColumns;
  keyedTapColumns(kBandWidth, spreadS[0], columns);
  runOnWorkers(kBandHeight / kRowsPerTask, [&](int k) {
    blurKeyedRows(keyed->rgba.data(), pictures[0].data(), kBandWidth, kBandHeight,
                  k * kRowsPerTask, (k + 1) * kRowsPerTask, spreadS[0], spreadT[0], tapWeight,
                  tint, columns);
  });
  for (int p = 1; p < passCount; ++p) {
    blurRepeatingPicture(pictures[0].data(), pictures[1].data(), kBandWidth, kBandHeight,
                         spreadS[p], spreadT[p], tapWeight, sw.scratch->tintedBlurRow);
    tintPicture(pictures[1].data(), size_t(kBandWidth) * kBandHeight, tint);
    pictures[0].swap(pictures[1]);
  }
  writeTexture(*sw.gfx, work, kBandWidth, kBandHeight, pictures[0].data());
  keepTextureCopy(sw.copies, work, kBandWidth, kBandHeight, 4, pictures[0].data());  // not stale
  clearFrame(*sw.gfx, kBlack);
  drawBandPicture(sw, pictures[0].data(), BandMode::kReplace);
  ++sw.counts.tintedBlur;
  return true;
}

bool softwareSwirl(SoftwarePasses& sw, const BandCopy& copy, const FeedbackSlot& slot,
                   const SwirlQuad* quads, int passCount, float alpha) {
  if (slot.repeats || copy.width <= 0 || copy.height <= 0 || copy.x < 0 || copy.y < 0 ||
      copy.x + copy.width > 512 || copy.y + copy.height > 384)
    return false;
  std::vector<uint8_t>& band = sw.scratch->swirlBand;
  std::vector<uint8_t>& texture = sw.scratch->swirlTexture;
  const size_t bytes = size_t(copy.width) * copy.height * 4;
  band.resize(bytes);
  readFrameRgba(*sw.gfx, PixelRect{copy.x, copy.y, copy.width, copy.height}, band.data());
  // Pass 0 samples the slot. It usually holds the band just captured, but
  // reading it costs a twentieth of the passes and leaves nothing to assume.
  readTexture(*sw.gfx, slot.picture, texture, bytes);
  swirlPasses(band.data(), texture.data(), copy.width, copy.height, quads, passCount, alpha,
              sw.scratch->swirl);
  writeTexture(*sw.gfx, slot.work, copy.width, copy.height, band.data());
  ++sw.counts.swirl;
  return true;
}

bool softwareRippleSheet(SoftwarePasses& sw, const FeedbackSlot& outgoing,
                         const FeedbackSlot& incoming, const SheetCorner* corners, int cellCount) {
  for (int k = 0; k < cellCount * 4; ++k) {
    const SheetCorner& c = corners[k];
    // The painter covers the band alone; GL draws what reaches beyond it.
    if (!(c.x >= -0.5f && c.x <= kBandWidth + 0.5f && c.y >= -0.5f &&
          c.y <= kBandHeight + 0.5f && c.z >= 0.0f && c.z <= 1.0f && c.w >= 0.5f &&
          std::isfinite(c.u) && std::isfinite(c.v) && std::isfinite(c.alphaOut) &&
          std::isfinite(c.alphaIn)))
      return false;
  }
  TextureCopy(&pictures)[2] = sw.scratch->ripplePictures;
  std::vector<uint8_t>& band = sw.scratch->rippleBand;
  readTexture(*sw.gfx, outgoing.picture, pictures[0].rgba);
  readTexture(*sw.gfx, incoming.picture, pictures[1].rgba);
  readFrameRgba(*sw.gfx, kBandRect, band.data());
  paintRippleSheet(corners, cellCount, SheetPicture{&pictures[0], outgoing.repeats},
                   SheetPicture{&pictures[1], incoming.repeats}, band.data(), sw.scratch->ripple);
  drawBandPicture(sw, band.data(), BandMode::kReplace);
  ++sw.counts.ripple;
  return true;
}

bool softwareLines(SoftwarePasses& sw, const float* vertices, int floatsPerVertex,
                   int lineCount, const LinePlacement& placement) {
  std::vector<uint8_t>& band = sw.scratch->linesBand;
  readFrameRgba(*sw.gfx, kBandRect, band.data());
  blendSmoothLines(vertices, floatsPerVertex, lineCount, placement, band.data(), kBandWidth,
                   kBandHeight);
  drawBandPicture(sw, band.data(), BandMode::kReplace);
  ++sw.counts.lines;
  return true;
}

bool softwareTerrain(SoftwarePasses& sw, unsigned texture, TerrainMarch march,
                     const void* context, TerrainStrip& last) {
  const TextureCopy* rock = textureCopy(sw.copies, texture);
  if (!rock) return false;
  TerrainPicture& picture = sw.scratch->terrain;
  clearTerrainPicture(picture);
  // Columns touch only their own pixels: each part marches and paints a
  // run of them, and keeps the last strip it drew.
  constexpr int kParts = 8;
  const TerrainStrip none{0, 0, 0, -1, 0, 0, 0, 0, 0, 0};
  TerrainStrip lastOfPart[kParts];
  runOnWorkers(kParts, [&](int part) {
    TerrainStrip strips[kTerrainMaxStrips];
    TerrainStrip drawn = none;
    for (int i = part * kTerrainColumns / kParts; i < (part + 1) * kTerrainColumns / kParts; ++i) {
      const int count = march(i, strips, context);
      paintTerrainColumn(picture, i, strips, count, *rock);
      for (int k = 0; k < count && strips[k].depth >= -1.0f; ++k) drawn = strips[k];
    }
    lastOfPart[part] = drawn;
  });
  last = none;
  for (const TerrainStrip& s : lastOfPart)
    if (s.red >= 0.0f) last = s;
  drawBandPicture(sw, picture.rgba.data(), BandMode::kKeyed);
  ++sw.counts.terrain;
  return true;
}

bool softwareTextGlow(SoftwarePasses& sw, unsigned source, unsigned glow,
                      const GlowPiece* pieces, int pieceCount, const float* offsets,
                      int passCount, const uint8_t (&clear)[3], int& litBegin, int& litEnd) {
  const TextureCopy* text = textureCopy(sw.copies, source);
  if (!text || text->width != kBandWidth || text->height != kBandHeight) return false;
  std::vector<uint8_t>& result = sw.scratch->glowResult;
  paintTextGlow(text->rgba.data(), pieces, pieceCount, offsets, passCount, clear, result.data(),
                sw.scratch->glow);
  const auto lit = [&](int r) {
    const uint8_t* row = &result[size_t(r) * kBandWidth * 4];
    for (int x = 0; x < kBandWidth; ++x)
      if (row[x * 4] | row[x * 4 + 1] | row[x * 4 + 2]) return true;
    return false;
  };
  for (litEnd = kBandHeight; litEnd > 0 && !lit(litEnd - 1);) --litEnd;
  for (litBegin = 0; litBegin < litEnd && !lit(litBegin);) ++litBegin;
  writeTexture(*sw.gfx, glow, kBandWidth, kBandHeight, result.data());
  ++sw.counts.glow;
  return true;
}

namespace {

// Below this many texture changes a frame, runs in order cost GL little
// and grouping would only add copying.
constexpr int kWorthChanges = 64;
// Narrow quads are most of the grid's quads but few of its pixels: a
// software rasteriser's cost there is setting up their triangles, while the
// wide quads are cheaper for it per pixel than for the painter.
constexpr float kPaintedWidth = 2.0f;

}  // namespace

// Additive blending onto the opaque frame sums each fragment's rounded
// term and saturates, which no order changes: each texture's quads go
// together, the narrow ones painted from the texture's copy (within a level
// or two of the rasteriser's rounding) and added as one picture.
bool softwareGridQuads(SoftwarePasses& sw, Gfx& gfx, const Pass& pass, const float* vertices,
                       const GridRun* runs, int runCount) {
  if (runCount < kWorthChanges) return false;
  std::vector<Group>& groups = sw.scratch->gridGroups;
  PaintSums& sums = sw.scratch->gridSums;
  std::vector<uint8_t>& painted = sw.scratch->gridPainted;
  for (Group& g : groups) g.vertices.clear();
  sums.clear();
  bool anyPainted = false;
  for (int r = 0; r < runCount; ++r) {
    const GridRun& run = runs[r];
    auto found = std::find_if(groups.begin(), groups.end(),
                              [&](const Group& g) { return g.texture == run.texture; });
    if (found == groups.end()) found = groups.insert(groups.end(), Group{run.texture, {}});
    const TextureCopy* copy = textureCopy(sw.copies, run.texture);
    for (int q = run.firstQuad; q < run.firstQuad + run.quadCount; ++q) {
      const float* v = vertices + size_t(q) * 4 * kPaintVertexFloats;
      if (copy && v[2 * kPaintVertexFloats] - v[0] <= kPaintedWidth) {
        paintQuads(v, 1, *copy, sums);
        anyPainted = true;
      } else {
        found->vertices.insert(found->vertices.end(), v, v + 4 * kPaintVertexFloats);
      }
    }
  }
  // The last run's texture last, as drawing in order ends.
  const unsigned lastTexture = runs[runCount - 1].texture;
  std::stable_partition(groups.begin(), groups.end(),
                        [&](const Group& g) { return g.texture != lastTexture; });
  static_assert(sizeof(Vertex) == kPaintVertexFloats * sizeof(float), "grid vertex layout");
  Pass groupPass = pass;
  for (const Group& g : groups) {
    if (g.vertices.empty()) continue;
    groupPass.texture = g.texture;
    drawQuads(gfx, groupPass, reinterpret_cast<const Vertex*>(g.vertices.data()),
              int(g.vertices.size() / kPaintVertexFloats));
  }
  if (anyPainted) {
    settleSums(sums, painted.data());
    drawBandPicture(sw, painted.data(), BandMode::kAdd);
  }
  ++sw.counts.gridQuads;
  return true;
}
