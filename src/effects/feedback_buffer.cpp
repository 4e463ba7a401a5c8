#include "effects/feedback_buffer.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>

#include "textures/texture_sampling.h"

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

FeedbackBuffer::FeedbackBuffer()
    : copyX(0), copyY(64), copyWidth(512), copyHeight(256), imageMemory(512 * 256 * 4, 0) {
  GLuint primary[3];
  GLuint work[3];
  glGenTextures(3, primary);
  glGenTextures(3, work);
  for (int s = 0; s < 3; ++s) {
    textures[s] = textures[s + 3] = primary[s];
    textures[s + 6] = textures[s + 9] = work[s];
  }
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

void FeedbackBuffer::crossfade(float w, int a, int b) {
  glClear(GL_COLOR_BUFFER_BIT);
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
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

// True when texture `name` is a band-sized, linearly filtered, repeating
// picture: then a pass drawn over the band samples it 1:1, and the CPU blur
// computes the same sums.
static bool isRepeatingBandTexture(const FeedbackBuffer& fb, GLuint name) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint width = 0, height = 0, wrapS = 0, wrapT = 0, magFilter = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  return width == fb.copyWidth && height == fb.copyHeight && wrapS == GL_REPEAT &&
         wrapT == GL_REPEAT && magFilter == GL_LINEAR;
}

// The band passes need the band where the scene viewport puts it: a
// 512 x 256 copy from row 64 is exactly the quad they draw.
static bool canBlurOnCpu(const FeedbackBuffer& fb, int slot) {
  return fb.blurOnCpu && fb.copyX == 0 && fb.copyY == 64 && fb.copyWidth == 512 &&
         fb.copyHeight == 256 && isRepeatingBandTexture(fb, fb.textures[slot]) &&
         isRepeatingBandTexture(fb, fb.textures[slot + 6]);
}

// The seven passes of blurSlot on pixels read back from the slot; the result
// ends in pictures[0].
static void blurPicture(std::vector<uint8_t> (&pictures)[2], BlurScratch& scratch, float factor) {
  for (int k = 1; k <= 7; ++k) {
    const float half = blurHalfSpread(k, factor);
    blurRepeatingPicture(pictures[0].data(), pictures[1].data(), 512, 256, half, half, kTapAlpha,
                         scratch);
    pictures[0].swap(pictures[1]);
  }
}

// Both slots' passes on the CPU, the first slot's on a second thread. A
// software rasteriser spends most of the dissolve on these passes' texel
// reads; here they cost a read-back and an upload each, and the rasteriser's
// threads are idle meanwhile.
static void blurSlotsOnCpu(FeedbackBuffer& fb, int a, float factorA, int b, float factorB) {
  const int slots[2] = {a, b};
  const size_t bytes = size_t(512) * 256 * 4;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  for (int i = 0; i < 2; ++i) {
    fb.blurPictures[i][0].resize(bytes);
    fb.blurPictures[i][1].resize(bytes);
    glBindTexture(GL_TEXTURE_2D, fb.textures[slots[i]]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, fb.blurPictures[i][0].data());
  }
  auto blurFirst = [&fb, factorA] { blurPicture(fb.blurPictures[0], fb.blurScratch[0], factorA); };
  std::thread helper;
  try {
    helper = std::thread(blurFirst);
  } catch (const std::system_error&) {
    blurFirst();  // no thread to be had: one after the other
  }
  blurPicture(fb.blurPictures[1], fb.blurScratch[1], factorB);
  if (helper.joinable()) helper.join();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  for (int i = 0; i < 2; ++i) {
    glBindTexture(GL_TEXTURE_2D, fb.textures[slots[i] + 6]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 512, 256, GL_RGBA, GL_UNSIGNED_BYTE,
                    fb.blurPictures[i][0].data());
  }
}

// Seven passes of four taps whose spread grows with the pass, each pass
// starting from the previous one's result in the slot's work texture.
static void blurSlot(const FeedbackBuffer& fb, int slot, float factor) {
  for (int k = 1; k <= 7; ++k) {
    const float half = blurHalfSpread(k, factor);
    glClear(GL_COLOR_BUFFER_BIT);
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
  if (canBlurOnCpu(*this, a) && canBlurOnCpu(*this, b)) {
    blurSlotsOnCpu(*this, a, w, b, 1.0f - w);
  } else {
    blurSlot(*this, a, w);
    blurSlot(*this, b, 1.0f - w);
  }

  glClear(GL_COLOR_BUFFER_BIT);
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

void FeedbackBuffer::tintedBlur(int slot, int n, float uSpread, float vSpread, float amount,
                                float red, float green, float blue) {
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  pushIdentityModelview();
  const float halfW = copyWidth * 0.5f;
  const float halfH = copyHeight * 0.5f;
  for (int p = 1; p <= n; ++p) {
    glClear(GL_COLOR_BUFFER_BIT);
    const float h = amount * p;
    const float du = uSpread * h / n;
    const float dv = vSpread * h / n;
    glBindTexture(GL_TEXTURE_2D, textures[p == 1 ? slot : slot + 6]);
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
    glBindTexture(GL_TEXTURE_2D, textures[slot + 6]);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, copyX, copyY, copyWidth, copyHeight);
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

bool isIdentity(const GLdouble* m) {
  for (int i = 0; i < 16; ++i)
    if (m[i] != (i % 5 == 0 ? 1.0 : 0.0)) return false;
  return true;
}

// True when texture `name` is a band-sized RGB picture, linearly filtered
// and clamped with the default black border: what the CPU passes sample.
bool isClampedBandTexture(const FeedbackBuffer& fb, GLuint name) {
  glBindTexture(GL_TEXTURE_2D, name);
  const TextureSampling t = boundTextureSampling();
  return t.width == fb.copyWidth && t.height == fb.copyHeight &&
         (t.internalFormat == GL_RGB || t.internalFormat == GL_RGB8) && t.wrapS == GL_CLAMP &&
         t.wrapT == GL_CLAMP && t.minFilter == GL_LINEAR && t.magFilter == GL_LINEAR &&
         t.border[0] == 0 && t.border[1] == 0 && t.border[2] == 0 && t.border[3] == 0;
}

// The passes' fragments are (texel, alpha) blended as dst + alpha * src onto
// the window's 8-bit frame (a framebuffer object is rasterised the other way
// up), whose alpha reads 1, over a band inside the viewport, with nothing
// else enabled that would change or drop them. Then the CPU passes give the
// same picture, and this fills `quads` with each pass's quad in band pixels.
bool swirlFitsTheCpu(const FeedbackBuffer& fb, int slot,
                     const SwirlCorners (&corners)[kSwirlPasses],
                     SwirlQuad (&quads)[kSwirlPasses]) {
  if (!fb.swirlOnCpu || !swirlPassesVectorised() || fb.copyWidth <= 0 || fb.copyHeight <= 0)
    return false;
  GLint env = 0, program = 0, activeUnit = 0, equation = 0, framebuffer = 0;
  GLint viewport[4] = {0, 0, 0, 0};
  GLint bits[3] = {0, 0, 0};
  GLboolean mask[4] = {0, 0, 0, 0};
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
  glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_RED_BITS, &bits[0]);
  glGetIntegerv(GL_GREEN_BITS, &bits[1]);
  glGetIntegerv(GL_BLUE_BITS, &bits[2]);
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  if (env != GL_ADD || program != 0 || activeUnit != GL_TEXTURE0 || equation != GL_FUNC_ADD ||
      framebuffer != 0 || bits[0] != 8 || bits[1] != 8 || bits[2] != 8 || !mask[0] ||
      !mask[1] || !mask[2])
    return false;
  for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_ALPHA_TEST, GL_FOG,
                     GL_CULL_FACE, GL_COLOR_LOGIC_OP, GL_COLOR_SUM, GL_POLYGON_STIPPLE,
                     GL_POLYGON_SMOOTH, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_3D,
                     GL_TEXTURE_CUBE_MAP})
    if (glIsEnabled(cap)) return false;
  GLint polygonMode[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  if (polygonMode[0] != GL_FILL || polygonMode[1] != GL_FILL) return false;
  if (fb.copyX < viewport[0] || fb.copyY < viewport[1] ||
      fb.copyX + fb.copyWidth > viewport[0] + viewport[2] ||
      fb.copyY + fb.copyHeight > viewport[1] + viewport[3])
    return false;

  GLdouble modelview[16], texture[16], p[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_TEXTURE_MATRIX, texture);
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  // w and depth must not vary over the quad: then it maps affinely to the
  // window and is never cut by the near or far plane.
  if (!isIdentity(modelview) || !isIdentity(texture) || p[3] != 0 || p[7] != 0 || p[2] != 0 ||
      p[6] != 0)
    return false;
  const double w = -p[11] + p[15];
  const double z = -p[10] + p[14];
  if (!(w > 0) || !(std::fabs(z) <= w)) return false;

  if (!isClampedBandTexture(fb, fb.textures[slot]) ||
      !isClampedBandTexture(fb, fb.textures[slot + 6]))
    return false;

  // Window position of corner c less the band's corner.
  auto bandX = [&](const SwirlCorners& q, int c) {
    const double ndc = (p[0] * q.x[c] + p[4] * q.y[c] - p[8] + p[12]) / w;
    return viewport[0] + (ndc + 1.0) * 0.5 * viewport[2] - fb.copyX;
  };
  auto bandY = [&](const SwirlCorners& q, int c) {
    const double ndc = (p[1] * q.x[c] + p[5] * q.y[c] - p[9] + p[13]) / w;
    return viewport[1] + (ndc + 1.0) * 0.5 * viewport[3] - fb.copyY;
  };
  for (int l = 0; l < kSwirlPasses; ++l) {
    for (int c = 0; c < 4; ++c) {
      quads[l].x[c] = bandX(corners[l], c);
      quads[l].y[c] = bandY(corners[l], c);
    }
    quads[l].du = corners[l].du;
    quads[l].dv = corners[l].dv;
  }
  return true;
}

// The passes on the band read back; the result goes into the slot's work
// texture, as the last GL pass leaves it.
void swirlBandOnCpu(FeedbackBuffer& fb, int slot, const SwirlQuad (&quads)[kSwirlPasses],
                    float alpha) {
  const size_t bytes = size_t(fb.copyWidth) * fb.copyHeight * 4;
  fb.swirlBand.resize(bytes);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glReadPixels(fb.copyX, fb.copyY, fb.copyWidth, fb.copyHeight, GL_RGBA, GL_UNSIGNED_BYTE,
               fb.swirlBand.data());
  // Pass 0 samples the slot. It usually holds the band just captured, but
  // reading it costs a twentieth of the passes and leaves nothing to assume.
  fb.swirlTexture.resize(bytes);
  glBindTexture(GL_TEXTURE_2D, fb.textures[slot]);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, fb.swirlTexture.data());
  swirlPasses(fb.swirlBand.data(), fb.swirlTexture.data(), fb.copyWidth, fb.copyHeight, quads,
              kSwirlPasses, alpha, fb.swirlScratch);
  glBindTexture(GL_TEXTURE_2D, fb.textures[slot + 6]);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, fb.copyWidth, fb.copyHeight, GL_RGBA,
                  GL_UNSIGNED_BYTE, fb.swirlBand.data());
  glPopClientAttrib();
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

  SwirlCorners corners[kSwirlPasses];
  for (int l = 0; l < kSwirlPasses; ++l)
    corners[l] = swirlCorners(l, spin, zoomBase, zoomExponent, panX, panY);
  SwirlQuad quads[kSwirlPasses];
  if (swirlFitsTheCpu(*this, slot, corners, quads)) {
    swirlBandOnCpu(*this, slot, quads, alpha);
  } else {
    // The zoomed quads overfill the viewport, but only the copied band is
    // ever read again: shading the rest would be a third of the passes' work.
    const GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
    GLint scissorBox[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
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
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissored) glDisable(GL_SCISSOR_TEST);
  }

  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, textures[slot + 6]);
  drawBandQuad(1.0f);
  popModelview();
}
