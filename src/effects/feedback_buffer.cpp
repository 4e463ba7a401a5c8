#include "effects/feedback_buffer.h"

#include <algorithm>
#include <cmath>

#include "gfx/gfx.h"
#include "gfx/scene_region.h"
#include "passes/crossfade_pass.h"
#include "software/software_passes.h"

namespace {

constexpr float kTapAlpha = kBlurTapWeight;

// A composite's quads: the scene projection, no modelview, the texture
// added to the quad's colour (0, 0, 0, alpha) and weighed by that alpha.
Pass compositePass(TextureName texture, Blend blend = Blend::kWeighted) {
  return scenePass(blend, Combine::kAdd, texture);
}

// The full band at z = -1 with colour (0, 0, 0, alpha).
void drawBandQuad(Gfx& gfx, const Pass& pass, float alpha) {
  const BandQuad quad = bandQuad(alpha);
  drawQuads(gfx, pass, quad.corners, 4);
}

}  // namespace

FeedbackBuffer::FeedbackBuffer(Gfx& gfx, SoftwarePasses* software)
    : copyX(0),
      copyY(64),
      copyWidth(512),
      copyHeight(256),
      imageMemory(512 * 256 * 4, 0),
      gfx(&gfx),
      software(software) {
  TextureName primary[3];
  TextureName work[3];
  for (TextureName& name : primary) name = createTexture(gfx);
  for (TextureName& name : work) name = createTexture(gfx);
  for (int s = 0; s < 3; ++s) {
    textures[s] = textures[s + 3] = primary[s];
    textures[s + 6] = textures[s + 9] = work[s];
  }
  for (int e = 0; e < 12; ++e) ownTextures[e] = textures[e];
  for (int s = 0; s < 3; ++s) {
    // Slot 2 holds whole pictures shown on a sheet, whose edges must not
    // pick up the opposite side; the blurred slots wrap.
    const Wrap wrap = s == 2 ? Wrap::kClampToBorder : Wrap::kRepeat;
    for (TextureName name : {textures[s], textures[s + 6]})
      defineTexture(gfx, name, 512, 256, PixelFormat::kRgb, PixelFormat::kRgba,
                    imageMemory.data(), wrap, Filter::kLinear);
  }
  prepareBlurTaps(gfx);
}

void FeedbackBuffer::captureFrame(int slot) {
  copyFrameToTexture(*gfx, textures[slot], copyRect());
}

bool ownPicture(const FeedbackBuffer& fb, int entry, FeedbackSlot& out) {
  if (entry < 0 || entry >= 12 || fb.textures[entry] != fb.ownTextures[entry]) return false;
  out = FeedbackSlot{fb.textures[entry], 0, entry % 3 != 2};
  return true;
}

static BandCopy bandCopy(const FeedbackBuffer& fb) {
  return BandCopy{fb.copyX, fb.copyY, fb.copyWidth, fb.copyHeight};
}

void FeedbackBuffer::crossfade(float w, int a, int b) {
  FeedbackSlot slotA, slotB;
  CrossfadeJob job;
  job.a = textures[a];
  job.b = textures[b];
  job.ownPictures = ownPicture(*this, a, slotA) && ownPicture(*this, b, slotB);
  job.copy = copyRect();
  job.background = background;
  job.w = w;
  runCrossfade(*gfx, software, job);
}

static float blurHalfSpread(int pass, float factor) {
  return pass * 0.028571429f * factor * 0.5f;
}

// Slot `slot` as the buffer made it, for the software passes; false where
// a scene has put another texture into the slot or its work entry.
static bool ownSlot(const FeedbackBuffer& fb, int slot, FeedbackSlot& out) {
  if (!ownPicture(fb, slot, out) || fb.textures[slot + 6] != fb.ownTextures[slot + 6])
    return false;
  out.work = fb.textures[slot + 6];
  return true;
}

// Both slots' blur passes on the CPU; false where the software backend is
// not the path or cannot take them.
static bool blurOnSoftwarePath(const FeedbackBuffer& fb, int a, float factorA, int b,
                               float factorB) {
  FeedbackSlot slots[2];
  if (!fb.software || !ownSlot(fb, a, slots[0]) || !ownSlot(fb, b, slots[1])) return false;
  float spreads[2][kBlurPasses];
  for (int k = 0; k < kBlurPasses; ++k) {
    spreads[0][k] = blurHalfSpread(k + 1, factorA);
    spreads[1][k] = blurHalfSpread(k + 1, factorB);
  }
  return softwareBlur(*fb.software, bandCopy(fb), slots, spreads, kTapAlpha);
}

