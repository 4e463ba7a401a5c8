#include "effects/feedback_buffer.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "gfx/gfx.h"
#include "software/software_passes.h"

namespace {

// Each blur tap weighs a little over a quarter, so four taps slightly
// brighten instead of losing a step to rounding.
constexpr float kTapAlpha = 0.25390625f;

void wrapAndFilter(GLint wrap) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

// The full band at z = -1, texture coordinates shifted by (du, dv).
void drawBandQuad(float alpha, float du = 0.0f, float dv = 0.0f) {
  glColor4f(0.0f, 0.0f, 0.0f, alpha);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f + du, 0.0f + dv);
  glVertex3f(-256.0f, -128.0f, -1.0f);
  glTexCoord2f(1.0f + du, 0.0f + dv);
  glVertex3f(256.0f, -128.0f, -1.0f);
  glTexCoord2f(1.0f + du, 1.0f + dv);
  glVertex3f(256.0f, 128.0f, -1.0f);
  glTexCoord2f(0.0f + du, 1.0f + dv);
  glVertex3f(-256.0f, 128.0f, -1.0f);
  glEnd();
}

void pushIdentityModelview() {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void popModelview() {
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

}  // namespace

// feedback_buffer_blur.cpp
void createBlurProgram(FeedbackBuffer& fb);
void drawBlurTaps(const FeedbackBuffer& fb, float half, float tapAlpha);

FeedbackBuffer::FeedbackBuffer(Gfx& gfx, SoftwarePasses* software)
    : copyX(0),
      copyY(64),
      copyWidth(512),
      copyHeight(256),
      imageMemory(512 * 256 * 4, 0),
      gfx(&gfx),
      software(software) {
  GLuint primary[3];
  GLuint work[3];
  glGenTextures(3, primary);
  glGenTextures(3, work);
  for (int s = 0; s < 3; ++s) {
    textures[s] = textures[s + 3] = primary[s];
    textures[s + 6] = textures[s + 9] = work[s];
  }
  for (int e = 0; e < 12; ++e) ownTextures[e] = textures[e];
  for (int s = 0; s < 3; ++s) {
    // Slot 2 holds whole pictures shown on a sheet, whose edges must not
    // pick up the opposite side; the blurred slots wrap.
    const GLint wrap = s == 2 ? GL_CLAMP : GL_REPEAT;
    for (GLuint name : {textures[s], textures[s + 6]}) {
      glBindTexture(GL_TEXTURE_2D, name);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 512, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   imageMemory.data());
      wrapAndFilter(wrap);
    }
  }
  createBlurProgram(*this);
}

void FeedbackBuffer::captureFrame(int slot) {
  glBindTexture(GL_TEXTURE_2D, textures[slot]);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, copyX, copyY, copyWidth, copyHeight);
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
  clearFrame(*gfx, background);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  FeedbackSlot slotA, slotB;
  if (software && ownPicture(*this, a, slotA) && ownPicture(*this, b, slotB) &&
      softwareCrossfade(*software, bandCopy(*this), slotA.picture, slotB.picture, w)) {
    // GL is left as the two quads leave it.
    glBindTexture(GL_TEXTURE_2D, textures[a]);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f - w);
    return;
  }
  pushIdentityModelview();
  glBindTexture(GL_TEXTURE_2D, textures[b]);
  drawBandQuad(w);
  glBindTexture(GL_TEXTURE_2D, textures[a]);
  drawBandQuad(1.0f - w);
  popModelview();
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
  for (int k = 1; k <= 7; ++k) {
    const float half = blurHalfSpread(k, factor);
    clearFrame(*fb.gfx, fb.background);
    glBindTexture(GL_TEXTURE_2D, fb.textures[k == 1 ? slot : slot + 6]);
    drawBlurTaps(fb, half, kTapAlpha);
    glBindTexture(GL_TEXTURE_2D, fb.textures[slot + 6]);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, fb.copyX, fb.copyY, fb.copyWidth,
                        fb.copyHeight);
  }
}

void FeedbackBuffer::blurCrossfade(float w, int a, int b) {
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_BLEND);
  pushIdentityModelview();
  if (!blurOnSoftwarePath(*this, a, w, b, 1.0f - w)) {
    blurSlot(*this, a, w);
    blurSlot(*this, b, 1.0f - w);
  }

  clearFrame(*gfx, background);
  glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, textures[b + 6]);
  drawBandQuad(w);
  glBindTexture(GL_TEXTURE_2D, textures[a + 6]);
  drawBandQuad(1.0f - w);

  // The blurred b never quite reaches b itself; the sharp one fades in over
  // the last twentieth.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBindTexture(GL_TEXTURE_2D, textures[b]);
  drawBandQuad(std::min(std::max((w - 0.95f) * 20.0f, 0.0f), 1.0f));
  popModelview();
}