// Seven passes of four taps whose spread grows with the pass, each pass
// starting from the previous one's result in the slot's work texture.
static void blurSlot(const FeedbackBuffer& fb, int slot, float factor) {
  const BandQuad band = bandQuad(1.0f);
  for (int k = 1; k <= 7; ++k) {
    const float half = blurHalfSpread(k, factor);
    clearFrame(*fb.gfx, fb.background);
    drawBlurTaps(*fb.gfx, compositePass(fb.textures[k == 1 ? slot : slot + 6]), band.corners,
                 half);
    copyFrameToTexture(*fb.gfx, fb.textures[slot + 6], fb.copyRect());
  }
}

void FeedbackBuffer::blurCrossfade(float w, int a, int b) {
  if (!blurOnSoftwarePath(*this, a, w, b, 1.0f - w)) {
    blurSlot(*this, a, w);
    blurSlot(*this, b, 1.0f - w);
  }

  clearFrame(*gfx, background);
  drawBandQuad(*gfx, compositePass(textures[b + 6]), w);
  drawBandQuad(*gfx, compositePass(textures[a + 6]), 1.0f - w);

  // The blurred b never quite reaches b itself; the sharp one fades in over
  // the last twentieth.
  drawBandQuad(*gfx, compositePass(textures[b], Blend::kOver),
               std::min(std::max((w - 0.95f) * 20.0f, 0.0f), 1.0f));
}

// The tinted blur's passes drawn: four tinted taps a pass, each pass copied
// into the slot's work texture for the next.
static void tintedBlurPasses(const FeedbackBuffer& fb, int slot, int n, float uSpread,
                             float vSpread, float amount, float red, float green, float blue) {
  const float halfW = fb.copyWidth * 0.5f;
  const float halfH = fb.copyHeight * 0.5f;
  const Colour tint{red, green, blue, kTapAlpha};
  for (int p = 1; p <= n; ++p) {
    clearFrame(*fb.gfx, fb.background);
    const float h = amount * p;
    const float du = uSpread * h / n;
    const float dv = vSpread * h / n;
    BandQuad taps[4];
    BandQuad* tap = taps;
    for (float oy : {-dv * 0.5f, dv * 0.5f})
      for (float ox : {-du * 0.5f, du * 0.5f})
        *tap++ = flatQuad(-halfW, -halfH, halfW, halfH, 0.0f + ox, 0.0f + oy, 1.0f + ox,
                          1.0f + oy, tint);
    const Pass pass =
        scenePass(Blend::kWeighted, Combine::kModulate, fb.textures[p == 1 ? slot : slot + 6]);
    drawQuads(*fb.gfx, pass, taps[0].corners, 16);
    copyFrameToTexture(*fb.gfx, fb.textures[slot + 6], fb.copyRect());
  }
}

// The tinted blur's passes on the CPU; false where the software backend is
// not the path or cannot take them.
static bool tintedBlurOnSoftwarePath(const FeedbackBuffer& fb, int slot, int n, float uSpread,
                                     float vSpread, float amount, float red, float green,
                                     float blue) {
  if (!fb.software || n <= 0 || n > 16 || slot < 0 || slot > 5) return false;
  float spreadS[16], spreadT[16];
  for (int p = 1; p <= n; ++p) {
    const float h = amount * p;
    spreadS[p - 1] = uSpread * h / n * 0.5f;
    spreadT[p - 1] = vSpread * h / n * 0.5f;
  }
  const float tint[3] = {red, green, blue};
  return softwareTintedBlur(*fb.software, bandCopy(fb), fb.textures[slot], fb.textures[slot + 6],
                            n, spreadS, spreadT, kTapAlpha, tint);
}

void FeedbackBuffer::tintedBlur(int slot, int n, float uSpread, float vSpread, float amount,
                                float red, float green, float blue) {
  if (!tintedBlurOnSoftwarePath(*this, slot, n, uSpread, vSpread, amount, red, green, blue))
    tintedBlurPasses(*this, slot, n, uSpread, vSpread, amount, red, green, blue);
}

namespace {

// One swirl pass's quad: corners at z = -1 in the identity modelview, and
// the texture offset added to the unit square's coordinates.
struct SwirlCorners {
  float x[4], y[4];
  float du, dv;
};

SwirlCorners swirlCorners(int l, float spin, float zoomBase, float zoomExponent, float panX,
                          float panY) {
  static const float kCornerTurns[4] = {0.0f, -1.570795f, -3.14159f, -4.712385f};
  SwirlCorners q;
  const float zoom = std::pow(1.05f, zoomBase * (l + 1) * zoomExponent) * 1.3f;
  const float t = l * 0.11111111f;
  const float angle = (t + 0.1f) * 103.0f * spin;
  const float ox = (t - 0.5f) * panX * 0.5f;
  const float oy = (t - 0.5f) * panY * 0.5f;
  q.du = ox * 0.001953125f;
  q.dv = oy * 0.00390625f;
  const float ca = std::cos(angle);
  const float sa = std::sin(angle);
  for (int c = 0; c < 4; ++c) {
    const float cc = std::cos(kCornerTurns[c]);
    const float sc = std::sin(kCornerTurns[c]);
    const float x0 = -256.0f * zoom;
    const float y0 = -256.0f * zoom;
    // Plane rotation by θ: (x cos θ + y sin θ, y cos θ − x sin θ).
    const float x1 = x0 * cc + y0 * sc - ox;
    const float y1 = y0 * cc - x0 * sc - oy;
    q.x[c] = x1 * ca + y1 * sa + 2.0f * ox;
    q.y[c] = (y1 * ca - x1 * sa + 2.0f * oy) * 0.5f;
  }
  return q;
}

constexpr int kSwirlPasses = 9;

// The passes on the CPU, their quads placed in the band as the scene
// projection puts them (x -256..256 over the viewport's 512 columns, y
// -192..192 over its 384 rows); false where the software backend is not the
// path or cannot take them.
bool swirlOnSoftwarePath(const FeedbackBuffer& fb, int slot,
                         const SwirlCorners (&corners)[kSwirlPasses], float alpha) {
  FeedbackSlot own;
  if (!fb.software || !ownSlot(fb, slot, own)) return false;
  SwirlQuad quads[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l) {
    for (int c = 0; c < 4; ++c) {
      quads[l].x[c] = double(corners[l].x[c]) + 256.0 - fb.copyX;
      quads[l].y[c] = double(corners[l].y[c]) + 192.0 - fb.copyY;
    }
    quads[l].du = corners[l].du;
    quads[l].dv = corners[l].dv;
  }
  return softwareSwirl(*fb.software, bandCopy(fb), own, quads, kSwirlPasses, alpha);
}

}  // namespace

void FeedbackBuffer::swirlZoom(int slot, float spin, int /*unused*/, float zoomBase,
                               float zoomExponent, float panX, float panY, float alphaOffset) {
  // The floor keeps every pass visible however small the zoom.
  const float alpha = std::max((zoomBase - 1.6f) * 0.18f + alphaOffset + 0.2f, 0.2f);

  SwirlCorners corners[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l)
    corners[l] = swirlCorners(l, spin, zoomBase, zoomExponent, panX, panY);
  if (!swirlOnSoftwarePath(*this, slot, corners, alpha)) {
    // The zoomed quads overfill the viewport, but only the copied band is
    // ever read again: shading the rest would be a third of the passes' work.
    for (int l = 0; l < kSwirlPasses; ++l) {
      static const float kCornerTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      const SwirlCorners& q = corners[l];
      Vertex quad[4];
      for (int c = 0; c < 4; ++c)
        quad[c] = Vertex{q.x[c], q.y[c], -1.0f, 0.0f, 0.0f, 0.0f, alpha,
                         kCornerTex[c][0] + q.du, kCornerTex[c][1] + q.dv};
      Pass pass = compositePass(textures[l == 0 ? slot : slot + 6]);
      pass.state.scissored = true;
      pass.state.scissor = copyRect();
      drawQuads(*gfx, pass, quad, 4);
      copyFrameToTexture(*gfx, textures[slot + 6], copyRect());
    }
  }

  clearFrame(*gfx, background);
  drawBandQuad(*gfx, compositePass(textures[slot + 6]), 1.0f);
}