// The tinted blur's passes in GL: four tinted taps a pass, each pass copied
// into the slot's work texture for the next.
static void tintedBlurPasses(const FeedbackBuffer& fb, int slot, int n, float uSpread,
                             float vSpread, float amount, float red, float green, float blue) {
  const float halfW = fb.copyWidth * 0.5f;
  const float halfH = fb.copyHeight * 0.5f;
  for (int p = 1; p <= n; ++p) {
    clearFrame(*fb.gfx, fb.background);
    const float h = amount * p;
    const float du = uSpread * h / n;
    const float dv = vSpread * h / n;
    glBindTexture(GL_TEXTURE_2D, fb.textures[p == 1 ? slot : slot + 6]);
    glColor4f(red, green, blue, kTapAlpha);
    for (float oy : {-dv * 0.5f, dv * 0.5f}) {
      for (float ox : {-du * 0.5f, du * 0.5f}) {
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f + ox, 0.0f + oy);
        glVertex3f(-halfW, -halfH, -1.0f);
        glTexCoord2f(1.0f + ox, 0.0f + oy);
        glVertex3f(halfW, -halfH, -1.0f);
        glTexCoord2f(1.0f + ox, 1.0f + oy);
        glVertex3f(halfW, halfH, -1.0f);
        glTexCoord2f(0.0f + ox, 1.0f + oy);
        glVertex3f(-halfW, halfH, -1.0f);
        glEnd();
      }
    }
    glBindTexture(GL_TEXTURE_2D, fb.textures[slot + 6]);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, fb.copyX, fb.copyY, fb.copyWidth,
                        fb.copyHeight);
  }
}

// The tinted blur's passes on the CPU, leaving GL as the passes in GL do;
// false where the software backend is not the path or cannot take them.
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
  if (!softwareTintedBlur(*fb.software, bandCopy(fb), fb.textures[slot], fb.textures[slot + 6],
                          n, spreadS, spreadT, kTapAlpha, tint))
    return false;
  glBindTexture(GL_TEXTURE_2D, fb.textures[slot + 6]);
  glColor4f(red, green, blue, kTapAlpha);
  glTexCoord2f(spreadS[n - 1], 1.0f + spreadT[n - 1]);
  return true;
}

void FeedbackBuffer::tintedBlur(int slot, int n, float uSpread, float vSpread, float amount,
                                float red, float green, float blue) {
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  pushIdentityModelview();
  if (!tintedBlurOnSoftwarePath(*this, slot, n, uSpread, vSpread, amount, red, green, blue)) {
    tintedBlurPasses(*this, slot, n, uSpread, vSpread, amount, red, green, blue);
  }
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  popModelview();
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
  glEnable(GL_TEXTURE_2D);
  pushIdentityModelview();
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);

  SwirlCorners corners[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l)
    corners[l] = swirlCorners(l, spin, zoomBase, zoomExponent, panX, panY);
  if (!swirlOnSoftwarePath(*this, slot, corners, alpha)) {
    // The zoomed quads overfill the viewport, but only the copied band is
    // ever read again: shading the rest would be a third of the passes' work.
    glPushAttrib(GL_SCISSOR_BIT);
    glScissor(copyX, copyY, copyWidth, copyHeight);
    glEnable(GL_SCISSOR_TEST);
    for (int l = 0; l < kSwirlPasses; ++l) {
      static const float kCornerTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      const SwirlCorners& q = corners[l];
      glBindTexture(GL_TEXTURE_2D, textures[l == 0 ? slot : slot + 6]);
      glColor4f(0.0f, 0.0f, 0.0f, alpha);
      glBegin(GL_QUADS);
      for (int c = 0; c < 4; ++c) {
        glTexCoord2f(kCornerTex[c][0] + q.du, kCornerTex[c][1] + q.dv);
        glVertex3f(q.x[c], q.y[c], -1.0f);
      }
      glEnd();
      glBindTexture(GL_TEXTURE_2D, textures[slot + 6]);
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, copyX, copyY, copyWidth, copyHeight);
    }
    glPopAttrib();
  }

  clearFrame(*gfx, background);
  glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, textures[slot + 6]);
  drawBandQuad(1.0f);
  popModelview();
}
